# Installable packages (make package): on Linux a Debian package of the editor,
# the CLI, the two simulators, the desktop entry, icon, demo workspace, user
# guide and manual pages; in the Windows build a zip of pelagor-cli.exe with its
# README.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME pelagor)
set(CPACK_PACKAGE_VENDOR "The Pelagor developers")
set(CPACK_PACKAGE_CONTACT "Pelagor developers <pelagor-dev@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "channel-list editor for digital-TV set-top receivers")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(pkg ${CMAKE_SOURCE_DIR}/cmake/package)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME pelagor-cli-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  install(FILES ${pkg}/README-windows.txt DESTINATION . RENAME README.txt)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The simulated receiver's second ZMODEM peer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS lrzsz)
file(READ ${pkg}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
# CPack puts the summary before it as the synopsis.

set(docdir ${CMAKE_INSTALL_DATADIR}/doc/pelagor)
set(gen ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${gen})
find_program(GZIP gzip REQUIRED)
find_program(HELP2MAN help2man)

# Compressed as Debian wants them: best compression, no name or time stamp.
function(pelagor_gzip out in)
  add_custom_command(OUTPUT ${out} COMMAND ${GZIP} -9nc ${in} > ${out} DEPENDS ${in} VERBATIM)
endfunction()

# Manual pages: pelagor-cli's from its --help by help2man, the editor's written.
set(manpages ${gen}/pelagor.1.gz ${gen}/pelagor-cli.1.gz)
pelagor_gzip(${gen}/pelagor.1.gz ${pkg}/pelagor.1)
if(HELP2MAN)
  add_custom_command(OUTPUT ${gen}/pelagor-cli.1
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section 1
      --name "channel-list tool for digital-TV set-top receivers"
      --output ${gen}/pelagor-cli.1 $<TARGET_FILE:pelagor-cli>
    DEPENDS pelagor-cli VERBATIM)
else()
  configure_file(${pkg}/pelagor-cli.1 ${gen}/pelagor-cli.1 COPYONLY)
endif()
pelagor_gzip(${gen}/pelagor-cli.1.gz ${gen}/pelagor-cli.1)

# The package's changelog, dated at configure time.
string(TIMESTAMP changedate "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${pkg}/changelog.in ${gen}/changelog @ONLY)
pelagor_gzip(${gen}/changelog.gz ${gen}/changelog)

add_custom_target(pelagor_package_files ALL DEPENDS ${manpages} ${gen}/changelog.gz)

install(FILES ${manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${gen}/changelog.gz ${pkg}/copyright DESTINATION ${docdir})
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${docdir})
# The user guide, where the project has one.
file(GLOB guides ${CMAKE_SOURCE_DIR}/docs/*[Gg]uide*.md ${CMAKE_SOURCE_DIR}/docs/*GUIDE*.md)
if(guides)
  install(FILES ${guides} DESTINATION ${docdir})
endif()

include(CPack)

# Installs the .deb into a scratch root and runs what it installed; lintian
# must find no error in it.
add_test(NAME package_deb_install
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/package-test ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/package-test)
set_tests_properties(package_deb_install PROPERTIES LABELS package)
