#!/usr/bin/env bash
# Runs every benchmark program (bench/bench_*.cpp, built into build/bin) with --guard: each
# exits 1 when a figure is more than three times its target. Builds nothing; runs them all
# and fails when one fails or was not built.
set -uo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
failed=0
for source in bench/bench_*.cpp; do
    name=$(basename "$source" .cpp)
    if [ ! -x "$bin/$name" ]; then
        echo "FAILED: $bin/$name not built (cmake --build build --target $name)" >&2
        failed=1
        continue
    fi
    echo "== $name --guard"
    if ! "$bin/$name" --guard; then
        echo "FAILED: $name" >&2
        failed=1
    fi
done
exit $failed
