#!/bin/sh
# Demo stand-in for an event dispatcher: records which publisher folder it was started from
# and what its properties say in log/suite-programs.log of the application directory, and
# shows the same in a small window.
here=$(cd "$(dirname "$0")" && pwd)
app_dir=${CS_DEMO_APPDIR:-$(dirname "$(dirname "$here")")}
properties=$(tr -d '\r' <"$here/eventdispatcher.properties" | grep -v '^#')
{
    printf '%s  startEventDispatcher.bat  (from %s, in %s)\n' "$(date '+%Y-%m-%d %H:%M:%S')" "$here" "$PWD"
    for a in "$@"; do printf '    argument: [%s]\n' "$a"; done
    printf '%s\n' "$properties" | sed 's/^/    /'
} >>"$app_dir/log/suite-programs.log"
if [ -n "${DISPLAY:-}" ] && command -v xmessage >/dev/null 2>&1; then
    (timeout 20 xmessage -center -title "Event dispatcher $(basename "$here") (demo)" \
        "Event dispatcher started from $here with:
$properties" >/dev/null 2>&1 &)
fi
exit 0
