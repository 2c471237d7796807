# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64).
#   cmake -S . -B build-mingw64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEX_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The build's own Windows programs (the palette writer, test discovery) and CTest run under
# Wine. wine-run keeps Wine quiet unless WINEDEBUG asks otherwise. Without Wine the palette
# writer is built for the host instead (tools/CMakeLists.txt) and the tests cannot run.
find_program(VEX_WINE wine)
if(VEX_WINE)
  # Through sh, so the script needs no execute bit after a checkout.
  set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run)
endif()
