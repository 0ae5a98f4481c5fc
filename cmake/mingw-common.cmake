# What both mingw-w64 cross builds share; the toolchain file sets
# tq_mingw_processor and tq_mingw_triple first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${tq_mingw_processor})
set(CMAKE_C_COMPILER ${tq_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tq_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${tq_mingw_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${tq_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The DLL and the test programs need nothing beyond Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
