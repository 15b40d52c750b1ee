# Print-dialog panel bundles: where they live, and how one is laid out in the build tree
# and installed.
#
# QOR_PDE_DIR is the folder of the panel bundles. The filter reads the Job Routing bundle's
# strings files from it and the print-dialog host loads the panels from it, so the install
# puts them exactly there. A package that keeps them elsewhere sets this one option.
set(QOR_PDE_DIR "/Library/Printers/Quorvan/PDEs"
    CACHE PATH "Folder of the print-dialog panel bundles (searched by the filter and the host)")

# Every bundle of the build is laid out under this folder, the same way as installed.
set(QOR_BUNDLE_BUILD_DIR "${CMAKE_BINARY_DIR}/bundles")

# qor_add_panel_bundle(<target> BUNDLE <name without .plugin> [SOURCES ...] [LIBS ...]
#                      [INFO_PLIST <file>] [RESOURCES <folder>])
# Lays out "<QOR_BUNDLE_BUILD_DIR>/<name>.plugin/Contents/" with Info.plist, every file of
# RESOURCES under Resources/, and, with SOURCES, the shared object under Linux/<target>.so.
# Sets <target>_BUNDLE_DIR in the caller's scope.
function(qor_add_panel_bundle target)
  cmake_parse_arguments(B "" "BUNDLE;INFO_PLIST;RESOURCES" "SOURCES;LIBS" ${ARGN})
  set(bundle "${QOR_BUNDLE_BUILD_DIR}/${B_BUNDLE}.plugin")
  set(install_dir "${QOR_PDE_DIR}/${B_BUNDLE}.plugin/Contents")
  set(outputs)

  if(B_INFO_PLIST)
    set(out "${bundle}/Contents/Info.plist")
    add_custom_command(OUTPUT "${out}"
      COMMAND "${CMAKE_COMMAND}" -E copy "${B_INFO_PLIST}" "${out}"
      DEPENDS "${B_INFO_PLIST}" VERBATIM)
    list(APPEND outputs "${out}")
    install(FILES "${B_INFO_PLIST}" DESTINATION "${install_dir}")
  endif()

  if(B_RESOURCES)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE "${B_RESOURCES}" "${B_RESOURCES}/*")
    foreach(file IN LISTS files)
      set(out "${bundle}/Contents/Resources/${file}")
      get_filename_component(out_dir "${out}" DIRECTORY)
      # touch keeps the copy newer than its source, so an unchanged file is not copied again.
      add_custom_command(OUTPUT "${out}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${out_dir}"
        COMMAND "${CMAKE_COMMAND}" -E copy "${B_RESOURCES}/${file}" "${out}"
        COMMAND "${CMAKE_COMMAND}" -E touch "${out}"
        DEPENDS "${B_RESOURCES}/${file}" VERBATIM)
      list(APPEND outputs "${out}")
    endforeach()
    install(DIRECTORY "${B_RESOURCES}/" DESTINATION "${install_dir}/Resources")
  endif()

  if(B_SOURCES)
    add_library(${target} MODULE ${B_SOURCES})
    target_link_libraries(${target} PRIVATE ${B_LIBS} qor_warnings)
    set_target_properties(${target} PROPERTIES
      PREFIX "" OUTPUT_NAME ${target}
      C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
      LIBRARY_OUTPUT_DIRECTORY "${bundle}/Contents/Linux")
    install(TARGETS ${target} LIBRARY DESTINATION "${install_dir}/Linux")
    add_custom_target(${target}_resources ALL DEPENDS ${outputs})
    add_dependencies(${target} ${target}_resources)
  else()
    add_custom_target(${target} ALL DEPENDS ${outputs})
  endif()
  set(${target}_BUNDLE_DIR "${bundle}" PARENT_SCOPE)
endfunction()
