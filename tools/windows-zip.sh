#!/usr/bin/env bash
# The Windows zip: the 64-bit and the 32-bit DLL in folders of their own,
# with INSTALL.txt and COPYRIGHT.txt, from the trees tools/windows.sh built.
# Prints the zip's path and contents.
set -euo pipefail
cd "$(dirname "$0")/.."
for tree in win64 win32; do
    if [ ! -f build/$tree/tq-spectrum.dll ]; then
        echo "build/$tree/tq-spectrum.dll is missing: run bash tools/windows.sh first" >&2
        exit 1
    fi
done
rm -f build/package/tq-spectrum-*-windows.zip
cpack --config cmake/WindowsZip.cmake >/dev/null
zip=$(ls build/package/tq-spectrum-*-windows.zip)
cmake -E tar tf "$zip"
echo "$zip"
