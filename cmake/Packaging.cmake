# Install rules beyond the programs' own (each program installs itself, the
# packaging folder the udev rule) and the Debian package.
install(FILES
          ${PROJECT_SOURCE_DIR}/packaging/man/zorvik.1
          ${PROJECT_SOURCE_DIR}/packaging/man/zorvik-cli.1
          ${PROJECT_SOURCE_DIR}/packaging/man/zorvik-sim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME "zorvik")
set(CPACK_PACKAGE_VENDOR "Zorvik")
set(CPACK_PACKAGE_CONTACT "Zorvik developers <zorvik@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the KARVO LXT-640IV receipt printer")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
include(CPack)
