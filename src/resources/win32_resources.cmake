# vex_add_win32_resources(target description): gives a Windows program its manifest and its
# version resource, compiled by the RC compiler (windres with MinGW). The version is the
# project's, from project() in the top-level CMakeLists.txt, so the files cannot drift from it.
function(vex_add_win32_resources target description)
  set(VEX_RES_NAME ${target})
  set(VEX_RES_FILE_NAME ${target}.exe)
  set(VEX_RES_DESCRIPTION ${description})
  # Four numbers, as the resource wants them: "1.1" is 1,1,0,0.
  set(numbers "")
  foreach(part MAJOR MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
      list(APPEND numbers 0)
    else()
      list(APPEND numbers ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  string(REPLACE ";" "," VEX_RES_VERSION_COMMAS "${numbers}")
  string(REPLACE ";" "." VEX_RES_VERSION_QUAD "${numbers}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(VEX_RES_MANIFEST ${out}/${target}.exe.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.manifest.in ${VEX_RES_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.rc.in ${out}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${out}/${target}.rc)
  # windres does not see that the .rc file takes the manifest in.
  set_source_files_properties(${out}/${target}.rc PROPERTIES OBJECT_DEPENDS ${VEX_RES_MANIFEST})
endfunction()
