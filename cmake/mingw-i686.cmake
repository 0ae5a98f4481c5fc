# Cross-build for 32-bit Windows with mingw-w64 (Debian g++-mingw-w64-i686).
set(tq_mingw_processor i686)
set(tq_mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Float arithmetic on SSE, as on x86-64: x87 keeps excess precision, which
# would round the window, transform and levels differently from the other
# builds, and has no flush-to-zero switch for quiet tails.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# No emulator: this machine cannot execute 32-bit code, so the i686
# programs are built and linked but never run here.
