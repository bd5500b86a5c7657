# The Debian package (make package): what cmake --install puts under /usr, with
# the Qt and OpenSSL libraries it needs declared as dependencies.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallyvault)
set(CPACK_PACKAGE_VENDOR "Tallyvault team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fiscal journal archiver for the memory cards of retail scales")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tallyvault team")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (pickers, calendar, standard buttons) in the wizard's French.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The Help button opens its page through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tallyvault takes the fiscal journal of retail scales off their Secure
Memory Cards (SMC) into archives an auditor can trust, and proves later
that those archives are untouched: dX cards become CSV archives with a
SHA-256 hash chain, ZT4 cards signed XML archives (ECDSA P-521).
.
The package holds the wizard (tallyvault, English and French) and the
command line (tallyvault-cli).")

include(CPack)
