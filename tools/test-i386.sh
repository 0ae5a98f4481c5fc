#!/usr/bin/env bash
# The Linux suites built for i386 and run in the i386 root (tools/i386-root.sh
# makes it on first use): they catch 32-bit integer and record-layout faults
# in the shared code. The plug-in, the command-line host and every suite of
# the linux preset, in build/linux-i386.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh windows
bash tools/i386-root.sh run sh -c '
    cmake --preset linux-i386 >/dev/null
    cmake --build --preset linux-i386
    ctest --preset linux-i386'
