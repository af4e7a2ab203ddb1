# Installation (cmake --install) and the Debian package built by CPack (scripts/paquet).
include(GNUInstallDirs)
install(TARGETS jenway6500 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/jenway6500.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/jenway6500.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME jenway6500)
set(CPACK_PACKAGE_VENDOR "Acquisition Jenway")
set(CPACK_PACKAGE_CONTACT "Acquisition Jenway <jenway6500@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "acquisition avec les spectrophotomètres Jenway 6400 et 6500")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Pilote un spectrophotomètre Jenway 6400 ou 6500 relié par une liaison série\n"
       "et trace les mesures en direct : suivi de cinétique, tracé de spectre, loi de\n"
       "Beer-Lambert. Les mesures vont dans des fichiers Tablarix ou texte, dans le\n"
       "presse-papiers ou vers Tablarix.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The Qt libraries found by dpkg-shlibdeps; Qt's French translation for its own dialogs; the
# face that stands in for the Tablarix fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
