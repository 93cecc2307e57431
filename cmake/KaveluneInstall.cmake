# Installation: the programs in bin/, the demo content as the installed program folder in
# share/kavelune/, the desktop entries, icons, AppStream data, manual pages and kvl's shell
# completion; and a Debian package of all that through CPack (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

set(KAVELUNE_APP_ID net.kavelune.KaveluneLE)

install(TARGETS KaveluneLE KaveluneTrova kvl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The content the build generated beside the programs, but nothing a run there may have left
# (current.txt, settings.ini, logs).
foreach(folder Characters Sequences Sounds Info)
  install(DIRECTORY ${KAVELUNE_PROGRAM_DIR}/${folder} DESTINATION ${CMAKE_INSTALL_DATADIR}/kavelune)
endforeach()
install(FILES ${KAVELUNE_PROGRAM_DIR}/kavelune.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/kavelune)
foreach(payload KaveluneLE.bin KaveluneTrova.bin)
  install(FILES ${KAVELUNE_PROGRAM_DIR}/${payload} DESTINATION ${CMAKE_INSTALL_DATADIR}/kavelune OPTIONAL)
endforeach()

set(data ${CMAKE_SOURCE_DIR}/data)
install(FILES ${data}/${KAVELUNE_APP_ID}.desktop ${data}/net.kavelune.KaveluneTrova.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${KAVELUNE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/icons/kavelune.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${KAVELUNE_APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${data}/icons/kavelune-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KAVELUNE_APP_ID}.png)
endforeach()
install(FILES ${data}/man/KaveluneLE.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${data}/man/KaveluneLE.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 RENAME KaveluneTrova.6)
install(FILES ${data}/man/kvl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data}/completion/kvl DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_PACKAGE_NAME kavelune)
set(CPACK_PACKAGE_VENDOR "The Kavelune developers")
set(CPACK_PACKAGE_CONTACT "The Kavelune developers <developers@kavelune.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A character that dances on your desktop to a song")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared libraries the programs link, found by dpkg-shlibdeps at packaging time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The beat tracker's library is opened only when a song needs it, so shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libaubio5")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
include(CPack)
