#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (PostgreSQL is started
# and stopped by the test run itself).
#   scripts/test.sh [ctest options]             build/, as shipped (Debian's flags)
#   scripts/test.sh --sanitize [ctest options]  build-sanitize/, with AddressSanitizer,
#       UndefinedBehaviorSanitizer and LeakSanitizer; any report fails the run
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build
# The program as the package ships it: Debian's hardening flags, so that the package check
# can reuse this build.
options=(-DCS_DEB_BUILDFLAGS=ON)
if [ "${1:-}" = --sanitize ]; then
    shift
    build=build-sanitize
    # Unoptimised, with line tables only: the reports need file and line, and the build is
    # much quicker than an optimised one with full debug information.
    options=(-DCS_SANITIZE=ON -DCS_TOOLS=OFF -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1")
    reports="$PWD/$build/sanitizer-reports"
    rm -rf "$reports"
    mkdir -p "$reports"
    # Reports go to files, so that those of child processes and of passing tests count too.
    # Not strict_string_checks: it calls strndup on a buffer without a terminating NUL an
    # overflow, which is valid C, and the X keyboard library does just that.
    export ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/sanitize.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
status=0
ctest --output-on-failure -j2 "$@" || status=$?
if [ -n "${reports:-}" ] && [ -n "$(ls -A "$reports")" ]; then
    echo "Sanitizer reports:" >&2
    cat "$reports"/* >&2
    status=1
fi
exit "$status"
