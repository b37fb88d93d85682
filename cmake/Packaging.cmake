# The Debian package (scripts/package.sh): `cpack -G DEB` in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr gives selvanor_VERSION_amd64.deb. Its dependencies come
# from the shared libraries the programs link (dpkg-shlibdeps), plus what the window
# loads at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME selvanor)
set(CPACK_PACKAGE_VENDOR "The Selvanor developers")
set(CPACK_PACKAGE_CONTACT "The Selvanor developers <selvanor@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for a morphologically analysed Korean corpus")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_PACKAGE_DESCRIPTION
"Selvanor is a desktop workbench in which linguists build and curate a
morphologically analysed Korean corpus. Analyser output becomes keyed
Berkeley DB documents that are reviewed and edited word by word, corrected
automatically and interactively, checked against a tag set, indexed for
look-up and usage examples, and counted into frequency reports.

The package holds the window (selvanor), the command line (selvanor-cli),
the bundled tag file, a sample workspace and the Korean user guide.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X11 platform plug-in, Qt's Korean button texts and a Hangul serif face for the grid
# are loaded, not linked: shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-nanum")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, db5.3-util")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
