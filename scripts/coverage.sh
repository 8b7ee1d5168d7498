#!/usr/bin/env bash
# Which program lines the test suite runs: builds build-coverage/ with gcov counters, runs
# every test and writes one "file:line" per executed line of src/ to the given file (sorted),
# so that two runs compare with `comm -23 before.txt after.txt`. Used when tests are merged
# or removed, to see that no line of the program lost its last test.
#   scripts/coverage.sh OUT.txt [ctest options]
set -euo pipefail
out=$(realpath -m "${1:?usage: scripts/coverage.sh OUT.txt [ctest options]}")
shift
cd "$(dirname "$0")/.."
top=$PWD
build=build-coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCS_TOOLS=OFF \
    "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g0 --coverage" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j"$(nproc)"
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest -j2 "$@" >ctest.log) || echo "some tests failed: $build/ctest.log" >&2
find "$PWD/$build" -name '*.gcda' | python3 -c '
import json, os, subprocess, sys
top = sys.argv[1]
covered, executable = set(), set()
for gcda in sys.stdin.read().split():
    run = subprocess.run(["gcov", "--json-format", "--stdout", "-o", os.path.dirname(gcda), gcda],
                         capture_output=True, cwd=os.path.dirname(gcda))
    for doc in run.stdout.decode().splitlines():
        if not doc.startswith("{"):
            continue
        data = json.loads(doc)
        for f in data["files"]:
            path = os.path.join(data["current_working_directory"], f["file"])
            path = os.path.relpath(os.path.realpath(path), top)
            if path.startswith("src/"):
                for l in f["lines"]:
                    line = path + ":" + str(l["line_number"])
                    executable.add(line)
                    if l["count"] > 0:
                        covered.add(line)
print("\n".join(sorted(covered)))
print(f"{len(covered)} of {len(executable)} executable lines of src/ executed", file=sys.stderr)
' "$top" >"$out"
