# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package (cpack -G DEB in the build folder).
#   bin/ravno                  the program; it works in the current folder
#   bin/ravno-launcher         prepares ~/Ravno/files and starts the program
#   share/ravno/files/         the shipped help page and browser launcher
#   share/applications, share/metainfo, share/icons: desktop integration
#   share/man/man1, share/man/ru/man1: the manual pages, English and Russian
#   share/doc/ravno/: copyright and changelog.gz
include(GNUInstallDirs)

set(RAVNO_APP_ID ru.ravno.Ravno)
# The release date of this version, shown by the AppStream release and the
# manual pages; the changelog's entry carries the same date.
set(RAVNO_RELEASE_DATE 2026-12-09)
# PLACEHOLDER: the project has no maintainer address of its own yet. This one
# value is the package's Maintainer and the changelog's signature; lintian
# reports bogus-mail-host for it until a real name and address replace it
# (here or with -DRAVNO_MAINTAINER="Name <address>").
set(RAVNO_MAINTAINER "Ravno maintainer placeholder <placeholder@localhost>"
    CACHE STRING "Maintainer of the Debian package, as Name <address>")
file(RELATIVE_PATH RAVNO_BIN_TO_DATA
     "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}")

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
configure_file(${packaging}/ravno-launcher.in ravno-launcher @ONLY)
configure_file(${packaging}/ravno.desktop.in ${RAVNO_APP_ID}.desktop @ONLY)
configure_file(${packaging}/ravno.metainfo.xml.in ${RAVNO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS ravno RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/ravno-launcher DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${RAVNO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${RAVNO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/ravno.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${RAVNO_APP_ID}.svg)

# Manual pages and the changelog, compressed the way Debian wants them:
# gzip -9n, without a name or time stamp, so every build gives the same bytes.
find_program(RAVNO_GZIP gzip REQUIRED)
set(doc_build ${CMAKE_CURRENT_BINARY_DIR}/doc)
set(doc_compressed)
foreach(pair IN ITEMS
        man/ravno.1.in=man1/ravno.1
        man/ravno-launcher.1.in=man1/ravno-launcher.1
        man/ru/ravno.1.in=ru/man1/ravno.1
        man/ru/ravno-launcher.1.in=ru/man1/ravno-launcher.1
        changelog.in=changelog)
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 doc)
  configure_file(${packaging}/${source} ${doc_build}/${doc} @ONLY)
  get_filename_component(doc_dir ${doc_build}/${doc} DIRECTORY)
  get_filename_component(doc_name ${doc} NAME)
  # -k keeps the plain copy, which configure_file owns.
  add_custom_command(OUTPUT ${doc_build}/${doc}.gz
    COMMAND ${RAVNO_GZIP} -9nkf ${doc_name}
    WORKING_DIRECTORY ${doc_dir}
    DEPENDS ${doc_build}/${doc}
    VERBATIM)
  list(APPEND doc_compressed ${doc_build}/${doc}.gz)
endforeach()
add_custom_target(ravno_docs ALL DEPENDS ${doc_compressed})

install(FILES ${doc_build}/man1/ravno.1.gz ${doc_build}/man1/ravno-launcher.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${doc_build}/ru/man1/ravno.1.gz ${doc_build}/ru/man1/ravno-launcher.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
# A native package: Debian's changelog is changelog.gz. The copyright file
# carries the licence, for which the package format has no field.
install(FILES ${doc_build}/changelog.gz ${packaging}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Whatever the repository ships in files/; the browser launcher must stay
# runnable. A checkout without files/ installs none.
file(GLOB shipped_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/files/*)
foreach(shipped IN LISTS shipped_files)
  get_filename_component(shipped_name ${shipped} NAME)
  if(shipped_name STREQUAL "iexplore")
    install(PROGRAMS ${shipped} DESTINATION ${CMAKE_INSTALL_DATADIR}/ravno/files)
  else()
    install(FILES ${shipped} DESTINATION ${CMAKE_INSTALL_DATADIR}/ravno/files)
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravno)
set(CPACK_PACKAGE_VENDOR "Ravno")
set(CPACK_PACKAGE_CONTACT "${RAVNO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Solver for systems of linear equations of order 2 to 10")
# Debian wants the lines of the long description under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Ravno solves systems of linear equations of order 2 to 10 exactly, in\n"
    "rational arithmetic, by row elimination with partial pivoting, and\n"
    "shows a detailed report of every step in exact fractions, which can be\n"
    "copied or saved as PDF. It has an array editor, saved arrays with a\n"
    "catalogue, and a log of every answer.\n"
    "Its interface is in Russian. Start it with ravno-launcher, which\n"
    "keeps its files in ~/Ravno.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# dpkg-shlibdeps finds the Qt libraries with their versions; the platform
# plugins are loaded at run time, so they are named by hand. GMP (the exact
# arithmetic of the solver) is found by dpkg-shlibdeps too, and named by hand
# only without it.
find_program(RAVNO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RAVNO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libgmp10, libgmpxx4ldbl, libqt6widgets6, libqt6gui6, libqt6core6, qt6-qpa-plugins")
endif()
# The help launcher opens the page through xdg-open; the windows look for
# Liberation Sans, of about the width of the fonts they were laid out for;
# Qt's translations give the text boxes' context menus in Russian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-liberation2, qt6-translations-l10n")
include(CPack)
