#!/usr/bin/env bash
# tq-spectrum-live and its tests: JACK's packages (tools/deps.sh live), the
# program in the linux preset's build, then its CTest entries: the run on
# real JACK servers under Xvfb, its command line, its desktop entry.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh live
cmake --preset linux -DBUILD_TESTING=ON >/dev/null
cmake --build --preset linux --target tq-spectrum-live live_probe live_tests
ctest --preset linux -R '^live_|^LiveOptionsTest\.'
