# The Debian package of both programs ("make package"). Its dependencies are not written by hand:
# dpkg-shlibdeps reads them from the libraries the programs are linked against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kursolin)
set(CPACK_PACKAGE_VENDOR "Kursolin-Projekt")
set(CPACK_PACKAGE_CONTACT "Kursolin-Projekt <kontakt@kursolin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Routendaten-Konverter für GPS-Aufzeichnungen und Navigationsgeräte")
# Debian wants the lines of the long description no longer than 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Kursolin macht aus NMEA-Aufzeichnungen und Routendateien eines Systems Routen
für ein anderes Navigationsgerät. Das Paket enthält das Programm mit Fenster
(kursolin) und den Kommandozeilen-Konverter (kursolin-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs speak German only with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
