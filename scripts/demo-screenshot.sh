#!/usr/bin/env bash
# Draws the main window of the demo as it opens (scripts/demo.sh in a virtual display) into
# docs/screenshots/demo_mainwindow.png, then closes the program, which ends the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots/demo_mainwindow.png}
# Finding the window and grabbing it take two tools the program itself does not need.
if ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xdotool imagemagick >/dev/null
fi
if [ -z "${CS_SHOT_INSIDE:-}" ]; then
    exec env CS_SHOT_INSIDE=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
scripts/demo.sh &
demo=$!
win=""
for _ in $(seq 1 600); do
    win=$(xdotool search --onlyvisible --name 'Configuration Selector' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    kill -0 "$demo" 2>/dev/null || { echo "the demo ended before its window opened" >&2; exit 1; }
    sleep 1
done
[ -n "$win" ] || { echo "no demo window" >&2; kill "$demo"; exit 1; }
sleep 2 # the list and the window's first paint
import -window "$win" "$out"
kill "$(xdotool getwindowpid "$win")"
wait "$demo" || true
echo "wrote $out"
