# Install rules and the Debian package. `cmake --install build` puts the program,
# its menu entry, AppStream metainfo, icon, manual page, systemd user unit and copyright under
# CMAKE_INSTALL_PREFIX; `cpack --config build/CPackConfig.cmake` makes a .deb of
# the same files, its library dependencies found by dpkg-shlibdeps.
include(GNUInstallDirs)

set(ORVALIS_DATA ${CMAKE_SOURCE_DIR}/data)
set(ORVALIS_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/orvalis)

install(TARGETS orvalis RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVALIS_DATA}/org.orvalis.Orvalis.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVALIS_DATA}/org.orvalis.Orvalis.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVALIS_DATA}/org.orvalis.Orvalis.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ORVALIS_DATA}/copyright DESTINATION ${ORVALIS_DOCDIR})
# The systemd user unit that keeps a wall running; its ExecStart names /usr/bin/orvalis.
install(FILES ${ORVALIS_DATA}/orvalis.service DESTINATION lib/systemd/user)

# The manual page and the changelog are installed compressed, without a name or time
# stamp in the gzip header, so two builds of one source give the same package.
set(ORVALIS_GZIPPED)
foreach(pair "orvalis.1|orvalis.1.gz" "changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 gzipped)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${gzipped}
    COMMAND sh -c "gzip -9n -c '${ORVALIS_DATA}/${source}' > '${CMAKE_BINARY_DIR}/${gzipped}'"
    DEPENDS ${ORVALIS_DATA}/${source} VERBATIM)
  list(APPEND ORVALIS_GZIPPED ${CMAKE_BINARY_DIR}/${gzipped})
endforeach()
add_custom_target(orvalis_gzipped_docs ALL DEPENDS ${ORVALIS_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/orvalis.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${ORVALIS_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvalis)
set(CPACK_PACKAGE_VENDOR Orvalis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvalis <info@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "four web pages at once, reloaded on a countdown")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvalis splits its window into four panes, each showing a web page you choose.\n"
    "A 120-second countdown reloads the panes you flag, and every second each pane\n"
    "is put back on its stored region of the page. Made to run for days on a second\n"
    "monitor or a wall screen, it can start full screen with the countdown running.\n"
    "Its interface is in Italian.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# WebKit's page processes run in a bubblewrap sandbox that reaches D-Bus through a proxy.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "bubblewrap, xdg-dbus-proxy")
include(CPack)
