#!/usr/bin/env bash
# Builds the Debian package (program only, Debian's hardening flags), runs lintian on it,
# then installs it on this machine and checks it as an administrator, two operators and an
# account outside the group would, and removes it again with everything it made.
# Usage: scripts/package-check.sh [BUILD_DIR]   (default build-deb; root or sudo needed)
# CI runs it on build/, which scripts/test.sh configures with the same flags.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=$(realpath -m "${1:-build-deb}")
pkg=configuration-selector
app=/opt/$pkg
data=/var/opt/$pkg
etc=/etc/opt/$pkg
ops=(cs-check-op1 cs-check-op2)
outsider=cs-check-outsider
fails=0

root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
as() { local user=$1; shift; root runuser -u "$user" -- env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen "$@"; }
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; fails=$((fails + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
mode_of() { root stat -c '%a %U %G' "$1"; }
not() { ! "$@" 2>/dev/null; }

scripts/install-deps.sh --package

# --- build and lintian --------------------------------------------------------------------
# A build folder that exists (CI passes the tested build/) keeps its settings: it needs only
# Debian's flags, and then nothing is compiled again. A compiler launcher it was not made with
# would change every command line, so none is added to it.
if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCS_DEB_BUILDFLAGS=ON >/dev/null
else
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCS_TOOLS=OFF \
          -DCS_DEB_BUILDFLAGS=ON >/dev/null
fi
cmake --build "$build" --target ConfigurationSelector
rm -f "$build"/$pkg*.deb "$build"/$pkg*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/${pkg}_*.deb)
dbgsym=$(ls "$build"/$pkg-dbgsym_*.ddeb 2>/dev/null || true)
echo "built $(basename "$deb") ${dbgsym:+and $(basename "$dbgsym")}"
check "a -dbgsym package holds the debug information" [ -n "$dbgsym" ]
# Debuggers find the symbols by build ID: every shipped binary's must be in the -dbgsym package.
ids_of_shipped() { local tree; tree=$(mktemp -d); dpkg-deb -x "$deb" "$tree"
                   for f in "$tree$app"/ConfigurationSelector "$tree$app"/*.so; do
                       readelf -n "$f" | awk '/Build ID/ {print $3}'; done | sort; rm -rf "$tree"; }
debug_ids_cover_binaries() { [ -n "$dbgsym" ] && [ "$(ids_of_shipped)" = "$(dpkg-deb -f "$dbgsym" Build-Ids | tr ' ' '\n' | sort)" ]; }
check "  ... for the build ID of every binary shipped, which is stripped" debug_ids_cover_binaries

# The status from a run without --show-overrides: with it, lintian counts overridden tags too.
lintian --fail-on error,warning "$deb" $dbgsym >/dev/null 2>&1 && status=0 || status=$?
lintian_out=$(lintian --show-overrides "$deb" $dbgsym 2>/dev/null || true)
echo "$lintian_out" | grep -E '^[EWO]:' || true
check "lintian: no errors, no warnings" [ "$status" -eq 0 ]
overridden=$(echo "$lintian_out" | awk '/^O:/ {print $3}' | sort -u | tr '\n' ' ')
check "lintian: overrides only for the /opt layout ($overridden)" \
    [ -z "$(echo "$overridden" | tr ' ' '\n' | grep -vE '^(dir-or-file-in-opt|dir-or-file-in-etc-opt|missing-intermediate-directory)?$')" ]
compiled_with() { grep -q -- "$1" "$build/compile_commands.json"; }
linked_with() { readelf -d "$build/bin/$1" | grep -q 'FLAGS.*BIND_NOW\|FLAGS_1.*NOW' && readelf -lW "$build/bin/$1" | grep -q GNU_RELRO &&
                readelf -h "$build/bin/$1" | grep -q 'DYN'; }
for flag in -fstack-protector-strong -D_FORTIFY_SOURCE=2; do
    check "hardening: compiled with $flag" compiled_with "$flag"
done
for binary in ConfigurationSelector libcs_core.so libcs_gui.so; do
    check "hardening: $binary is position independent, linked with relro and now" linked_with "$binary"
done
check "the package does not own /opt, /etc/opt or /var/opt" \
    not grep -qxE '\./(etc/|var/)?opt/' <<<"$(dpkg-deb -c "$deb" | awk '{print $6}')"

# --- install and check --------------------------------------------------------------------
if dpkg-query -W -f='${Status}' $pkg 2>/dev/null | grep -q 'install ok installed' || [ -e "$data" ]; then
    echo "$pkg is installed here or $data exists: not touching them." >&2
    exit 1
fi
group_made=no
getent group tessaly >/dev/null || group_made=yes
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
    root dpkg --purge $pkg >/dev/null 2>&1 || true
    root rm -rf "$data" "$app"
    root dpkg-statoverride --remove "$data/log" >/dev/null 2>&1 || true
    # What the check started as its accounts (stand-in servers a failed step left running).
    for u in "${ops[@]}" "$outsider"; do
        for pid in $(pgrep -u "$u" 2>/dev/null); do root kill -9 "$pid" 2>/dev/null || true; done
        for _ in $(seq 50); do pgrep -u "$u" >/dev/null 2>&1 || break; sleep 0.1; done
        root userdel "$u" >/dev/null 2>&1 || true
    done
    [ "$group_made" = yes ] && root groupdel tessaly >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" INT TERM

apt_install() {
    root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o Dpkg::Options::=--force-confold "$@" >/dev/null
}
apt_install "$deb"
for u in "${ops[@]}" "$outsider"; do root useradd -M -s /bin/sh "$u"; done
for u in "${ops[@]}"; do root adduser --quiet "$u" tessaly; done

for d in lib log; do
    check "$data/$d is root:tessaly 2770" [ "$(mode_of "$data/$d")" = "2770 root tessaly" ]
done
check "$data/OAComponents is root:tessaly 3770 (sticky)" [ "$(mode_of "$data/OAComponents")" = "3770 root tessaly" ]
conffiles=$(dpkg-query -W -f='${Conffiles}' $pkg)
for f in I18nText.xml registry.reg; do
    check "$f is a conffile in $etc" grep -q "$etc/$f" <<<"$conffiles"
done
check "the German texts are installed beside the English ones' conffile" \
    cmp -s "/usr/share/$pkg/I18nText.de.xml" "$src/resources/I18nText.de.xml"
man_warnings() { LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "/usr/share/man/man1/$pkg.1.gz" 2>&1 >/dev/null; }
check "the installed manual page reads without warnings" [ -z "$(man_warnings)" ]

sales="$data/lib/SALES_1028.tsy"
as "${ops[0]}" sh -c "umask 022; $pkg '1028:::1:::SALESDSN:::SALES:::dbhost:::sa:::secret:::bc'"
check "an operator's new configuration under umask 022 is 0660 in the group" \
    [ "$(mode_of "$sales")" = "660 ${ops[0]} tessaly" ]
check "an account outside the group cannot list lib/" not as $outsider ls "$app/lib/"
check "an account outside the group cannot read a configuration" not as $outsider cat "$sales"
before=$(root md5sum <"$sales")
as "${ops[1]}" sh -c "umask 077; $pkg '1028:::1:::SALESDSN:::SALES:::dbhost:::sa:::changed:::bc'"
check "a second operator changes it through the program; 0660 and the group stay" \
    [ "$(mode_of "$sales")" = "660 ${ops[1]} tessaly" ]
check "  ... and the text did change" [ "$(root md5sum <"$sales")" != "$before" ]
check "--check: a sound lib/ gives status 0" as "${ops[0]}" $pkg --check
root chmod o+r "$sales"
check_names_file() { local out status=0; out=$(as "${ops[0]}" $pkg --check) || status=$?; echo "$out"
                     [ "$status" -eq 1 ] && echo "$out" | grep -q SALES_1028.tsy; }
check "--check: a password readable by others gives status 1 and names the file" check_names_file
root chmod o-r "$sales"

# The directory tool: a stand-in that leaves success.log in its working folder when it is
# given the one argument; a compiled class when there is a Java compiler, else a script.
if command -v javac >/dev/null && command -v java >/dev/null; then
    cat >"$work/MyLDAP.java" <<'EOF'
public class MyLDAP {
    public static void main(String[] args) throws Exception {
        String name = args.length == 1 && args[0].split(";").length == 6 ? "success.log" : "faliure.log";
        java.nio.file.Files.writeString(java.nio.file.Path.of(name), "stand-in\n");
    }
}
EOF
    javac -d "$work" "$work/MyLDAP.java"
    root install -m 644 "$work/MyLDAP.class" "$app/MyLDAP.class"
    tool="a compiled MyLDAP class"
else
    cat >"$work/java" <<'EOF'
#!/bin/sh
# Stand-in for "java MyLDAP ARG": finds the class folder on CLASSPATH and writes its log here.
case ":$CLASSPATH:" in *:/opt/configuration-selector:*) echo ok > success.log ;; *) echo "no class" > faliure.log ;; esac
EOF
    root install -m 755 "$work/java" "$app/java"
    tool="a java stand-in script"
fi
cat >"$work/bus.cpp" <<'EOF'
// Calls the installed program's directory tool step as Merge and Split does.
#include "app/CommandLineMessages.h"
#include "suite/BusComponent.h"
#include <QCoreApplication>
int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QString appDir = QStringLiteral("/opt/configuration-selector");
    CommandLineMessages messages(appDir);
    return CreateBusComponent(messages, appDir, appDir + QStringLiteral("/log"), QStringLiteral("host"),
                              QStringLiteral("4711"), QStringLiteral("admin"), QStringLiteral("pw"),
                              QStringLiteral("PUB")) ? 0 : 1;
}
EOF
g++ -std=c++20 -fPIC -I"$src/src" $(pkg-config --cflags Qt6Core) "$work/bus.cpp" -o "$work/bus" \
    -L$app -l:libcs_core.so -Wl,-rpath,$app $(pkg-config --libs Qt6Core)
check "the directory tool ($tool) succeeds for an operator" as "${ops[0]}" "$work/bus"
check "  ... and its working folder is gone" [ -z "$(root ls -A "$data/log")" ]
root rm -f "$app/MyLDAP.class" "$app/java"

# The subcommands as operators use them over SSH: one starts a configuration, the other sees
# it run and may not stop it, the first stops it; bash completes the files of lib/.
printf '#!/bin/sh\ntrap "exit 0" TERM\nwhile :; do sleep 1; done\n' >"$work/TessHost.exe"
root install -m 755 "$work/TessHost.exe" "$app/TessHost.exe"
status_is() { local expected=$1 status=0; shift; "$@" >/dev/null || status=$?; [ "$status" -eq "$expected" ]; }
check "--run: an operator starts a configuration" status_is 0 as "${ops[0]}" $pkg --run SALES_1028
check "--status: the other operator sees it run" status_is 0 as "${ops[1]}" $pkg --status SALES_1028.tsy
check "--stop: the other operator's program is left running" status_is 1 as "${ops[1]}" $pkg --stop SALES_1028
check "--stop: its operator stops it" status_is 0 as "${ops[0]}" $pkg --stop SALES_1028 --grace 5
check "--status: then status 3" status_is 3 as "${ops[0]}" $pkg --status SALES_1028
completions() { as "${ops[0]}" bash -c "source /usr/share/bash-completion/completions/$pkg; COMP_WORDS=($pkg $1 $2)
                COMP_CWORD=2; _configuration_selector; echo \"\${COMPREPLY[*]}\""; }
check "bash completion: the files of lib/" [ "$(completions --stop SAL)" = SALES_1028.tsy ]
check "bash completion: the options of a subcommand" [ "$(completions --log --)" = "--follow --lines" ]
root rm -f "$app/TessHost.exe" "$data/log/"*

# --- the shared folders trust nothing ------------------------------------------------------
# ops[0] is the victim, ops[1] a colleague of the same group acting with bad intent; every
# call is bounded, so a FIFO that froze the program fails the check instead of hanging it.
victim=${ops[0]} colleague=${ops[1]}
g++ -std=c++20 -fPIC -I"$src/src" $(pkg-config --cflags Qt6Core) "$src/scripts/package-probe.cpp" -o "$work/probe" \
    -L$app -l:libcs_core.so -Wl,-rpath,$app $(pkg-config --libs Qt6Core)
probe() { local user=$1; shift; as "$user" sh -c 'umask 022; exec timeout 20 "$0" "$@"' "$work/probe" "$@"; }
in_time() { local user=$1; shift; as "$user" sh -c 'umask 022; timeout 20 "$@"; [ $? -ne 124 ]' sh "$@"; }
status_of() { local user=$1; shift; as "$user" sh -c 'umask 022; timeout 20 "$@" 2>/dev/null; echo $?' sh "$@" | tail -1; }
stand_in() { printf '#!/bin/sh\n%s\n' "$2" | root tee "$1" >/dev/null; root chmod 755 "$1"; }
stand_in "$app/TessHost.exe" 'while :; do sleep 1; done'
stand_in "$app/RunServer.bat" 'while :; do sleep 1; done'
stand_in "$data/OAComponents/startEventDispatcher.bat" 'while :; do sleep 1; done'
printf 'jar' | root tee "$data/OAComponents/eventdispatcher.jar" >/dev/null
printf 'publisher=<PublisherBuscomponent>\nconsumers=<ConsumerBusComponents>\n' |
    root tee "$data/OAComponents/eventdispatcher.properties" >/dev/null
root chmod 644 "$data/OAComponents/eventdispatcher.jar" "$data/OAComponents/eventdispatcher.properties"
# The victim's own files outside the folders, and a drop box where a colleague's code would sign.
mkdir -p "$work/victim" "$work/drop" "$work/colleague"; chmod 1777 "$work/drop"; chmod 777 "$work/colleague"
echo private >"$work/victim/bashrc"; echo private >"$work/victim/other"
root chown -R "$victim" "$work/victim"; root chmod 700 "$work/victim"; root chmod 600 "$work/victim"/*
victim_sum() { root md5sum "$work/victim"/* | md5sum; }
untouched=$(victim_sum)

# Links planted in lib/ and log/: nothing of the victim's is written through them.
as $colleague ln -s "$work/victim/bashrc" "$data/lib/LINK_1028.tsy"
check "command-line mode refuses a link planted in lib/ (status 1)" \
    [ "$(status_of $victim $pkg '1028:::1:::DSN:::LINK:::dbhost:::sa:::pw:::bc')" = 1 ]
as $colleague ln -s "$work/victim/bashrc" "$data/log/running-programs.json"
as $colleague ln -s "$work/victim/other" "$data/log/SALES_1028.tsy.console.log"
probe $victim run SALES_1028.tsy >/dev/null 2>&1 || true
check "Run writes no register or log through links planted in log/" [ "$(victim_sum)" = "$untouched" ]
check "  ... and the victim's files are as they were, after all of them" root test "$(root cat "$work/victim/bashrc")" = private
root rm -f "$data/lib/LINK_1028.tsy" "$data/log/running-programs.json" "$data/log/SALES_1028.tsy.console.log"

# A FIFO at each path the program opens freezes nothing.
for f in lib/FIFO_1028.tsy log/running-programs.json.lock log/running-programs.json log/SALES_1028.tsy.console.log; do
    root rm -f "$data/$f"; as $colleague mkfifo -m 666 "$data/$f"
    case $f in
        lib/*) check "a FIFO at $f: command-line mode ends" in_time $victim $pkg '1028:::1:::DSN:::FIFO:::h:::sa:::pw:::bc'
               check "a FIFO at $f: --check ends" in_time $victim $pkg --check ;;
        *)     check "a FIFO at $f: Run ends" in_time $victim "$work/probe" run SALES_1028.tsy ;;
    esac
    root rm -f "$data/$f"
done

# A dangling link in lib/ hides no other file.
as $colleague ln -s /nonexistent "$data/lib/DANGLING_1028.tsy"
root chmod o+r "$sales"
dangling_hides_nothing() { local out; out=$(as $victim timeout 20 $pkg --check) || true; echo "$out"
                           echo "$out" | grep -q 'DANGLING_1028.tsy: .*symbolic link' &&
                           echo "$out" | grep -q 'SALES_1028.tsy: holds a password' &&
                           ! echo "$out" | grep -q 'folder cannot be read'; }
check "--check: a dangling link is one line and hides no other file" dangling_hides_nothing
root chmod o-r "$sales"; root rm -f "$data/lib/DANGLING_1028.tsy"

# Stop on forged records signals nothing: another process of the victim, and pid 1.
as $victim setsid sh -c 'exec sleep 300' </dev/null >/dev/null 2>&1 &
sleep_pid=; for _ in $(seq 50); do sleep_pid=$(pgrep -u $victim -xf 'sleep 300' | head -1 || true); [ -n "$sleep_pid" ] && break; sleep 0.1; done
check "a process of the victim to forge a record with" [ -n "$sleep_pid" ]
forge() { local pid=${1:-0} start; start=$(awk '{sub(/.*\) /, ""); print $20}' /proc/$pid/stat 2>/dev/null || true)
          printf '[{"pid":%s,"startTime":"%s","uid":%s,"user":"%s","kind":"console","configFile":"%s","section":"","commandLine":"TessHost.exe  /F %s","logFile":"","started":"2026-01-01T10:00:00Z"}]\n' \
              "$pid" "$start" "$(id -u $victim)" $victim "$app/lib/SALES_1028.tsy" "$app/lib/SALES_1028.tsy" |
              as $colleague tee "$data/log/running-programs.json" >/dev/null; }
root rm -f "$data/log/running-programs.json"
stop_leaves_it() { local out; out=$(probe $victim stop SALES_1028.tsy 2>&1) || true; echo "$out"
                  echo "$out" | grep -q 'not verifiable' && root kill -0 "$sleep_pid"; }
forge "$sleep_pid"
check "Stop on a forged record of another victim process: not verifiable, it still runs" stop_leaves_it
forge 1
check "Stop on a forged record with pid 1 signals nothing" stop_leaves_it
root rm -f "$data/log/running-programs.json"

# Templates and dispatcher folders a colleague swapped or linked never run as the victim.
check "the sticky OAComponents/ keeps a colleague from renaming the administrator's template" \
    not as $colleague mv "$data/OAComponents/startEventDispatcher.bat" "$data/OAComponents/old.bat"
root chmod 2770 "$data/OAComponents"   # an administrator who dropped the sticky bit
as $colleague mv "$data/OAComponents/startEventDispatcher.bat" "$data/OAComponents/old.bat"
printf '#!/bin/sh\ntouch %s/ran-as-$(id -un)\n' "$work/drop" | as $colleague tee "$data/OAComponents/startEventDispatcher.bat" >/dev/null
as $colleague chmod 755 "$data/OAComponents/startEventDispatcher.bat"
root chmod 3770 "$data/OAComponents"   # the sticky bit back, the swap already done
swapped_refused() { local out; out=$(probe $victim dispatcher SALES_1028.tsy PUB 2>&1) || true; echo "$out"
                   echo "$out" | grep -q 'startEventDispatcher.bat is not run or copied'; }
check "a swapped template is refused, naming it" swapped_refused
as $colleague rm -f "$data/OAComponents/startEventDispatcher.bat"
root mv "$data/OAComponents/old.bat" "$data/OAComponents/startEventDispatcher.bat"
as $colleague ln -s "$work/colleague" "$data/OAComponents/LINKED"
probe $victim dispatcher SALES_1028.tsy LINKED >/dev/null 2>&1 || true
check "a dispatcher folder linked to the colleague's gets nothing" [ -z "$(ls -A "$work/colleague")" ]
probe $victim dispatcher SALES_1028.tsy PUB >/dev/null 2>&1
check "the administrator's template runs for the victim" test -x "$data/OAComponents/PUB/startEventDispatcher.bat"
check "no colleague's code ran as the victim" [ -z "$(ls -A "$work/drop")" ]

# A joint configuration's start leaves no clear password in log/ or the register.
scramble() { perl -e 'print join "", map { chr(ord($_) ^ 0xA7) } split //, $ARGV[0]' "$1"; }
printf '[FMK]\r\nsatelliteappln=4009\r\ndsn=FMKDSN\r\nuser=u1\r\npassword=%s\r\nldbp=1\r\n[RST]\r\nsatelliteappln=4010\r\ndsn=RSTDSN\r\nuser=u2\r\npassword=%s\r\nldbp=1\r\n' \
    "$(scramble 'Fmk-s3cret')" "$(scramble 'Rst-s3cret')" | as $victim sh -c "umask 007; cat >'$data/lib/JOINT.tsy'"
probe $victim joint JOINT.tsy >/dev/null 2>&1 || true
check "the joint start ran its Java server" root grep -q 'RunServer.bat' "$data/log/running-programs.json"
check "no clear password in log/ or the register after a joint start" not root grep -rq 's3cret' "$data/log"

# What the victim's program made in the three folders: no bits for others, no set-ID bit on a file.
made_by_victim() { root find "$data/lib" "$data/log" "$data/OAComponents" -user $victim \( -perm /0007 -o \( -type f -perm /6000 \) \); }
made_by_victim
check "everything the victim made under umask 022 has no bits for others and no set-ID bit" [ -z "$(made_by_victim)" ]
for file in JOINT.tsy SALES_1028.tsy; do probe $victim stop $file >/dev/null 2>&1 || true; done
for pid in $(pgrep -u $victim) $(pgrep -u $colleague); do root kill "$pid" 2>/dev/null || true; done
root rm -rf "$data/OAComponents/PUB" "$data/OAComponents/LINKED" "$data/lib/JOINT.tsy" "$data"/log/* "$app/TessHost.exe" "$app/RunServer.bat"

# The administrator's settings survive a reinstall: a folder's mode, an edited conffile.
root chmod 2750 "$data/OAComponents"
echo '<!-- edited -->' | root tee -a "$etc/I18nText.xml" >/dev/null
root rmdir "$data/log"
root dpkg-statoverride --add root tessaly 2730 "$data/log"
apt_install --reinstall "$deb"
check "an administrator's chmod survives a reinstall" [ "$(mode_of "$data/OAComponents")" = "2750 root tessaly" ]
check "a missing folder is made as dpkg-statoverride says" [ "$(mode_of "$data/log")" = "2730 root tessaly" ]
check "an edited I18nText.xml survives a reinstall" grep -q 'edited' "$etc/I18nText.xml"

root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq $pkg >/dev/null
check "remove keeps the configurations" root test -f "$sales"
apt_install "$deb"
root dpkg --purge $pkg >/dev/null
check "purge keeps the configurations" root test -f "$sales"
check "purge keeps the group" getent group tessaly
check "purge takes the application directory and leaves /opt" [ ! -e "$app" -a -d /opt ]

echo
[ "$fails" -eq 0 ] && echo "package check: all passed" || echo "package check: $fails failed"
[ "$fails" -eq 0 ]
