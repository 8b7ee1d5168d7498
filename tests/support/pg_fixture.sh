#!/bin/bash
# The PostgreSQL server of a test run, in a directory of its own:
#   pg_fixture.sh start <dir>   initialise (first time) and start; quick when already running
#   pg_fixture.sh stop <dir>    stop it
#   pg_fixture.sh resume <dir>  start it again after a stop, on the same port
# <dir> receives data/, server.log, port, odbcinst.ini and odbc.ini (the private ODBC files the
# tests point ODBCSYSINI at). The machine's own ODBC files are never touched.
set -euo pipefail

usage() { echo "usage: $0 start|stop|resume <dir>" >&2; exit 2; }
[ $# -eq 2 ] || usage
cmd=$1
dir=$(realpath -m -- "$2")

PGBIN=${CS_PG_BIN:-/usr/lib/postgresql/15/bin}
DRIVER=${CS_PG_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so}
# Throwaway credentials of a server that listens on the loopback interface only.
ADMIN_USER=cs_admin
ADMIN_PASSWORD=cs_admin_pw
TEST_USER=cs_user
TEST_PASSWORD=cs_user_pw

# The server's own files: data/ and server.log lie in <dir>, or, when the postgres user
# cannot reach <dir> (a root checkout under a closed home), in a directory of /tmp whose
# name <dir>/server-dir records.
srv=$dir
if [ -f "$dir/server-dir" ]; then
    srv=$(cat "$dir/server-dir")
fi
data=$srv/data

# PostgreSQL refuses to run as root: then its programs run as the postgres user.
as_pg() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

running() {
    [ -f "$data/postmaster.pid" ] && as_pg "$PGBIN/pg_ctl" -D "$data" status >/dev/null 2>&1
}

admin_psql() {
    PGPASSWORD=$ADMIN_PASSWORD "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h localhost -p "$(cat "$dir/port")" \
        -U "$ADMIN_USER" -d postgres "$@"
}

port_free() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

write_odbc_files() {
    local port
    port=$(cat "$dir/port")
    cat >"$dir/odbcinst.ini.tmp" <<EOF
[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode) of the test server
Driver=$DRIVER
EOF
    cat >"$dir/odbc.ini.tmp" <<EOF
[cs_postgres]
Driver=PostgreSQL Unicode
Servername=localhost
Port=$port
Database=postgres
ReadOnly=No
EOF
    mv -f "$dir/odbcinst.ini.tmp" "$dir/odbcinst.ini"
    mv -f "$dir/odbc.ini.tmp" "$dir/odbc.ini"
}

start() {
    if running; then
        return 0
    fi
    [ -x "$PGBIN/initdb" ] || { echo "PostgreSQL 15 not found in $PGBIN (install postgresql)" >&2; exit 1; }
    [ -f "$DRIVER" ] || { echo "PostgreSQL ODBC driver not found: $DRIVER (install odbc-postgresql)" >&2; exit 1; }

    if [ ! -f "$data/PG_VERSION" ]; then
        rm -rf "$data"
        mkdir -p "$data"
        printf '%s\n' "$ADMIN_PASSWORD" >"$srv/.pwfile"
        if [ "$(id -u)" = 0 ]; then
            chown postgres: "$srv/.pwfile" "$data"
        fi
        chmod 700 "$data"
        if ! as_pg "$PGBIN/initdb" -D "$data" -U "$ADMIN_USER" --pwfile="$srv/.pwfile" \
                --auth=scram-sha-256 -E UTF8 --locale=C >"$dir/initdb.log" 2>&1; then
            cat "$dir/initdb.log" >&2
            exit 1
        fi
        rm -f "$srv/.pwfile"
        echo "include_if_exists = 'cs_fixture.conf'" >>"$data/postgresql.conf"
    fi

    # Settings of this start: a free loopback port; a socket in <dir> when its path fits.
    local socketdir="$srv" tries=0 port
    if [ ${#srv} -gt 90 ]; then
        socketdir=""
    fi
    while :; do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        port_free "$port" || continue
        echo "$port" >"$dir/port"
        cat >"$data/cs_fixture.conf" <<EOF
port = $port
listen_addresses = 'localhost'
unix_socket_directories = '$socketdir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 200
EOF
        if [ "$(id -u)" = 0 ]; then
            chown postgres: "$data/cs_fixture.conf"
            touch "$srv/server.log"
            chown postgres: "$srv/server.log"
        fi
        # The server must not inherit the lock (fd 9), or the next start would wait forever.
        if as_pg "$PGBIN/pg_ctl" -D "$data" -l "$srv/server.log" -w -t 60 start >/dev/null 9>&-; then
            break
        fi
        tries=$((tries + 1))
        if [ $tries -ge 5 ]; then
            echo "PostgreSQL did not start; see $srv/server.log:" >&2
            tail -n 20 "$srv/server.log" >&2
            exit 1
        fi
    done

    # The login the tests use, and no databases left over from an earlier run.
    admin_psql -c "DO \$\$ BEGIN
        IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '$TEST_USER') THEN
            CREATE ROLE $TEST_USER LOGIN CREATEDB PASSWORD '$TEST_PASSWORD';
        END IF; END \$\$;"
    admin_psql -At -c "SELECT datname FROM pg_database WHERE datname LIKE 'cs\\_t\\_%'" |
        while read -r db; do
            admin_psql -c "DROP DATABASE IF EXISTS \"$db\" WITH (FORCE)"
        done
    rm -rf "$dir/dsn"
    write_odbc_files
}

stop() {
    if running; then
        as_pg "$PGBIN/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null
    fi
}

case $cmd in
start)
    mkdir -p "$dir"
    exec 9>>"$dir/.lock"
    flock 9
    if [ "$(id -u)" = 0 ]; then
        # The server runs as postgres: it must reach and write its directory.
        if [ "$srv" = "$dir" ]; then
            chown postgres: "$dir"
            if ! runuser -u postgres -- test -w "$dir"; then
                srv=$(mktemp -d /tmp/cs-pgtest.XXXXXX)
                echo "$srv" >"$dir/server-dir"
            fi
        fi
        mkdir -p "$srv"
        chown postgres: "$srv"
        data=$srv/data
    fi
    start
    ;;
stop)
    [ -d "$dir" ] || exit 0
    exec 9>>"$dir/.lock"
    flock 9
    stop
    ;;
resume)
    # After a stop: the same server, port and data again, for the tests that follow.
    exec 9>>"$dir/.lock"
    flock 9
    running || as_pg "$PGBIN/pg_ctl" -D "$data" -l "$srv/server.log" -w -t 60 start >/dev/null 9>&-
    ;;
*) usage ;;
esac
