#!/usr/bin/env bash
# The Debian package. A plain Release build with no preset, as a distribution
# builds it (the plug-in gets the X11 layer), in build/package, with the
# compiler and linker flags of dpkg-buildflags and all its hardening (bind
# now, fortified functions, stack protector); then CPack's DEB generator,
# whose dependencies come from dpkg-shlibdeps. The package must carry the LV2
# bundle as well as the VST plug-in; where tq-spectrum-live is built it gets
# a package of its own, the only one that depends on JACK's library. Prints
# each package's fields, lintian's remarks (-EvIL +pedantic) and its name.
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
if [ ! -f build/package/lv2-bundles/tq-spectrum.lv2/tq-spectrum_ui.so ]; then
    echo "build/package has no LV2 bundle: are the LV2 headers (lv2-dev) installed?" >&2
    exit 1
fi
rm -f build/package/tq-spectrum_*.deb build/package/tq-spectrum-live_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/tq-spectrum_*.deb)
# Whole outputs first: grep -q stops reading at its match, and under
# pipefail the writer's broken pipe would fail the check.
depends=$(dpkg-deb --field "$deb" Depends)
contents=$(dpkg-deb --contents "$deb")
if grep -q libjack <<<"$depends"; then
    echo "$deb depends on JACK's library: only tq-spectrum-live may" >&2
    exit 1
fi
if ! grep -q '\./usr/lib/lv2/tq-spectrum\.lv2/manifest\.ttl$' <<<"$contents"; then
    echo "$deb carries no LV2 bundle in /usr/lib/lv2" >&2
    exit 1
fi
debs=("$deb")
if [ -e build/package/tq-spectrum-live ]; then
    debs+=("$(ls build/package/tq-spectrum-live_*.deb)")
fi
for deb in "${debs[@]}"; do
    dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Suggests
    lintian -EvIL +pedantic "$deb" || true
    echo "$deb"
done
