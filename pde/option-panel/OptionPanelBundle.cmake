# qor_add_option_panel(<target> BUNDLE <name without .plugin> SOURCES ...)
# Lays out one option panel bundle from the calling folder, which holds Info.plist.in,
# PMPPDKeysSupported.txt (one PPD keyword a line, in display order) and Resources/. The
# Info.plist's PMPPDKeysSupported array is made from the text file, so the two cannot drift.
function(qor_add_option_panel target)
  cmake_parse_arguments(P "" "BUNDLE" "SOURCES" ${ARGN})
  set(dir "${CMAKE_CURRENT_SOURCE_DIR}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${dir}/PMPPDKeysSupported.txt")
  file(STRINGS "${dir}/PMPPDKeysSupported.txt" keywords)
  set(PMPPDKeysSupported "")
  foreach(keyword IN LISTS keywords)
    string(STRIP "${keyword}" keyword)
    if(NOT keyword STREQUAL "")
      string(APPEND PMPPDKeysSupported "\n\t\t<string>${keyword}</string>")
    endif()
  endforeach()
  set(CFBundleExecutable "${target}.so")
  configure_file("${dir}/Info.plist.in" "${CMAKE_CURRENT_BINARY_DIR}/Info.plist" @ONLY)
  qor_add_panel_bundle(${target}
    BUNDLE "${P_BUNDLE}"
    SOURCES ${P_SOURCES}
    LIBS qor_option_panel
    INFO_PLIST "${CMAKE_CURRENT_BINARY_DIR}/Info.plist"
    RESOURCES "${dir}/Resources")
  set(${target}_BUNDLE_DIR "${${target}_BUNDLE_DIR}" PARENT_SCOPE)
endfunction()
