#!/usr/bin/env bash
# The Windows builds and their tests. The Linux preset first (its tq_artwork
# draws the bitmaps and its tq_win_reference renders the pictures the
# Windows tests compare with), then tq-spectrum.dll for x86_64 (win64) and
# for i686 (win32) with mingw-w64. CTest runs the same suites for both DLLs
# on Xvfb: the x86_64 ones under wine64, the i686 ones under the 32-bit wine
# of the i386 root, which tools/i386-root.sh makes on first use. Each build
# also checks its DLL's exports and imports, and the i686 DLL's editor
# pictures must equal the x86_64 DLL's.
#   tools/windows.sh          both DLLs
#   tools/windows.sh win32    one of them (win64 or win32) alone; without the
#                             other build's pictures, no comparison
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win64 win32)
for preset in "${presets[@]}"; do
    case "$preset" in
    win64 | win32) ;;
    *)
        echo "usage: $0 [win64] [win32]" >&2
        exit 2
        ;;
    esac
done
bash tools/deps.sh windows
bash tools/build.sh >/dev/null
for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
for preset in "${presets[@]}"; do
    exclude=()
    if [ "$preset" = win32 ]; then
        # Made here rather than inside the first test that needs it.
        bash tools/i386-root.sh >/dev/null
        if [ ${#presets[@]} -eq 1 ]; then
            echo "win32 alone: its pictures are not compared with the x86_64 DLL's" >&2
            exclude=(-E '^win_same_pictures_')
        fi
    fi
    ctest --preset "$preset" "${exclude[@]}"
done
