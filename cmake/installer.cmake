# The Windows installer: `cpack -G NSIS` in a MinGW build folder writes
# Marlovexine-<version>-win64-setup.exe (win32 for the i686 build). It installs for the current
# user alone, with no administrator rights, into %LOCALAPPDATA%\Programs\Marlovexine\: what the
# ZIP holds, the manual pages as text, an uninstaller listed in "Apps", a Start menu folder, an
# optional PATH entry and the Explorer verbs on .agg files. CPack's own NSIS template installs
# for all users when it can (HKLM, Program Files, a PATH entry under bin\), so the project has
# a template of its own, cmake/nsis/NSIS.template.in; every setting it reads is set here.
if(NOT WIN32)
  return()
endif()

# Notepad reads neither roff nor a man page: the pages are formatted to plain UTF-8 text, with
# no overstriking for bold or underline, and "\r\n" line ends for older Notepads.
find_program(VEX_GROFF groff)
if(NOT VEX_GROFF)
  message(FATAL_ERROR "groff is missing, so the installer's manual pages cannot be formatted "
                      "(Debian: apt-get install groff-base)")
endif()
set(vex_man_text_dir ${PROJECT_BINARY_DIR}/man-text)
set(vex_man_texts)
foreach(page Marlovexine vexagg)
  set(text ${vex_man_text_dir}/${page}.txt)
  add_custom_command(OUTPUT ${text}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vex_man_text_dir}
    COMMAND sh -c "\"$0\" -man -Tutf8 -P-cbou \"$1\" | sed 's/$/\\r/' > \"$2\""
            ${VEX_GROFF} ${PROJECT_SOURCE_DIR}/doc/${page}.1 ${text}
    DEPENDS ${PROJECT_SOURCE_DIR}/doc/${page}.1
    COMMENT "Formatting ${page}(1) as text for the installer"
    VERBATIM)
  list(APPEND vex_man_texts ${text})
endforeach()
add_custom_target(man_text ALL DEPENDS ${vex_man_texts})

list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
set(CPACK_NSIS_PACKAGE_NAME Marlovexine)
set(CPACK_NSIS_DISPLAY_NAME Marlovexine)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Marlovexine)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Marlovexine)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_COMPRESSOR lzma)
# A 64-bit program's installer is itself 64-bit (NSIS's amd64-unicode stubs), so that a 64-bit
# Windows, or Wine's 64-bit prefix without wine32, runs it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_VEX_NSIS_TARGET amd64-unicode)
else()
  set(CPACK_VEX_NSIS_TARGET x86-unicode)
endif()
set(CPACK_VEX_MAN_TEXT_DIR ${vex_man_text_dir})
# The installer is named apart from the ZIP of the same build: ...-win64-setup.exe.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/installer_name.cmake)
