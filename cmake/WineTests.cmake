# The Windows build's tests, run under Wine: the toolkit-free layers' GoogleTest
# programs (one process per program: Wine starts slowly), the CLI's file commands
# against the native CLI, and the CLI on a Wine COM port against the native
# receiver simulator. PELAGOR_NATIVE_BUILD names the native build folder that
# holds the simulators, the native CLI and the demo workspaces.

set(PELAGOR_NATIVE_BUILD "" CACHE PATH "Native build folder (simulators, CLI, samples) for the Wine tests")
set(PELAGOR_WINE64 /usr/lib/wine/wine64 CACHE FILEPATH "Wine's 64-bit loader")
set(PELAGOR_WINESERVER /usr/lib/wine/wineserver CACHE FILEPATH "Wine's server")

# Every Windows program of this build runs through wine-run, in the build's own prefix.
set(PELAGOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# GoogleTest built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  # Its headers are the project's own dependency, not ours to warn about.
  get_target_property(inc ${lib} INTERFACE_INCLUDE_DIRECTORIES)
  set_target_properties(${lib} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${inc}")
endforeach()

enable_testing()

# The Wine server runs for the whole test run: started before the first
# Windows program, stopped after the last.
add_test(NAME wine_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start)
add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine LABELS wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# pelagor_add_test for the Windows build: one ctest test per program.
function(pelagor_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "wine;${T_LABEL}" FIXTURES_REQUIRED wine)
endfunction()

foreach(layer db files view)
  add_subdirectory(tests/${layer})
endforeach()

# Of the link and ZMODEM tests, those that need no pseudo-terminal.
add_subdirectory(tests/wine)

add_subdirectory(tools/cli)

# pelagor-cli.exe against the native build's CLI, simulators and samples.
if(PELAGOR_NATIVE_BUILD)
  add_test(NAME wine_cli_files
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-cli-files-test ${CMAKE_BINARY_DIR}/wine-run
      $<TARGET_FILE:pelagor-cli> ${PELAGOR_NATIVE_BUILD} ${CMAKE_BINARY_DIR}/wine-cli-files)
  add_test(NAME wine_cli_serial
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-serial-test ${CMAKE_BINARY_DIR}/wine-run
      $<TARGET_FILE:pelagor-cli> ${PELAGOR_NATIVE_BUILD} ${CMAKE_BINARY_DIR}/wine-serial)
  set_tests_properties(wine_cli_files wine_cli_serial PROPERTIES
    LABELS "wine;integration" FIXTURES_REQUIRED wine)
  # The serial test runs alone: its transfers keep time with the line.
  set_tests_properties(wine_cli_serial PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
endif()

# make package: the zip of pelagor-cli.exe.
include(${CMAKE_SOURCE_DIR}/cmake/Packaging.cmake)
