#!/bin/sh
# Runs a 64-bit Windows program under wine64 on a private Xvfb display: the
# emulator CTest uses in the x86_64 cross build, and the scripts' way to
# start the Windows programs. The wine prefix is WINEPREFIX if set, else
# "wineprefix" next to the program (made on first use, which takes a while).
#   wine64-run.sh program.exe [arguments...]
set -u
if [ $# -lt 1 ]; then
    echo "usage: $0 program.exe [arguments...]" >&2
    exit 2
fi
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$program_dir/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts and no menu entries while the prefix is made;
# no debugger either: a crash ends the program.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d}"
wine="${TQ_WINE64:-/usr/lib/wine/wine64}"
export TQ_WINESERVER="${TQ_WINESERVER:-/usr/lib/wine/wineserver}"
# There is no window manager on Xvfb: a new prefix is told to manage its
# top-level windows itself rather than wait for one. The wine server is
# waited for before Xvfb goes, so that no wine process outlives its display.
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    wine=$0
    if [ ! -f "$WINEPREFIX/.tq-unmanaged" ]; then
        "$wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
        "$TQ_WINESERVER" -w
        touch "$WINEPREFIX/.tq-unmanaged"
    fi
    "$wine" "$@"
    status=$?
    "$TQ_WINESERVER" -w
    exit $status' "$wine" "$@"
