#!/usr/bin/env bash
# The main job: builds everything, then runs the command-line host.
# With no argument it analyses the built-in demo signal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh >/dev/null
exec build/linux/tq-spectrum "$@"
