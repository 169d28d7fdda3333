find_package(GTest REQUIRED)
include(GoogleTest)

# pelagor_add_test(NAME LABEL label SOURCES ... LIBS ...)
# One GoogleTest executable whose tests all carry the layer label.
function(pelagor_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${T_LABEL})
endfunction()
