#!/usr/bin/env bash
# The main job: builds the plug-in and the command-line host, then runs the
# host in the caller's folder, so that relative paths mean what the caller
# sees. With no argument it analyses the built-in demo signal.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
cd "$repo"
bash tools/deps.sh run
# The tests stay out of the tree until tools/test.sh asks for them, and in
# once it has: no reconfiguration back and forth.
testing=OFF
if grep -qs '^BUILD_TESTING:BOOL=ON$' build/linux/CMakeCache.txt; then
    testing=ON
fi
cmake --preset linux -DBUILD_TESTING=$testing >/dev/null
# Ninja's progress on a terminal (the first build takes minutes); elsewhere
# the build is quiet unless it fails.
build=(cmake --build --preset linux --target tq-spectrum-cli tq-spectrum-vst)
if [ -t 2 ]; then
    "${build[@]}" >&2
else
    log=$(mktemp)
    if ! "${build[@]}" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
fi
cd "$OLDPWD"
exec "$repo/build/linux/tq-spectrum" "$@"
