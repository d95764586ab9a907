# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package (cpack -G DEB in the build folder).
#   bin/ravno                  the program; it works in the current folder
#   bin/ravno-launcher         prepares ~/Ravno/files and starts the program
#   share/ravno/files/         the shipped help page and browser launcher
#   share/applications, share/metainfo, share/icons: desktop integration
include(GNUInstallDirs)

set(RAVNO_APP_ID ru.ravno.Ravno)
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
set(CPACK_PACKAGE_CONTACT "Ravno developers <ravno@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Solver for systems of linear equations of order 2 to 10")
set(CPACK_PACKAGE_DESCRIPTION
    "Ravno solves systems of linear equations of order 2 to 10 by row elimination\n"
    "with partial pivoting, with an array editor, saved arrays and an answer log.\n"
    "Its interface is in Russian. Start it with ravno-launcher, which works in ~/Ravno.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# dpkg-shlibdeps finds the Qt libraries with their versions; the platform
# plugins are loaded at run time, so they are named by hand.
find_program(RAVNO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RAVNO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, qt6-qpa-plugins")
endif()
# The help launcher opens the page through xdg-open; the windows look for
# Liberation Sans, of about the width of the fonts they were laid out for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-liberation2")
include(CPack)
