#!/usr/bin/env bash
# Builds and runs every test; the last line is CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --preset default --timeout 300
