# The parts of a macOS cross build with Zig 0.11 that do not depend on the target processor.
# Each toolchain file sets VEX_ZIG_TARGET and includes this one. Zig brings the macOS C and C++
# headers and libSystem's stubs, so a Linux machine compiles and links Mach-O executables; it
# cannot run them. scripts/build-macos fetches Zig and passes VEX_ZIG.
set(CMAKE_SYSTEM_NAME Darwin)

# The zig executable: -DVEX_ZIG=<path>, else the ZIG environment variable, else zig on the PATH.
if(NOT VEX_ZIG)
  if(DEFINED ENV{ZIG})
    set(VEX_ZIG $ENV{ZIG})
  else()
    find_program(VEX_ZIG zig)
  endif()
endif()
if(NOT VEX_ZIG)
  message(FATAL_ERROR "zig is missing: pass -DVEX_ZIG=<path to zig 0.11> "
                      "(scripts/build-macos fetches it)")
endif()
# try_compile projects read the toolchain file again; they get VEX_ZIG from here.
set(VEX_ZIG ${VEX_ZIG} CACHE FILEPATH "The zig executable of the macOS cross build")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEX_ZIG)

set(vex_zig_run ${CMAKE_CURRENT_LIST_DIR}/zig-run ${VEX_ZIG})
set(CMAKE_C_COMPILER ${vex_zig_run} cc -target ${VEX_ZIG_TARGET})
set(CMAKE_CXX_COMPILER ${vex_zig_run} c++ -target ${VEX_ZIG_TARGET})

# Nothing is taken from the host's libraries or headers (its GoogleTest above all): a cross
# build of this project builds GoogleTest from its sources with this toolchain.
set(CMAKE_FIND_ROOT_PATH ${CMAKE_BINARY_DIR}/no-host-root)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CMake on Darwin insists on install_name_tool, which only rewrites the names of shared
# libraries at install time. This project builds none, and Zig has no such tool.
set(CMAKE_INSTALL_NAME_TOOL /bin/true CACHE FILEPATH "No shared libraries to rename")
