#!/bin/sh
# Runs a Windows program under wine on a private Xvfb: the emulator CTest
# uses in the cross builds, and the scripts' way to start the Windows
# programs. A 64-bit program runs under the host's wine64; with --i386 a
# 32-bit one runs under the 32-bit wine of the i386 root (tools/i386-root.sh,
# which makes the root on first use). wine64 given a 32-bit program says
# "experimental wow64 mode", runs nothing and exits 0, so a caller judges a
# run by the program's output, never by the exit status alone.
#
# The wine prefix is WINEPREFIX if set, else "wineprefix" next to the
# program; the 32-bit one lives inside the root. A new prefix is made on
# first use, which takes a while.
#   wine-run.sh [--i386] program.exe [arguments...]
set -u
enter=
wine="${TQ_WINE64:-/usr/lib/wine/wine64}"
if [ "${1:-}" = --i386 ]; then
    shift
    enter="$(cd "$(dirname "$0")/.." && pwd)/tools/i386-root.sh run"
    wine=/usr/lib/wine/wine
fi
if [ $# -lt 1 ]; then
    echo "usage: $0 [--i386] program.exe [arguments...]" >&2
    exit 2
fi
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$program_dir/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts and no menu entries while the prefix is made;
# no debugger either: a crash ends the program.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d}"
export TQ_WINESERVER="${TQ_WINESERVER:-/usr/lib/wine/wineserver}"
# There is no window manager on Xvfb: a new prefix is told to manage its
# top-level windows itself rather than wait for one. The wine server is
# waited for before Xvfb goes, so that no wine process outlives its display.
# shellcheck disable=SC2086 # $enter is a command and its argument
exec xvfb-run -a -s "-screen 0 1280x1024x24" $enter sh -c '
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
