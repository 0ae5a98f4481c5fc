#!/usr/bin/env bash
# The main job: builds everything, then runs the command-line host in the
# caller's folder, so that relative paths mean what the caller sees.
# With no argument it analyses the built-in demo signal.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
(cd "$repo" && bash tools/build.sh >/dev/null)
exec "$repo/build/linux/tq-spectrum" "$@"
