# Keeps Qt out of the program's logic as a fact of the build, not only of the sources.
#
#   tambrel_qt_free(<target>...)   declares targets that must never link Qt
#   tambrel_check_qt_boundary()    at the end of the top-level file: fails the configure step when
#                                  any declared target links Qt, directly or through another target

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
endfunction()
