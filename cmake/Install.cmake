# Installation: the executable with its system folder beside it in
# lib/dexlora (the game finds system/ next to its real path), the bundled
# skins in share/dexlora/skins, a link in bin, a desktop entry and the icon.
include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: a multiarch libdir is for libraries, not for a
# program folder.
set(DEXLORA_INSTALL_PROGRAM_DIR lib/dexlora)
set(DEXLORA_INSTALL_SKINS_DIR ${CMAKE_INSTALL_DATADIR}/dexlora/skins)

install(TARGETS dexlora RUNTIME DESTINATION ${DEXLORA_INSTALL_PROGRAM_DIR})
# dexlora-check runs dexlora-skin-check from its own folder.
install(TARGETS dexlora-check dexlora-skin-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES system/Rome.ini system/Rome2.ini DESTINATION ${DEXLORA_INSTALL_PROGRAM_DIR}/system)
install(DIRECTORY skins/ DESTINATION ${DEXLORA_INSTALL_SKINS_DIR})
foreach(size 32 48 64 128 256)
  install(FILES dist/icons/${size}x${size}/dexlora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Paths written into installed files are those of the prefix the game runs
# from, never of DESTDIR, which only stages the files for a package.
install(CODE "
  set(DEXLORA_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(DEXLORA_STAGE \"\$ENV{DESTDIR}\")
  set(DEXLORA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(DEXLORA_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(DEXLORA_PROGRAM_DIR \"${DEXLORA_INSTALL_PROGRAM_DIR}\")
  set(DEXLORA_SKINS_DIR \"${DEXLORA_INSTALL_SKINS_DIR}\")
  set(DEXLORA_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/InstallFinish.cmake\")
")
