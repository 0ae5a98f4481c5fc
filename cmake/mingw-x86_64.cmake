# Cross-build for 64-bit Windows with mingw-w64 (Debian g++-mingw-w64-x86-64).
set(tq_mingw_processor x86_64)
set(tq_mingw_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# CTest runs the Windows test programs under wine64 on a private Xvfb.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
