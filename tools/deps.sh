#!/usr/bin/env bash
# Makes sure the Debian packages that the build and the tests need are present.
# As root it installs what is missing; otherwise it prints the apt-get line.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    libsndfile1-dev
    libfreetype-dev libfontconfig-dev libpng-dev fonts-liberation
    clang libclang-rt-14-dev clang-format-14 locales
    libx11-dev libxtst-dev xvfb xauth
    libbenchmark-dev libfftw3-dev valgrind
)
# `deps.sh windows`: the cross compilers, wine64 and Xvfb as well, and what
# makes the i386 root for the 32-bit programs (tools/i386-root.sh).
if [ "${1:-}" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 xvfb xauth
        mmdebstrap arch-test)
fi
# `deps.sh live`: JACK's server, library and tools for tq-spectrum-live and
# its test, and desktop-file-validate for its desktop entry.
if [ "${1:-}" = live ]; then
    packages+=(jackd2 libjack-jackd2-dev desktop-file-utils)
fi
# `deps.sh package`: what CPack's Debian generator calls (dpkg-shlibdeps, file),
# the LV2 headers, since the package carries the LV2 bundle, and JACK's for
# the tq-spectrum-live package.
if [ "${1:-}" = package ]; then
    packages+=(dpkg-dev file lv2-dev libjack-jackd2-dev)
fi
# `deps.sh lv2`: the LV2 headers, and the LV2 tools and hosts that check the
# bundle (tools/lv2.sh): lv2_validate, sordi, lilv-utils, jalv on a JACK
# server, and what drives and pictures jalv's window under Xvfb.
if [ "${1:-}" = lv2 ]; then
    packages+=(lv2-dev sordi lilv-utils jalv jackd2 xvfb xauth xdotool imagemagick python3)
fi

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
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
