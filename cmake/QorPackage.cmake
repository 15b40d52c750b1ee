# A Debian package of everything `cmake --install` puts on the system: the filter and its
# manual, the PPDs, the five panel bundles, quorvan-print with its platform libraries,
# desktop file and manual. Made with `cpack -G DEB` in a release build folder.
set(CPACK_PACKAGE_NAME "quorvan-printer-software")
set(CPACK_PACKAGE_VENDOR "Quorvan")
set(CPACK_PACKAGE_CONTACT "Quorvan printer software <support@quorvan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Host software of the Quorvan office laser printers: CUPS filter, PPDs, print dialog")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "cups-daemon, cups-filters, fonts-urw-base35, fonts-liberation")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Tests and benchmarks are never packaged.
set(CPACK_COMPONENTS_ALL_IN_ONE_PACKAGE ON)
include(CPack)
