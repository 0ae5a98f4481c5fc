#!/usr/bin/env bash
# The suite again under AddressSanitizer + UndefinedBehaviorSanitizer, then
# each fuzz target for a short while on its corpus (TQ_FUZZ_SECONDS, 60 s).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTQ_BUILD_FUZZ=ON -DTQ_BUILD_HOST=OFF -DTQ_FUZZ_SECONDS="${TQ_FUZZ_SECONDS:-60}" >/dev/null
cmake --build build/fuzz --target presetFileFuzz dispatcherFuzz
ctest --test-dir build/fuzz -R '^fuzz_' --output-on-failure
# How much each target ran: libFuzzer's closing statistics.
grep -E '^([0-9]+/[0-9]+ Test:|stat::number_of_executed_units|stat::new_units_added)' \
    build/fuzz/Testing/Temporary/LastTest.log
