#!/bin/sh
# Demo stand-in for a program of the Tessaly suite: records how it was started in
# log/suite-programs.log of the application directory and shows it in a small window.
app_dir=${CS_DEMO_APPDIR:-$(dirname "$0")}
name=$(basename "$0")
{
    printf '%s  %s  (in %s)\n' "$(date '+%Y-%m-%d %H:%M:%S')" "$name" "$PWD"
    for a in "$@"; do printf '    argument: [%s]\n' "$a"; done
} >>"$app_dir/log/suite-programs.log"
if [ -n "${DISPLAY:-}" ] && command -v xmessage >/dev/null 2>&1; then
    text="$name was started with $# argument(s):"
    for a in "$@"; do text="$text
  [$a]"; done
    (timeout 20 xmessage -center -title "$name (demo)" "$text" >/dev/null 2>&1 &)
fi
exit 0
