# Run by CPack's External generator (see packaging.cmake): builds the
# installer from the staged files with makensis.
find_program(PONDEX_MAKENSIS makensis REQUIRED)

file(GLOB_RECURSE staged_programs "${CPACK_TEMPORARY_DIRECTORY}/*/Pon_dex.exe" "${CPACK_TEMPORARY_DIRECTORY}/Pon_dex.exe")
list(LENGTH staged_programs found)
if(NOT found EQUAL 1)
  message(FATAL_ERROR "expected one staged Pon_dex.exe under ${CPACK_TEMPORARY_DIRECTORY}, found: ${staged_programs}")
endif()
get_filename_component(staging "${staged_programs}" DIRECTORY)

set(installer "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PONDEX_INSTALLER_NAME}")
execute_process(
  COMMAND "${PONDEX_MAKENSIS}" -V2 -NOCD
          "-DVERSION=${CPACK_PACKAGE_VERSION}" "-DFILE_VERSION=${CPACK_PONDEX_FILE_VERSION}"
          "-DSTAGING=${staging}" "-DICON=${CPACK_PONDEX_ICON}" "-DOUTFILE=${installer}"
          "${CPACK_PONDEX_NSIS_SCRIPT}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result})")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${installer}")
