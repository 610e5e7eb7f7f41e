#!/usr/bin/env bash
# Builds and runs every test, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset, with a short run of each fuzz target); the last
# line is CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --preset default --timeout 300
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan --timeout 600
