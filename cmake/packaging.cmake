# Installing Korvel as a desktop program, and its Debian package.
#
#   cmake --install build --prefix /usr        (DESTDIR=... works as usual)
#   cd build && cpack -G DEB                    -> korvel_<version>_<arch>.deb
#
# The program itself is installed by src/CMakeLists.txt (bin/korvel). This file
# adds what a desktop needs to show it: the menu entry, the icons in every usual
# size, the AppStream metadata for software centres, and the licence texts.
# Nothing else in the build has install rules, so the test programs and the
# screenshot tool stay out of the package.

include(GNUInstallDirs)

set(KORVEL_APP_ID org.korvel.Korvel)
set(_korvel_pkg ${CMAKE_CURRENT_LIST_DIR}/../packaging)

install(FILES ${_korvel_pkg}/${KORVEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The metadata's newest release is the project's version (CMakeLists.txt).
configure_file(${_korvel_pkg}/${KORVEL_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${KORVEL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${KORVEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons: PNG files rendered by packaging/icons/render.sh, and the drawing
# they come from as the scalable one.
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${_korvel_pkg}/icons/korvel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME korvel.png)
endforeach()
install(FILES ${_korvel_pkg}/icons/korvel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The program is GPL-3.0-or-later; the Liberation Sans fonts and the
# toolkit's Russian catalogue built into it keep their own licences.
install(FILES ${_korvel_pkg}/copyright
              ${CMAKE_CURRENT_LIST_DIR}/../src/platform/res/fonts/LICENSE-LiberationSans.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The release history and the manual pages (English and Russian) go in
# compressed as Debian wants them; gzip -n leaves out the name and the time,
# so the same sources give the same package.
find_program(KORVEL_GZIP gzip REQUIRED)
set(_korvel_docs ${CMAKE_BINARY_DIR}/packaging)
function(korvel_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${KORVEL_GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
korvel_gzip(${_korvel_pkg}/changelog ${_korvel_docs}/changelog.gz)
# The pages name the project's version.
foreach(page korvel korvel.ru)
  configure_file(${_korvel_pkg}/man/${page}.1.in ${_korvel_docs}/${page}.1 @ONLY)
  korvel_gzip(${_korvel_docs}/${page}.1 ${_korvel_docs}/${page}.1.gz)
endforeach()
add_custom_target(korvel_docs ALL DEPENDS
  ${_korvel_docs}/changelog.gz ${_korvel_docs}/korvel.1.gz ${_korvel_docs}/korvel.ru.1.gz)
install(FILES ${_korvel_docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_korvel_docs}/korvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_korvel_docs}/korvel.ru.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1 RENAME korvel.1.gz)

# ---- CPack: the Debian package ----------------------------------------------

set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VERSION ${CMAKE_PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvel developers")
set(CPACK_PACKAGE_CONTACT "Korvel developers <dev@korvel.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://korvel.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "physics demonstration of how spin bends the flight of a ball")
set(CPACK_PACKAGE_DESCRIPTION
"Korvel («Эффект Корвеля») animates a ball thrown with spin through air or
another medium. The user sets the ball's mass and radius, the launch speed,
angle and angular velocity, the density of the medium and how fast the spin
slows down, switches spin lift and drag on or off, and watches the flight on a
gridded, pannable field. A second window plots speed and height against time.

The program's interface is in Russian.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps (package dpkg-dev) turns the libraries the program links
# into the Qt 6 runtime packages it depends on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
