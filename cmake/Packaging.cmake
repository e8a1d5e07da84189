# The Debian package: `cpack -G DEB` in a build folder makes
# quellhart-editor_VERSION_ARCH.deb with the editor, the command-line tool and what
# the desktop needs of them; its dependencies are read off the programs
# (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quellhart-editor)
set(CPACK_PACKAGE_VENDOR "The Quellhart editor developers")
set(CPACK_PACKAGE_CONTACT "The Quellhart editor developers <editor@quellhart.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Quellhart saved games")
# The summary above is the first line; this is the rest.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Opens one Quellhart saved game (.ess), shows the player character's name, race, "
    "class, head and hair models and every global variable with its stored bytes and "
    "value, lets you change them, and writes a new save in the old one's place, keeping "
    "the old one as a .bak backup.\n"
    ".\n"
    "The package holds the editor window (quellhart-editor) and the command-line "
    "companion (quellhart-cli) for terminals and scripts.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Thai names show as boxes where no Thai font is installed; the others' scripts come
# with the desktop's fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-thai-tlwg")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
