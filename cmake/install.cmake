# install.cmake -- the bundled dungeon, built from data/, and what `make install` lays out
include(GNUInstallDirs)

set(VESK_DUNGEON_INSTALL_DIR ${CMAKE_INSTALL_DATAROOTDIR}/games/vesk)
set(VESK_GAME_INSTALL_DIR ${CMAKE_INSTALL_BINDIR})
# From the launcher's directory back up to the prefix.
set(VESK_UP_FROM_BINDIR "..")

# The dungeon: every level source and the image generator feed it, so it is
# rebuilt whenever either changes.
file(GLOB VESK_LEVEL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/levels/*.lvl)
set(VESK_DUNGEON ${CMAKE_BINARY_DIR}/Dungeon)
set(VESK_DUNGEON_STAMP ${CMAKE_BINARY_DIR}/Dungeon.stamp)
add_custom_command(
  OUTPUT ${VESK_DUNGEON_STAMP} ${CMAKE_BINARY_DIR}/vesk-game.png
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VESK_DUNGEON}
  COMMAND vesk-dungeon build ${CMAKE_SOURCE_DIR}/data ${VESK_DUNGEON}
  COMMAND vesk-dungeon icon ${CMAKE_BINARY_DIR}/vesk-game.png
  COMMAND ${CMAKE_COMMAND} -E touch ${VESK_DUNGEON_STAMP}
  DEPENDS vesk-dungeon ${VESK_LEVEL_SOURCES}
  COMMENT "Building the bundled dungeon from data/"
  VERBATIM)
add_custom_target(dungeon ALL DEPENDS ${VESK_DUNGEON_STAMP})

configure_file(${CMAKE_SOURCE_DIR}/data/vesk-game.in ${CMAKE_BINARY_DIR}/vesk-game @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/vesk-game.6 ${CMAKE_BINARY_DIR}/vesk-game.6 @ONLY)

install(TARGETS vesk RUNTIME DESTINATION ${VESK_GAME_INSTALL_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/vesk-game DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${VESK_DUNGEON}/ DESTINATION ${VESK_DUNGEON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/vesk-game.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/vesk-game.png DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/128x128/apps)
install(FILES ${CMAKE_BINARY_DIR}/vesk-game.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
