#!/usr/bin/env bash
# The Windows builds. The Linux preset first (its tq_artwork draws the
# bitmaps and its tq_win_reference renders the pictures the Windows test
# compares with), then tq-spectrum.dll for x86_64 and for i686 with
# mingw-w64. The x86_64 tests run under wine64 on Xvfb; nothing here can run
# 32-bit code, so the i686 DLL is built and inspected only. Each DLL must
# export exactly VSTPluginMain and main and import only Windows' own DLLs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh windows
bash tools/build.sh >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64
cmake --preset win32 >/dev/null
cmake --build --preset win32

allowed="gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
check_dll() { # objdump dll expected-format
    local dump exports imports
    dump=$("$1" -p "$2")
    if [[ $("$1" -f "$2") != *"file format $3"* ]]; then
        echo "$2: not $3" >&2
        return 1
    fi
    exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
                   on && /^\t\[/ {print $NF; next}
                   on {exit}' <<<"$dump" | LC_ALL=C sort | xargs)
    if [ "$exports" != "VSTPluginMain main" ]; then
        echo "$2 exports: $exports" >&2
        return 1
    fi
    imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump" | LC_ALL=C sort | xargs)
    for dll in $imports; do
        if [[ " $allowed " != *" $dll "* ]]; then
            echo "$2 imports $dll" >&2
            return 1
        fi
    done
    echo "$2 ($3): exports $exports; imports $imports"
}
check_dll x86_64-w64-mingw32-objdump build/win64/tq-spectrum.dll pei-x86-64
check_dll i686-w64-mingw32-objdump build/win32/tq-spectrum.dll pei-i386

ctest --preset win64
