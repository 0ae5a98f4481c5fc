#!/usr/bin/env bash
# The Windows builds. The Linux preset first (its tq_artwork draws the
# bitmaps and its tq_win_reference renders the pictures the Windows test
# compares with), then tq-spectrum.dll for x86_64 and for i686 with
# mingw-w64. The x86_64 tests run under wine64 on Xvfb; nothing here can run
# 32-bit code, so the i686 DLL is built and inspected only: CTest checks
# that it exports exactly VSTPluginMain and main and imports only Windows'
# own DLLs, as it does for the x86_64 one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh windows
bash tools/build.sh >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64
cmake --preset win32 >/dev/null
cmake --build --preset win32

ctest --preset win64
ctest --test-dir build/win32 -R win_exports --output-on-failure
