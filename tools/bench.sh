#!/usr/bin/env bash
# Builds the benchmarks; with --run also runs them (timings never gate CI).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_BENCH=ON >/dev/null
cmake --build build/bench --target tq_bench
if [ "${1:-}" = --run ]; then
    build/bench/tq_bench
fi
