#!/usr/bin/env bash
# Configures and builds the Linux preset.
#   tools/build.sh       everything: plug-in, command-line host, tests
#   tools/build.sh run   the plug-in and the command-line host alone, with
#                        only their Debian packages (tools/run.sh); the build
#                        shows Ninja's progress when standard error is a
#                        terminal and is quiet otherwise, unless it fails
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != run ]; then
    bash tools/deps.sh test
    cmake --preset linux -DBUILD_TESTING=ON >/dev/null
    cmake --build --preset linux
    exit 0
fi

bash tools/deps.sh run
# The tests stay out of the tree until tools/test.sh asks for them, and in
# once it has: no reconfiguring back and forth.
testing=OFF
if grep -qs '^BUILD_TESTING:BOOL=ON$' build/linux/CMakeCache.txt; then
    testing=ON
fi
cmake --preset linux -DBUILD_TESTING=$testing >/dev/null
build=(cmake --build --preset linux --target tq-spectrum-cli tq-spectrum-vst)
if [ -t 2 ]; then
    "${build[@]}" >&2
    exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! "${build[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
