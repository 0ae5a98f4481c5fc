#!/usr/bin/env bash
# The LV2 bundle: installs the LV2 headers and tools (`deps.sh lv2`), builds
# the Linux preset, which then makes build/linux/lv2-bundles/tq-spectrum.lv2,
# and runs the LV2 suites and the bundle's checks under lv2_validate, lilv,
# lv2apply, jalv and jalv.gtk3 (CTest label lv2tools). Here a missing tool
# fails the check instead of skipping it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh lv2
cmake --preset linux -DBUILD_TESTING=ON >/dev/null
cmake --build --preset linux
TQ_LV2_TOOLS_REQUIRED=1 ctest --preset linux -R '^(Lv2|lv2_)'
