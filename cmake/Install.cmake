# Installing the program with its desktop integration, and the Debian package built from
# the same rules by CPack.
#
#   <prefix>/lib/kelvo/kelvo, the chime   the program and its chime (${KELVO_CHIME}), in a folder of their own,
#   <prefix>/lib/kelvo/libkelvo_questionengine.so   with the browser-engine module it loads
#   <prefix>/bin/kelvo                     a relative symbolic link to the program
#   <prefix>/share/applications, metainfo, icons/hicolor   the desktop entry, AppStream, icons
#
# The program finds the chime in the folder of its executable, and that folder is the one
# the link points into (the kernel resolves /proc/self/exe), so the command on the PATH
# and the program in its own folder behave alike.

set(KELVO_APP_ID jp.bralden.Kelvo)
# Not CMAKE_INSTALL_LIBDIR: the link below is relative, so the folder is the same for
# every prefix.
set(KELVO_INSTALL_APPDIR lib/kelvo)
set(KELVO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)
cmake_path(ABSOLUTE_PATH KELVO_PACKAGING_DIR NORMALIZE)

# Qt's project setup asks for an $ORIGIN run path; the program uses the system's Qt and
# ships no libraries of its own, so it needs none.
set_target_properties(kelvo kelvo_questionengine PROPERTIES INSTALL_RPATH "")
install(TARGETS kelvo RUNTIME DESTINATION ${KELVO_INSTALL_APPDIR})
# Loaded by the question view from the program's folder when it first paints.
install(TARGETS kelvo_questionengine LIBRARY DESTINATION ${KELVO_INSTALL_APPDIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/chime.wav DESTINATION ${KELVO_INSTALL_APPDIR}
        RENAME ${KELVO_CHIME})

# install(FILES) copies a symbolic link as a link.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ../${KELVO_INSTALL_APPDIR}/kelvo ${CMAKE_BINARY_DIR}/packaging/kelvo SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/kelvo DESTINATION bin)

install(FILES ${KELVO_PACKAGING_DIR}/${KELVO_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${KELVO_PACKAGING_DIR}/${KELVO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${KELVO_PACKAGING_DIR}/${KELVO_APP_ID}.svg
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 48 128)
    install(FILES ${KELVO_PACKAGING_DIR}/${KELVO_APP_ID}-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME ${KELVO_APP_ID}.png)
endforeach()

# --- The Debian package (make package).
# Packaging needs the program, not the tests: cpack and the install target build nothing
# themselves (make package builds everything first, scripts/check-package the program).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VENDOR Bralden)
set(CPACK_PACKAGE_CONTACT "Kelvo developers <kelvo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "practice program for the year-2000 mathematics entrance paper")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvo lets a student sit the year-2000 mathematics paper of the national university\n"
    "entrance examination under exam conditions: a sixty-minute countdown with a chime,\n"
    "marking of every item and the pass lines of seven former imperial universities.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# dpkg-shlibdeps lists the versioned libraries the executable links (C and C++ runtime, Qt
# Widgets, WebEngine, WebChannel, Multimedia; Debian's WebEngine entry brings its helper
# process libqt6webenginecore6-bin). Added here is what no linked library names: the X11
# platform plugin and the Japanese fonts. The image plugins come with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho")
# Qt's own texts (context menus) in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)

include(${CMAKE_CURRENT_LIST_DIR}/InstallTests.cmake OPTIONAL)
