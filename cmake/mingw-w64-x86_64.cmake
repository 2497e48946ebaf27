# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix), the programs
# run under Wine. scripts/test-windows chain-loads it from Qt for MinGW's own toolchain file:
#
#   /opt/qt6-mingw64/bin/qt-cmake -S . -B build-windows -DQT_CHAINLOAD_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TVX230_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex of the standard library work with it.
find_program(CMAKE_CXX_COMPILER NAMES ${TVX230_MINGW_PREFIX}-g++-posix ${TVX230_MINGW_PREFIX}-g++ REQUIRED)
# GoogleTest's own project asks for C as well.
find_program(CMAKE_C_COMPILER NAMES ${TVX230_MINGW_PREFIX}-gcc-posix ${TVX230_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TVX230_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TVX230_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine: CTest starts them through it.
find_program(TVX230_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TVX230_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TVX230_WINE})
endif()
