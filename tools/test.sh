#!/usr/bin/env bash
# Builds everything and runs the whole test suite; prints CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
ctest --preset linux
