# The Windows package, made by `cmake --build --preset mingw --target package`:
#   Pon_dex-<version>-win64.zip    the two programs, README.md and LICENSE
#   Pon_dex-<version>-setup.exe    an installer for one user, without
#                                  administrator rights
# The installer is our own NSIS script (cmake/installer.nsi), run by CPack's
# External generator on the same staged files as the zip: the script is short
# enough to read whole, and it states exactly which files the uninstaller may
# delete (never the settings or data files beside the program).
if(NOT WIN32)
  return()
endif()

install(TARGETS Pon_dex pondex_help RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_PACKAGE_NAME Pon_dex)
set(CPACK_PACKAGE_VENDOR "Pon_dex developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard wedge for weighing scales")
set(CPACK_PACKAGE_FILE_NAME Pon_dex-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR ZIP External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/nsis_installer.cmake)
# Read by that script.
set(CPACK_PONDEX_NSIS_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/installer.nsi)
set(CPACK_PONDEX_ICON ${PROJECT_SOURCE_DIR}/app/pondex.ico)
set(CPACK_PONDEX_INSTALLER_NAME Pon_dex-${PROJECT_VERSION}-setup.exe)
set(CPACK_PONDEX_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
  set(CPACK_PONDEX_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
endif()
include(CPack)
