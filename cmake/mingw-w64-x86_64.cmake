# Cross build for 64-bit Windows with MinGW-w64 on Linux:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs link the C and C++ runtimes statically, so gorvtool.exe runs
# on its own, without DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GORV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GORV_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${GORV_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${GORV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GORV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
