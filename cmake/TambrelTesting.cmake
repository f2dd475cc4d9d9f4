# tambrel_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI | QT | WIN32GUI])
# Adds one GoogleTest executable and registers it with CTest. A plain test must not link Qt (the
# configure step checks). GUI suites drive the real Qt widgets: they get a main() that brings up
# the program's Application on the offscreen platform. QT suites link the Qt layer but start the
# Application themselves, with the command lines they test. Both are left out without Qt.
# WIN32GUI suites drive the real Win32 windows; they are built only with the Win32 layer.

if(CMAKE_CROSSCOMPILING AND WIN32)
  # No GoogleTest package for the cross compiler: build Debian's sources with it. Their warnings
  # are not ours.
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  foreach(library gtest gmock gtest_main)
    target_compile_options(${library} PRIVATE -w)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(tambrel_add_test name)
  cmake_parse_arguments(ARG "GUI;QT;WIN32GUI" "" "SOURCES;LIBS" ${ARGN})
  if((ARG_GUI OR ARG_QT) AND NOT TAMBREL_WITH_QT)
    return()
  endif()
  if(ARG_WIN32GUI AND NOT TAMBREL_WITH_WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE tambrel_qt_test_main tambrel_platform_qt ${ARG_LIBS}
                                          GTest::gtest GTest::gmock)
  elseif(ARG_WIN32GUI)
    # The real Win32 windows, under Wine's null graphics driver when cross-compiled.
    target_link_libraries(${name} PRIVATE tambrel_platform_win32 ${ARG_LIBS}
                                          GTest::gtest GTest::gmock GTest::gtest_main)
  elseif(ARG_QT)
    target_link_libraries(${name} PRIVATE tambrel_platform_qt ${ARG_LIBS}
                                          GTest::gtest GTest::gmock GTest::gtest_main)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    tambrel_qt_free(${name})
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One run of each program under the emulator; a run per case would start Wine hundreds of times.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
