#!/usr/bin/env bash
# Configures and builds the Linux preset (plug-in, command-line host, tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh test
cmake --preset linux -DBUILD_TESTING=ON >/dev/null
cmake --build --preset linux
