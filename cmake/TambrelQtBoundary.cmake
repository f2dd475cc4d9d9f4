# Keeps Qt out of the program's logic as a fact of the build, not only of the sources.
#
#   tambrel_qt_free(<target>...)   declares targets that must never link Qt
#   tambrel_check_qt_boundary()    at the end of the top-level file: fails the configure step when
#                                  any declared target links Qt, directly or through another target,
#                                  and adds a program that fails to link when a declared library
#                                  needs a definition that only a window system gives

function(tambrel_qt_free)
  set_property(GLOBAL APPEND PROPERTY TAMBREL_QT_FREE_TARGETS ${ARGN})
endfunction()

# Appends to `out` the Qt libraries that `target` links, following tambrel targets.
function(_tambrel_qt_links target out)
  get_property(visited GLOBAL PROPERTY _TAMBREL_VISITED)
  if(target IN_LIST visited)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY _TAMBREL_VISITED ${target})
  set(found ${${out}})
  set(links "")
  foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(values ${target} ${property})
    if(values)
      list(APPEND links ${values})
    endif()
  endforeach()
  foreach(link IN LISTS links)
    # Generator expressions such as $<LINK_ONLY:x> wrap a plain target name.
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(link MATCHES "^Qt[0-9]*::" OR link STREQUAL "tambrel_platform_qt")
      list(APPEND found "${link}")
    elseif(TARGET ${link})
      _tambrel_qt_links(${link} found)
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(tambrel_check_qt_boundary)
  get_property(targets GLOBAL PROPERTY TAMBREL_QT_FREE_TARGETS)
  foreach(target IN LISTS targets)
    set_property(GLOBAL PROPERTY _TAMBREL_VISITED "")
    set(qt "")
    _tambrel_qt_links(${target} qt)
    if(qt)
      list(REMOVE_DUPLICATES qt)
      message(FATAL_ERROR "${target} must stay free of Qt, but links ${qt}")
    endif()
  endforeach()
  _tambrel_link_qt_free_libraries("${targets}")
endfunction()

# A Qt-free library may declare what a window system defines, call it, and still link wherever a
# window system is linked too: not linking Qt is not enough. This program is built from every
# object of every Qt-free library, with nothing else but what they link, so such a call fails
# the build by name.
function(_tambrel_link_qt_free_libraries targets)
  set(libraries "")
  set(objects "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "STATIC_LIBRARY")
      list(APPEND libraries ${target})
      list(APPEND objects "$<TARGET_OBJECTS:${target}>")
    endif()
  endforeach()
  set(source "${CMAKE_BINARY_DIR}/qt_free_link_check.cpp")
  file(CONFIGURE OUTPUT "${source}" CONTENT "int main() { return 0; }\n")
  add_executable(tambrel_qt_free_link_check "${source}" ${objects})
  set_target_properties(tambrel_qt_free_link_check PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/checks")
  # The libraries themselves add nothing the objects lack; they bring what they link in turn.
  target_link_libraries(tambrel_qt_free_link_check PRIVATE ${libraries})
endfunction()
