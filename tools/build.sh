#!/usr/bin/env bash
# Configures and builds the Linux preset (plug-in, command-line host, tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
