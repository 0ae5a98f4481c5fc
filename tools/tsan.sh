#!/usr/bin/env bash
# The thread tests (CTest label "thread": the audio thread racing the
# user-interface thread, and editors opened on several threads at once)
# under ThreadSanitizer. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh tsan
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target race_tests editor_thread_tests
ctest --preset tsan -L thread
