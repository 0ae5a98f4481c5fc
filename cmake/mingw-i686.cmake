# Cross-build for 32-bit Windows with mingw-w64 (Debian g++-mingw-w64-i686).
# Floats are computed with SSE, as on x86-64: cmake/Warnings.cmake sets that
# for every 32-bit x86 target.
set(tq_mingw_processor i686)
set(tq_mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# 32-bit Windows promises the callee a 4-byte aligned stack only, and older
# hosts call with just that: every function that keeps SSE values on the
# stack realigns it first. (mingw-w64's GCC does so by default once SSE is
# on; the build says it rather than rely on that.)
set(CMAKE_C_FLAGS_INIT "-mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-mstackrealign")
# CTest runs the test programs under the 32-bit wine of the i386 root
# (tools/i386-root.sh) on a private Xvfb.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh --i386)
