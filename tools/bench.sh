#!/usr/bin/env bash
# Builds the benchmarks in the Linux preset's tree (the libraries are shared
# with the test build); with --run also runs them. Timings never gate CI.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh bench
cmake --preset linux -DTQ_BUILD_BENCH=ON >/dev/null
cmake --build --preset linux --target tq_bench
if [ "${1:-}" = --run ]; then
    build/linux/tq_bench
fi
