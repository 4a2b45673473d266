# The Debian package: `cpack -G DEB` in a build folder writes quelbrix_<version>_<arch>.deb with
# everything `cmake --install` installs, under /usr. The libraries it needs are found by
# dpkg-shlibdeps (package dpkg-dev, which needs `file`); LibreOffice (PDF files and printing),
# Python's uno module (hands LibreOffice the documents without a process per document), CUPS
# (printing) and Qt's German texts are recommended, as the programs run without them.

set(QUELBRIX_PACKAGE_MAINTAINER "Tarnholm <quelbrix@tarnholm.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelbrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tarnholm)
set(CPACK_PACKAGE_CONTACT ${QUELBRIX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Geländebögen und Datenreports aus der FFH-Erfassung erzeugen")
# Packed programs carry no debug information: a RelWithDebInfo build's is several times the
# program and takes minutes to compress.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# PROJ's library (found by dpkg-shlibdeps) reads its coordinate systems from proj.db at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "proj-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libreoffice-writer-nogui | libreoffice-writer, python3-uno, cups, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The long description; CPack puts the summary before it and indents it as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quelbrix liest den Ordner einer FFH-Erfassung (28 dBASE-Tabellen und das
Shapefile der Polygone) und schreibt Word-Dokumente: eine Reinschrift jedes
Geländebogens und je Polygon einen Datenreport mit Deckblatt und Karte.

Das Paket enthält das Fensterprogramm quelbrix-gui, den Befehl quelbrix, die
21 Dokumentvorlagen und die Umlaute-Tabelle. LibreOffice wird zum Drucken
und für PDF-Dateien gebraucht, CUPS zum Drucken.")

include(CPack)
