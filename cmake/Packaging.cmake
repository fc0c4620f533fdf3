# Install rules beyond the programs' own (each program installs itself, the
# packaging folder the udev rule and the desktop files) and the Debian package.

# Manual pages and the changelog go out compressed, without a time stamp in the
# gzip header so that two builds give the same bytes.
find_program(ZORVIK_GZIP gzip REQUIRED)
set(zorvik_gzipped)
foreach(source IN ITEMS man/zorvik.1 man/zorvik-cli.1 man/zorvik-sim.1 changelog)
  set(output ${PROJECT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/man
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3.new\" && mv \"$3.new\" \"$3\"" sh ${ZORVIK_GZIP} ${PROJECT_SOURCE_DIR}/packaging/${source} ${output}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND zorvik_gzipped ${output})
endforeach()
add_custom_target(zorvik_gzipped_docs ALL DEPENDS ${zorvik_gzipped})
install(FILES
          ${PROJECT_BINARY_DIR}/packaging/man/zorvik.1.gz
          ${PROJECT_BINARY_DIR}/packaging/man/zorvik-cli.1.gz
          ${PROJECT_BINARY_DIR}/packaging/man/zorvik-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A native package: its changelog is changelog.gz.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zorvik)

set(CPACK_PACKAGE_NAME "zorvik")
set(CPACK_PACKAGE_VENDOR "Zorvik")
set(CPACK_PACKAGE_CONTACT "Zorvik developers <maintainers@zorvik.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the KARVO LXT-640IV receipt printer")
# Lines of at most 72 characters; "." alone is an empty line.
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvik configures the KARVO LXT-640IV thermal receipt printer from a
desktop PC. It connects over serial, parallel, USB or Ethernet,
identifies the printer, reads and writes its memory switches and
power-save setting, keeps configurations in status files, prints the
self test, sends hand-written command bytes and downloads font images.
.
The package holds the window program (zorvik), the command-line tool for
one printer or a fleet (zorvik-cli, with bash completion) and a virtual
printer on a pseudo-terminal or a loopback TCP port (zorvik-sim). A udev
rule lets the lp group and the user at the seat use the printer on USB.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorvik.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The udev rule needs udev; its group, lp, comes with base-passwd on every Debian system.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
include(CPack)
