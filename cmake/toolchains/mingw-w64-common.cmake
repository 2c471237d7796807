# The parts of a MinGW-w64 cross build that do not depend on the target processor. Each
# toolchain file sets VEX_MINGW_TRIPLET and includes this one.
set(CMAKE_SYSTEM_NAME Windows)

# The compilers of the POSIX thread model: GCC 12's default Windows thread model has no
# std::mutex, which GoogleTest needs. The tool itself starts no thread.
set(CMAKE_C_COMPILER ${VEX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VEX_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW sysroot only; programs (the build's own tools) from
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VEX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes (and the thread library) are linked in, so an .exe runs with nothing
# but system DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests and the test discovery run under Wine (wine64 for x86_64, wine32 for i686).
# wine-run keeps Wine quiet unless WINEDEBUG asks otherwise. Without Wine the tests cannot run.
find_program(VEX_WINE wine)
if(VEX_WINE)
  # Through sh, so the script needs no execute bit after a checkout.
  set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run)
endif()
