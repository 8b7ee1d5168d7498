#!/usr/bin/env bash
# Builds the program, sets up a complete demo application directory in demo/app (sample
# configurations, suite stand-ins, dispatcher templates, registry file, two suite databases
# on a private PostgreSQL server reached through a private odbc.ini) and opens the program.
# --reset first puts the demo back to its first state: the configurations in demo/app/lib
# and the rows of the two databases are made again, always together.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
reset=0
case "${1:-}" in
    --reset) reset=1 ;;
    "") ;;
    *) echo "usage: scripts/demo.sh [--reset]" >&2; exit 2 ;;
esac
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ConfigurationSelector -j"$(nproc)"

app=$root/demo/app
pg=$root/demo/pg
mkdir -p "$app"
if [ $reset -eq 1 ]; then
    # What the program and the stand-ins made: configurations, logs, publisher folders.
    rm -rf "$app/lib" "$app/log" "$app/OAComponents"
fi
cmake --install build --prefix "$app" >/dev/null
mkdir -p "$app/lib" "$app/log" "$app/web" "$app/OAComponents"

# The suite's programs, as stand-ins that show how they were started.
for p in TessHost.exe RunServer.bat; do install -m 755 resources/demo/suite-stub.sh "$app/$p"; done
install -m 755 resources/demo/java "$app/java"
if [ -d resources/demo/OAComponents ]; then
    cp -f resources/demo/OAComponents/* "$app/OAComponents/"
    chmod +x "$app/OAComponents/startEventDispatcher.bat" 2>/dev/null || true
fi
if [ -f resources/demo/registry.reg ]; then
    sed "s|@APPDIR@|$app|g" resources/demo/registry.reg >"$app/registry.reg"
fi
[ -f resources/demo/sysinfo.sh ] && install -m 755 resources/demo/sysinfo.sh "$app/sysinfo.sh"

# Two suite databases on a private server; the ODBC files stay in demo/pg.
tests/support/pg_fixture.sh start "$pg"
trap '"$root/tests/support/pg_fixture.sh" stop "$pg"' EXIT
port=$(cat "$pg/port")
psql_admin() { PGPASSWORD=cs_admin_pw psql -X -q -v ON_ERROR_STOP=1 -h localhost -p "$port" -U cs_admin "$@"; }
# The databases are filled when the configurations are written, so the two always start
# from the same state: a new database also makes the configurations again.
fresh=0
[ -z "$(ls -A "$app/lib")" ] && fresh=1
for db in fieldmark_demo rostrum_demo; do
    if ! psql_admin -d postgres -At -c "SELECT 1 FROM pg_database WHERE datname='$db'" | grep -q 1; then
        psql_admin -d postgres -c "CREATE DATABASE $db OWNER cs_user"
        fresh=1
    fi
done
schema="DROP TABLE IF EXISTS tsparameters, TSYBCDETAILS;
CREATE TABLE tsparameters (backendversion integer);
INSERT INTO tsparameters VALUES (6);
CREATE TABLE TSYBCDETAILS (publisherBC varchar(50), BCname varchar(50), tableid integer, productID varchar(10));"
# The rows are shared with the test that walks the demo's merge and split.
if [ $fresh -eq 1 ]; then
    for db in fieldmark_demo rostrum_demo; do
        PGPASSWORD=cs_user_pw psql -X -q -v ON_ERROR_STOP=1 -h localhost -p "$port" -U cs_user -d "$db" \
            -c "$schema" -f "resources/demo/$db.sql"
    done
fi
cat >>"$pg/odbc.ini" <<INI

[FMK_DEMO]
Driver=PostgreSQL Unicode
Servername=localhost
Port=$port
Database=fieldmark_demo

[RST_DEMO]
Driver=PostgreSQL Unicode
Servername=localhost
Port=$port
Database=rostrum_demo
INI
export ODBCSYSINI=$pg ODBCINI=$pg/odbc.ini

# Sample configurations, written by the program's own command-line mode (passwords scrambled).
if [ $fresh -eq 1 ]; then
    rm -f "$app"/lib/*.tsy
    sel() { QT_QPA_PLATFORM=offscreen "$app/ConfigurationSelector" "$1"; }
    sel "4009:::1:::FMK_DEMO:::fieldmark_demo:::localhost:::cs_user:::cs_user_pw:::cn=FMK_Sales, o=Norwen"
    sel "1028:::1:::RST_DEMO:::rostrum_demo:::localhost:::cs_user:::cs_user_pw:::cn=RST_Plan, o=Norwen"
    sel "1028:::2:::RST_DEMO:::rostrum_oracle:::localhost:::cs_user:::cs_user_pw:::cn=RST_Oracle, o=Norwen"
    sel "4010:::1:::WEB_DEMO:::webtrell_demo:::localhost:::cs_user:::cs_user_pw:::cn=WEB_Portal, o=Norwen"
    sed -i "s|^webdirectory=\r\$|webdirectory=$app/web\r|" "$app/lib/fieldmark_demo_4009.tsy"
    # A joint file as the Merge and Split command makes it.
    { printf '[FMK]\r\n'; cat "$app/lib/fieldmark_demo_4009.tsy"; printf '\r\n[RST]\r\n'; cat "$app/lib/rostrum_demo_1028.tsy"; } \
        >"$app/lib/Sales_M&S.tsy"
    # It holds passwords: operators only, as the program makes its files.
    chmod 0660 "$app/lib/Sales_M&S.tsy"
fi

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display. Run the demo in a virtual one:  xvfb-run -a scripts/demo.sh" >&2
    exit 1
fi
cd "$app"
export CS_DEMO_APPDIR=$app
"$app/ConfigurationSelector"
