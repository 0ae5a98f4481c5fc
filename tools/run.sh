#!/usr/bin/env bash
# The main job: builds the plug-in and the command-line host, then runs the
# host in the caller's folder, so that relative paths mean what the caller
# sees. With no argument it analyses the built-in demo signal.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
(cd "$repo" && bash tools/build.sh run)
exec "$repo/build/linux/tq-spectrum" "$@"
