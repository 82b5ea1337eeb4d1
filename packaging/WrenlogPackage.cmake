# The Debian package, made by `cpack -G DEB` (scripts/package.sh):
# build/wrenlog_<version>_<arch>.deb, prefix /usr, dependencies worked out by
# dpkg-shlibdeps from the libraries the programs and plug-ins link.
set(CPACK_PACKAGE_NAME wrenlog)
set(CPACK_PACKAGE_VENDOR "The Wrenlog developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "debug output window that programs print into over D-Bus")
set(CPACK_PACKAGE_DESCRIPTION
  "Wrenlog is a debug-output window for the desktop. Programs send it text over
the D-Bus session bus, a piece at a time, in colours or four named styles; the
window shows, edits, saves and opens that text, stays on top or folds away.
.
The package holds the window (started by the session bus for the first client),
the command-line client wrenlog-send, the C++ client library with its headers,
CMake package and pkg-config file, and two plug-ins: a to-do scanner and a
notepad.")
set(CPACK_PACKAGE_CONTACT "The Wrenlog developers <developers@wrenlog.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Install with DESTDIR, so that files written at install time name /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://wrenlog.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs' own libraries live in the application folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/app)
# Loaded as plug-ins, so no library names them: the SVG icon engine for the
# toolbar's and the window's icons, the bus daemon that starts the server for
# clients, and a full icon theme for the toolbar's freedesktop icon names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, dbus-user-session | dbus-session-bus${WRENLOG_PYTHON_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme | breeze-icon-theme")
include(CPack)
