#!/usr/bin/env bash
# Builds the fuzz targets (libFuzzer, clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for SECONDS (default 60), starting from its corpus in
# fuzz/corpus/<name>. Prints every target's name, executions and inputs a second; exits
# non-zero when a target crashes, leaks, breaks a property or times out. Crash inputs are left in
# build-fuzz/crashes/ to be added to the corpus as regression cases.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
root="$PWD"
build="$root/build-fuzz"

scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null
# Quiet unless the build fails; then its errors are what the run prints.
if ! out=$(cmake --build "$build" -j"$(nproc)" 2>&1); then
    printf '%s\n' "$out" | grep -E -A5 'error|FAILED' >&2
    exit 1
fi

mkdir -p "$build/crashes" "$build/logs"
failed=0
for target in fuzz_tsy fuzz_ini fuzz_files fuzz_i18ntext fuzz_registry fuzz_cmdline fuzz_quote fuzz_ansi; do
    name="${target#fuzz_}"
    # New inputs go to a scratch corpus; the checked-in seeds are only read. Newly reached
    # functions are not printed: symbolising them costs seconds each.
    mkdir -p "$build/corpus/$name"
    log="$build/logs/$target.log"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
       "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
           -print_final_stats=1 -print_funcs=0 -artifact_prefix="$build/crashes/$target-" \
           "$build/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    printf '%-16s %-6s %12s executions %10s a second\n' "$target" "$status" "${runs:-0}" "${rate:-0}"
    [ "$status" = ok ] || tail -30 "$log" >&2
done
exit "$failed"
