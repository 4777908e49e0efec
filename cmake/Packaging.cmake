# The Debian package, made by `cpack -G DEB` in the build folder (scripts/package).
set(CPACK_PACKAGE_NAME ${ZENTAB_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "The Zentab Calculator SE maintainers")
set(CPACK_PACKAGE_CONTACT "Zentab Calculator SE maintainers <maintainers@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zentab.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "calculator for Galleons, Sickles and Knuts with a forum bank manager")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop calculator for a three-coin currency: every amount typed is sorted into\n\
whole Galleons, Sickles and Knuts, added, subtracted, multiplied, divided, kept on a\n\
tape and in a memory, and shown in US dollars. Its bank manager keeps the accounts\n\
of role-play forum members that live as threads of a forum board.\n\
.\n\
The package also holds zentab-board-server, a forum board stand-in that\n\
`zentab-calculator --demo` starts on loopback to try the bank manager.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries it links decide most of Depends; Qt's window-system plugins are
# loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

include(CPack)
