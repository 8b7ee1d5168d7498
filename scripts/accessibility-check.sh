#!/usr/bin/env bash
# Runs the built program on a sample application directory in a 2560 x 1600 virtual screen at
# twice the scale, with the accessibility bus on, and reads its windows as a screen reader
# does (scripts/accessibility-read.py says what it checks).
#   scripts/accessibility-check.sh [BUILD-DIR] [TEXTS.xml]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
texts="$(realpath "${2:-$here/../resources/I18nText.xml}")"
work="$(mktemp -d)"
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
app="$work/app"
mkdir -p "$app/lib" "$app/log"
cp "$build/bin/ConfigurationSelector" "$build/bin/libcs_core.so" "$build/bin/libcs_gui.so" "$app/"
cp "$texts" "$app/I18nText.xml"
crlf() { printf '%s\r\n' "$@"; }
# Its stored password others can read (mode 0644).
crlf SatelliteAppln=4009 ldbp=1 dsn=FMK_SALES database=fieldmark user=fmadmin savepass=1 $'password=\xc6\xc5\xc4' \
     'lhbuscomponent=cn=FMK_Sales_Region_North_West_Europe, o=Norwen' logdirectory=/srv/log \
     > "$app/lib/Fieldmark_Sales_Region_North_West_Europe.tsy"
crlf SatelliteAppln=1028 ldbp=2 dsn=RST_PLAN user=rs > "$app/lib/Rostrum_Plan.tsy"
crlf SatelliteAppln=4009 ldbp=two > "$app/lib/Broken.tsy"
crlf '[FMK]' SatelliteAppln=4009 dsn=FMK_SALES '' '[RST]' SatelliteAppln=1028 ldbp=2 dsn=RST_PLAN \
     > "$app/lib/Default_M&S.tsy"
chmod 0644 "$app/lib/"*

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display HOME="$work" XDG_CONFIG_HOME="$work/config"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_SCALE_FACTOR=2
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    bus=$!
    sleep 1
    "$1/ConfigurationSelector" >/dev/null 2>&1 &
    program=$!
    status=0
    timeout 180 /usr/bin/python3 "$2" "$1/I18nText.xml" || status=$?
    kill $program $bus 2>/dev/null || true
    exit $status
' accessibility "$app" "$here/accessibility-read.py"
