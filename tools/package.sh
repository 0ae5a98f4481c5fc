#!/usr/bin/env bash
# The Debian package. A plain Release build with no preset, as a distribution
# builds it (the plug-in gets the X11 layer), in build/package, with the
# compiler and linker flags of dpkg-buildflags and all its hardening (bind
# now, fortified functions, stack protector); then CPack's DEB generator,
# whose dependencies come from dpkg-shlibdeps. Prints the package's fields,
# lintian's remarks (-EvIL +pedantic) and its name.
# Install it with: sudo apt-get install ./build/package/tq-spectrum_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh package
flags() {
    DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"
}
# CMake has no CPPFLAGS: the preprocessor's flags (_FORTIFY_SOURCE) go with
# the compilers'.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build build/package
if ! readelf -d build/package/tq-spectrum.so | grep -q 'NEEDED.*\[libX11\.so'; then
    echo "build/package/tq-spectrum.so does not link libX11: its editor would stay empty" >&2
    exit 1
fi
rm -f build/package/tq-spectrum_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/tq-spectrum_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends Suggests
lintian -EvIL +pedantic "$deb" || true
echo "$deb"
