#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and the demo need (see README).
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config                  # build
    qt6-base-dev libgl-dev                            # Qt 6 Widgets, Xml, Test
    unixodbc unixodbc-dev odbc-postgresql             # ODBC driver manager and PostgreSQL driver
    postgresql                                        # the suite database of tests and demo
    libgtest-dev libgmock-dev googletest              # tests
    xvfb xauth x11-utils xterm fonts-dejavu-core      # headless windows, demo terminal
    clang-14 libclang-rt-14-dev                       # fuzz targets (libFuzzer)
    at-spi2-core dbus-daemon python3-pyatspi          # the windows read as a screen reader does
)
# scripts/package-check.sh also builds, lints and installs the Debian package.
[ "${1:-}" = --package ] && packages+=(dpkg-dev binutils lintian adduser man-db)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
