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
cmake --build build/fuzz --target presetFileFuzz
ctest --test-dir build/fuzz -R '^fuzz_presetFile' --output-on-failure
