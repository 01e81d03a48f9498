# Tests that run under Wine: the unit tests cross-built, the Windows-side
# tests of the Win32 layer, and the end-to-end runs of Pon_dex.exe. They
# share one environment (virtual display, prefix, server, serial ports) that
# a fixture starts before and stops after them, and run one at a time.
set(PONDEX_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(wine_env_script ${PROJECT_SOURCE_DIR}/tools/wine-env.sh)

add_test(NAME wine_env_start COMMAND ${wine_env_script} start ${PONDEX_WINE_DIR} $<TARGET_FILE:wintool>)
set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_env_stop COMMAND ${wine_env_script} stop ${PONDEX_WINE_DIR})
set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine)

function(pondex_wine_test name)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    RESOURCE_LOCK wine
    ENVIRONMENT "PONDEX_WINE_DIR=${PONDEX_WINE_DIR};PONDEX_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

add_test(NAME unit_tests_under_wine COMMAND pondex_unit_tests)
pondex_wine_test(unit_tests_under_wine)

# End-to-end runs of the real program, driven from Python.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB e2e_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/test_*.py)
foreach(test_file ${e2e_tests})
  get_filename_component(test_name ${test_file} NAME_WE)
  add_test(NAME e2e_${test_name}
           COMMAND ${Python3_EXECUTABLE} -m unittest -v ${test_name}
           WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
  pondex_wine_test(e2e_${test_name})
  set_property(TEST e2e_${test_name} APPEND PROPERTY ENVIRONMENT
               "PONDEX_EXE=$<TARGET_FILE:Pon_dex>;PONDEX_WINTOOL=$<TARGET_FILE:wintool>;PONDEX_RECEIVER=$<TARGET_FILE:receiver>;PONDEX_HELP=$<TARGET_FILE:pondex_help>")
  set_tests_properties(e2e_${test_name} PROPERTIES TIMEOUT 600)
endforeach()

# The package test installs what the package target makes: a test of its own
# builds it first, so that ctest alone (or -R e2e_test_package) is enough.
if(TEST e2e_test_package)
  add_test(NAME package_build COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target package)
  set_tests_properties(package_build PROPERTIES FIXTURES_SETUP package TIMEOUT 900)
  set_property(TEST e2e_test_package APPEND PROPERTY FIXTURES_REQUIRED package)
  set_property(TEST e2e_test_package APPEND PROPERTY ENVIRONMENT
               "PONDEX_INSTALLER=${CMAKE_BINARY_DIR}/Pon_dex-${PROJECT_VERSION}-setup.exe;PONDEX_ZIP=${CMAKE_BINARY_DIR}/Pon_dex-${PROJECT_VERSION}-win64.zip")
endif()

# The "A" functions Pon_dex.exe imports, against the list of those allowed.
# It reads the executable only: no Wine needed.
add_test(NAME imports_of_pon_dex
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/imports/check_imports.py ${CMAKE_OBJDUMP}
                 $<TARGET_FILE:Pon_dex>)

# Windows-side tests of the Win32 layer against the real system calls
# (profile files, serial ports over a pty pair, sockets on loopback).
file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*_test.cpp)
if(win_test_sources)
  add_executable(pondex_win_tests ${win_test_sources})
  target_link_libraries(pondex_win_tests PRIVATE pondex_win32 pondex_fakes ${GMOCK} ${GTEST_MAIN})
  target_link_libraries(pondex_win_tests PRIVATE pondex_controls_win32 pondex_ui_win32)
  pondex_test_warnings(pondex_win_tests)
  add_test(NAME win_tests
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win/with-serial-pair.sh
                   ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh $<TARGET_FILE:pondex_win_tests>)
  pondex_wine_test(win_tests)
endif()
