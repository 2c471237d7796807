# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686).
#   cmake -S . -B build-mingw32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
# No emulator: a 64-bit Wine cannot run 32-bit programs, so this build is compiled and linked
# only, and the build's own tools that must run are built for the host (tools/CMakeLists.txt).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEX_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
