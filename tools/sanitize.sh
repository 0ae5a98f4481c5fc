#!/usr/bin/env bash
# The suite again under AddressSanitizer + UndefinedBehaviorSanitizer, then
# each fuzz target for a short while on its corpus (TQ_FUZZ_SECONDS, 60 s).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh sanitize
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

cmake --preset fuzz -DTQ_FUZZ_SECONDS="${TQ_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
# How much each target ran: libFuzzer's closing statistics.
grep -E '^([0-9]+/[0-9]+ Test:|stat::number_of_executed_units|stat::new_units_added)' \
    build/fuzz/Testing/Temporary/LastTest.log
