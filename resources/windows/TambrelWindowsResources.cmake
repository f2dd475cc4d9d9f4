# tambrel_add_windows_resources(<target>)
# Compiles the program's Windows resources into <target>: the icon, made at build time from the
# same PNGs the Linux desktop uses, the version information from the project's version, and the
# application manifest.

find_program(TAMBREL_CONVERT convert DOC "ImageMagick's convert, which packs the PNGs into a .ico")
if(NOT TAMBREL_CONVERT)
  message(FATAL_ERROR "The Windows icon needs ImageMagick's convert: scripts/install-deps.sh windows")
endif()

set(_tambrel_windows_resources_dir "${CMAKE_CURRENT_LIST_DIR}")

function(tambrel_add_windows_resources target)
  set(source "${_tambrel_windows_resources_dir}")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/windows_resources")
  set(icons "")
  foreach(size 16 32 48)
    list(APPEND icons "${PROJECT_SOURCE_DIR}/resources/icons/tambrel-${size}.png")
  endforeach()
  set(TAMBREL_ICON_FILE "${out}/tambrel.ico")
  add_custom_command(OUTPUT "${TAMBREL_ICON_FILE}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
    COMMAND "${TAMBREL_CONVERT}" ${icons} "${TAMBREL_ICON_FILE}"
    DEPENDS ${icons}
    COMMENT "Packing the Windows icon"
    VERBATIM)

  # Windows wants four numbers where the project has three.
  set(tweak 0)
  if(PROJECT_VERSION_TWEAK)
    set(tweak ${PROJECT_VERSION_TWEAK})
  endif()
  set(parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} ${tweak})
  list(JOIN parts "." TAMBREL_VERSION_QUAD)
  list(JOIN parts "," TAMBREL_VERSION_COMMAS)
  set(TAMBREL_MANIFEST_FILE "${out}/tambrel.manifest")
  configure_file("${source}/tambrel.manifest.in" "${TAMBREL_MANIFEST_FILE}" @ONLY)
  configure_file("${source}/tambrel.rc.in" "${out}/tambrel.rc" @ONLY)

  target_sources(${target} PRIVATE "${out}/tambrel.rc" "${TAMBREL_ICON_FILE}")
  # windres reads the icon and the manifest itself; the build must know to run it again when
  # either changes.
  set_source_files_properties("${out}/tambrel.rc" PROPERTIES
    OBJECT_DEPENDS "${TAMBREL_ICON_FILE};${TAMBREL_MANIFEST_FILE};${source}/resource_ids.h")
  set_property(TARGET ${target} PROPERTY TAMBREL_ICON_FILE "${TAMBREL_ICON_FILE}")
endfunction()
