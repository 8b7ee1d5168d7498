#!/usr/bin/env bash
# Builds the program and writes a picture of every window into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target screenshots
./build/bin/screenshots docs/screenshots
