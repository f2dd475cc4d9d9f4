# tambrel_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# Adds one GoogleTest executable and registers its cases with CTest. GUI suites get
# a main() that brings up a QApplication on the offscreen platform.
function(tambrel_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE tambrel_qt_test_main ${ARG_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
