# What Linux and macOS installs carry beyond the programs, as Debian's checker (lintian) wants
# it of the .deb: the manual pages and the changelog gzipped, a machine-readable copyright
# file, and the bash completion of vexagg. The .deb, the .tar.gz and `cmake --install` are one
# install, so they all carry the same files; man and bash-completion read the .gz pages and
# the completion file where they are put. Included after the programs are defined.
if(WIN32)
  return()
endif()
find_program(VEX_GZIP gzip REQUIRED)

# gzip -n -9: no name or time stamp in the header, so the same sources give the same bytes.
set(vex_man_pages "")
foreach(page Marlovexine.1 vexagg.1)
  set(source ${PROJECT_SOURCE_DIR}/doc/${page})
  set(output ${PROJECT_BINARY_DIR}/packaging/${page}.gz)
  add_custom_command(OUTPUT ${output} COMMAND ${VEX_GZIP} -n -9 -c ${source} > ${output}
                     DEPENDS ${source} COMMENT "Compressing the manual page ${page}")
  list(APPEND vex_man_pages ${output})
endforeach()

set(vex_changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${vex_changelog}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUTPUT=${vex_changelog}
          -DPACKAGE=${CPACK_DEBIAN_PACKAGE_NAME} -DMAINTAINER=${CPACK_PACKAGE_CONTACT}
          -DGZIP=${VEX_GZIP} -P ${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake
  COMMENT "Writing CHANGELOG.md as a Debian changelog" VERBATIM)

# The packages are built from the programs alone (`cmake --build --target Marlovexine vexagg`,
# then cpack, which installs): the files they install are made with them.
add_custom_target(vex_packaging_files ALL DEPENDS ${vex_man_pages} ${vex_changelog})
add_dependencies(Marlovexine vex_packaging_files)
add_dependencies(vexagg vex_packaging_files)

# The copyright file in Debian's machine-readable format, around LICENSE's own text: the
# licence paragraph indented by one space, its empty lines written " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE vex_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" vex_copyright "${vex_license}")
set(VEX_COPYRIGHT ${CMAKE_MATCH_1})
string(REGEX REPLACE "^.*\n\n(Permission)" "\\1" vex_license_body "${vex_license}")
string(STRIP "${vex_license_body}" vex_license_body)
string(REPLACE "\n\n" "\n.\n" vex_license_body "${vex_license_body}")
string(REPLACE "\n" "\n " vex_license_body "${vex_license_body}")
set(VEX_LICENSE_BODY " ${vex_license_body}")
set(VEX_CONTACT ${CPACK_PACKAGE_CONTACT})
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in
               ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)

install(FILES ${vex_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${vex_changelog} ${PROJECT_BINARY_DIR}/packaging/copyright
        DESTINATION ${vex_install_docdir})
install(FILES ${PROJECT_SOURCE_DIR}/completion/vexagg.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vexagg)
