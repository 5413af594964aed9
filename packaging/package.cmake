# The Debian package of both programs, built by `make package` (cpack -G DEB in a build configured with the
# prefix /usr). It holds what the install rules install and nothing else of the build: no test, no benchmark,
# no static library, no header.

# Debian's place for the licence of the package.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varnel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel developers")
set(CPACK_PACKAGE_CONTACT "Varnel developers <varnel@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cleans, sorts and zips emulator ROM collections")
# Lines of at most 80 characters, as Debian wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "Varnel keeps emulator ROM collections (romsets) tidy, from file names alone.
Within each game it keeps the dumps wanted by zone priority, the [!] verified
mark, keep and exclusion patterns and wanted translations, and deletes the
others or moves them aside; a test run touches no file and writes a log of
every decision. It also sorts the files of a folder into A to Z folders and
zips each file into an archive of its own with 7z.

The package holds the desktop program varnel, in English and French, and the
command-line tool varnel-cli with its manual page and shell completions.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the zip job runs 7z, and "Open logfile" opens the
# log with xdg-open. The windows need a platform plugin, which Qt loads at run time and Debian's Qt only
# recommends. The icon is built into the program as PNG, so no image plugin is needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "p7zip-full, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
