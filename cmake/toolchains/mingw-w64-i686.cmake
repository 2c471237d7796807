# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686).
#   cmake -S . -B build-mingw32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
# Its tests run under Wine with wine32 (Debian: wine32:i386); without it Wine starts a 32-bit
# program and exits 0 without running it, which scripts/run-windows-tests checks for.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEX_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
