# Installation layout and the Debian package (`make package`, or `cpack -G DEB`
# in the build folder).  Everything the package holds besides the program
# lives in this folder.
include(GNUInstallDirs)

set(KORVANE_APP_ID "org.korvane.Korvane")
set(KORVANE_HOMEPAGE "https://korvane.example/" CACHE STRING
    "Web page of the project, named by the package and the AppStream data")
set(KORVANE_SCREENSHOT_URL "https://korvane.example/screenshots/clock-window.png" CACHE STRING
    "The screenshot that software centres show")
set(KORVANE_MAINTAINER "Korvane maintainers <maintainers@korvane.example>" CACHE STRING
    "Maintainer named by the package")
set(KORVANE_RELEASE_DATE "2026-12-07")

set(packaging ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_BINARY_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/korvane)

configure_file(${packaging}/${KORVANE_APP_ID}.metainfo.xml.in
               ${generated}/${KORVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/copyright.in ${generated}/copyright @ONLY)

# Debian wants the change log and the manual page compressed, reproducibly.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(plain IN ITEMS changelog korvane.1)
  add_custom_command(OUTPUT ${generated}/${plain}.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${packaging}/${plain} > ${generated}/${plain}.gz
    DEPENDS ${packaging}/${plain}
    VERBATIM)
  list(APPEND compressed ${generated}/${plain}.gz)
endforeach()
add_custom_target(korvane_packaging_files ALL DEPENDS ${compressed})

install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${korvane_modules} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/korvane/modules)
install(FILES ${packaging}/${KORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${generated}/${KORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${packaging}/icons/korvane.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/${size}x${size}/korvane.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${generated}/korvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${generated}/copyright ${generated}/changelog.gz
        DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_CONTACT "${KORVANE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paces and times strength-training tests")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${packaging}/description.txt)
set(CPACK_PACKAGE_HOMEPAGE_URL "${KORVANE_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries' links do not show: Qt's table drivers for SQLite and PostgreSQL (which
# brings libpq), the platform plugins that draw the windows, libasound, loaded when the first
# sound plays, and libsndfile, loaded when the first wave file is decoded.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, libasound2, libsndfile1")
# Spoken cues need a voice; the athlete view's condensed face keeps long
# countdowns large; Qt's own dialogs speak German with Qt's translations; the
# report prints CJK names with a CJK face.  All work without, so they are
# recommended.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-speech-flite-plugin, fonts-dejavu-core, fonts-dejavu-extra, qt6-translations-l10n, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
