#!/usr/bin/env bash
# Makes sure the Debian packages of the named groups are present:
#   tools/deps.sh [NAME...]     (no NAME: test)
# As root it installs what is missing; otherwise it prints the apt-get line.
# A group is a line below; `@NAME` takes in another group.
set -euo pipefail

declare -A groups=(
    # tools/run.sh: the plug-in and the command-line host.
    [run]="cmake ninja-build g++ pkg-config libsndfile1-dev libx11-dev
           libfreetype-dev libfontconfig-dev libpng-dev fonts-liberation"
    # tools/test.sh: the suites too (XTest and Xvfb for the X11 layer's,
    # locales for the decimal comma).
    [test]="@run libgtest-dev libgmock-dev libxtst-dev xvfb xauth locales"
    # tools/sanitize.sh: the fuzz targets are built with clang.
    [sanitize]="@test clang libclang-rt-14-dev"
    [tsan]="@test"
    [format]="clang-format-14"
    [bench]="@test libbenchmark-dev libfftw3-dev"
    [hopcount]="@bench valgrind"
    # tools/package.sh: what CPack's Debian generator calls (dpkg-shlibdeps,
    # file), dpkg-buildflags, lintian, the LV2 headers (the package carries
    # the LV2 bundle) and JACK's (the tq-spectrum-live package).
    [package]="@run dpkg-dev file lintian lv2-dev libjack-jackd2-dev"
    # tools/windows.sh and tools/test-i386.sh: the cross compilers, wine64,
    # and what makes the i386 root (tools/i386-root.sh).
    [windows]="@test g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
               mmdebstrap arch-test"
    # tools/live.sh: JACK's server, library and tools for tq-spectrum-live
    # and its test, and desktop-file-validate for its desktop entry.
    [live]="@test jackd2 libjack-jackd2-dev desktop-file-utils"
    # tools/lv2.sh: the LV2 headers, and the LV2 tools and hosts that check
    # the bundle: lv2_validate, sordi, lilv-utils, jalv on a JACK server, and
    # what drives and pictures jalv's window under Xvfb.
    [lv2]="@test lv2-dev sordi lilv-utils jalv jackd2 xdotool imagemagick python3"
)

packages=()
# add NAME: appends the group's packages, once each.
add() {
    local word
    [ -n "${groups[$1]+set}" ] || {
        echo "deps.sh: no group '$1' (groups: ${!groups[*]})" >&2
        exit 2
    }
    for word in ${groups[$1]}; do
        if [ "${word#@}" != "$word" ]; then
            add "${word#@}"
        elif [[ " ${packages[*]} " != *" $word "* ]]; then
            packages+=("$word")
        fi
    done
}
[ $# -gt 0 ] || set -- test
for name in "$@"; do
    add "$name"
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >&2
