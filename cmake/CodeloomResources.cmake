# Windows resources for a program: the shared icon and manifest and a
# VERSIONINFO block, all configured from project(VERSION).
#   codeloom_add_resources(TARGET NAME DESCRIPTION)
set(CODELOOM_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/../res)

function(codeloom_add_resources target name description)
  set(RC_NAME ${name})
  set(RC_DESCRIPTION ${description})
  set(RC_FILENAME ${name}.exe)
  # A four-part Windows version from however many parts project() was given.
  set(RC_VERSION_COMMAS "")
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
      set(number 0)
    endif()
    list(APPEND RC_VERSION_COMMAS ${number})
  endforeach()
  list(JOIN RC_VERSION_COMMAS "." RC_VERSION_DOTS)
  list(JOIN RC_VERSION_COMMAS "," RC_VERSION_COMMAS)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/res/${name})
  set(RC_MANIFEST ${dir}/${name}.manifest)
  get_filename_component(RC_ICON ${CODELOOM_RES_DIR}/codeloom.ico ABSOLUTE)
  configure_file(${CODELOOM_RES_DIR}/codeloom.manifest.in ${RC_MANIFEST} @ONLY)
  configure_file(${CODELOOM_RES_DIR}/codeloom.rc.in ${dir}/${name}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${name}.rc)
  # windres reads the icon and the manifest itself: rebuild when they change.
  set_source_files_properties(${dir}/${name}.rc PROPERTIES OBJECT_DEPENDS "${RC_ICON};${RC_MANIFEST}")
endfunction()
