# install.cmake -- what `cmake --install` puts where: the programs, the default world, and what a
# desktop needs to offer the game (menu entry, icons, AppStream metadata, manual pages).
#
# The programs look for their world in ../share/games/zelvo from their own folder (bin/ or games/),
# so the install works wherever the prefix is, a package unpacked anywhere included.
include(GNUInstallDirs)

set(ZELVO_INSTALL_GAMESDIR games CACHE STRING "Folder under the prefix for the programs (Debian's games/; bin/ works too)")
set(ZELVO_APP_ID org.zelvo.Zelvo CACHE STRING "The reverse-DNS id of the AppStream component")
# Where the project's pages are; the metainfo's screenshots are docs/pictures published under it.
set(ZELVO_HOMEPAGE https://zelvo.org CACHE STRING "The project's web address, without a trailing slash")
set(ZELVO_WORLD_INSTALLDIR ${CMAKE_INSTALL_DATAROOTDIR}/games/zelvo)
set(ZELVO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS zelvo zelvo-sim zelvo-data DESTINATION ${ZELVO_INSTALL_GAMESDIR})

# The world as the build packed it: the seven data files and the music.
foreach(name map.dat images.dat fonts.dat sprites.dat art.dat dialogs.dat events.dat main.wav ingame.wav)
  install(FILES ${CMAKE_BINARY_DIR}/${name} DESTINATION ${ZELVO_WORLD_INSTALLDIR})
endforeach()

install(FILES ${ZELVO_PACKAGING}/zelvo.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
foreach(size 16 32 48 64 128 192 256 512)
  install(FILES ${ZELVO_PACKAGING}/icons/zelvo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME zelvo.png)
endforeach()
install(FILES ${ZELVO_PACKAGING}/icons/zelvo.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

configure_file(${ZELVO_PACKAGING}/metainfo.xml.in ${CMAKE_BINARY_DIR}/packaging/${ZELVO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${ZELVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# Manual pages, compressed as Debian keeps them.
foreach(page zelvo.6 zelvo-sim.6 zelvo-data.6)
  string(REGEX REPLACE ".*\\." "" section ${page})
  configure_file(${ZELVO_PACKAGING}/man/${page} ${CMAKE_BINARY_DIR}/packaging/man/${page} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz
    COMMAND gzip -9 -n -f -k ${page}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/man/${page}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/man
    VERBATIM)
  list(APPEND ZELVO_MAN_PAGES ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
# Debian's copyright and changelog beside them.
configure_file(${ZELVO_PACKAGING}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9 -n -f -k changelog
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
  VERBATIM)
add_custom_target(install_pages ALL DEPENDS ${ZELVO_MAN_PAGES} ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${ZELVO_PACKAGING}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package (scripts/package): CPack, with the libraries' packages found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvo)
set(CPACK_PACKAGE_VENDOR "The Zelvo developers")
set(CPACK_PACKAGE_CONTACT "The Zelvo developers <zelvo@zelvo.org>")
# The synopsis; the extended description below it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D platform adventure for a 240x320 handheld screen")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Zelvo the turtle sets out to find why Lily Pond's brook has gone quiet:\n"
       "twenty-five screens of meadow, wood, burrows, caves and an old mill,\n"
       "things to find and use, neighbours to talk to. The game plays in a window\n"
       "that stands in for a 240x320 handheld, with the keyboard, a game\n"
       "controller or the mouse.\n"
       ".\n"
       "The package also holds zelvo-sim, which runs the game without a display\n"
       "for tests, and zelvo-data, the tool that packs a world's pictures and\n"
       "music into the game's data files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZELVO_HOMEPAGE}/)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
