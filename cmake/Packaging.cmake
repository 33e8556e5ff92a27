# Installation and the Debian package. Each program installs itself where it is defined;
# this file adds what the package carries besides the programs (desktop entry, icon, manual
# pages, copyright, changelog, the maintainer scripts that register the ODBC driver) and
# configures CPack. The ODBC driver brings its own install() rules into the same package.
set(TABLORY_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TABLORY_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(TABLORY_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tablory)

# Debian wants manual pages and changelogs compressed, without a time stamp inside (-n).
# configure_file makes CMake run again whenever a source changes.
function(tablory_gzipped source name destination)
  configure_file(${source} ${TABLORY_PACKAGING_OUT}/${name} @ONLY)
  execute_process(COMMAND gzip -9nc ${TABLORY_PACKAGING_OUT}/${name}
                  OUTPUT_FILE ${TABLORY_PACKAGING_OUT}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${TABLORY_PACKAGING_OUT}/${name}.gz DESTINATION ${destination})
endfunction()

tablory_gzipped(${TABLORY_PACKAGING_DIR}/tablory-sql.1.in tablory-sql.1 ${CMAKE_INSTALL_MANDIR}/man1)
tablory_gzipped(${TABLORY_PACKAGING_DIR}/changelog changelog ${TABLORY_DOC_DIR})
install(FILES ${TABLORY_PACKAGING_DIR}/copyright DESTINATION ${TABLORY_DOC_DIR})
if(TABLORY_UI)
  tablory_gzipped(${TABLORY_PACKAGING_DIR}/tablory.1.in tablory.1 ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${TABLORY_PACKAGING_DIR}/tablory.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TABLORY_PACKAGING_DIR}/tablory.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
endif()

# Installing (and so packaging) takes what the build made rather than building every target
# first: the package test runs after the build, and scripts/package builds before it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tablory)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tablory developers")
set(CPACK_PACKAGE_CONTACT "The Tablory developers <dev@tablory.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create and maintain Microsoft Access database files")
# One text (CPack would join a list with semicolons), broken into Debian's short lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tablory creates, opens, edits and compacts Microsoft Access (.mdb, Jet 4)\n"
  "files without Access or any Microsoft component, with its own Jet 4 storage\n"
  "engine and Jet SQL engine. The package holds the window program tablory and\n"
  "the command-line tool tablory-sql, which runs SQL, dumps, checks and compacts\n"
  "files and imports and exports CSV.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# tablory_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: the Debian packages of the shared libraries the programs link, as
# dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The maintainer scripts register the ODBC driver with unixODBC and take it out again; the
# driver's own library dependencies come from dpkg-shlibdeps like the programs'.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${TABLORY_PACKAGING_DIR}/postinst;${TABLORY_PACKAGING_DIR}/prerm")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbcinst")
include(CPack)
