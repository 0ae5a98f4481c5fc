#!/bin/sh
# Takes the screenshot in docs/: tq_win_demo (the DLL's editor in a window of
# its own, playing the test signal's tones and a sweeping tone) in a wine64
# virtual desktop on Xvfb, grabbed from the X screen while it runs.
#   screenshot.sh <win64 build folder> <picture.png>
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 <win64 build folder> <picture.png>" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
wine="${TQ_WINE64:-/usr/lib/wine/wine64}"
export TQ_WINESERVER="${TQ_WINESERVER:-/usr/lib/wine/wineserver}"
# The desktop is a window of the X screen at its origin; the demo's window
# sits inside it with the frame wine draws for it.
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine=$0 build=$1 out=$2
    cd "$build"
    "$wine" wineboot >/dev/null 2>&1
    "$wine" explorer /desktop=tq-spectrum,640x264 tq_win_demo.exe 14 &
    sleep 10
    import -window root -crop 640x264+0+0 +repage "$out"
    wait
    "$TQ_WINESERVER" -w' "$wine" "$build" "$out"
