# The Debian package, made by `cpack` from the install rules (scripts/package builds it).
set(KIVO_PACKAGE_MAINTAINER "Selvane-Works <kivodialer@selvane-works.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivodialer)
set(CPACK_PACKAGE_VENDOR Selvane-Works)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "click-to-call and incoming-call notification client for KIVO-PBX")
# CPack puts the summary first; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "KIVODialer sits in the tray and registers the workstation with a KIVO-PBX office
telephone exchange. It shows a balloon for every incoming call, places calls from
a dial dialog, from the call history or from tel: and callto: links, opens the
exchange's web pages logged in and keeps the last 20 calls.

The package also holds kivo-pbx-sim, a stand-in exchange on loopback for trying
the program out without an exchange.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KIVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# The libraries the binaries link against, as dpkg-shlibdeps finds them; on top of that what is loaded at
# run time only: Qt's SVG image and icon plugins for the icons, xdg-open for the web pages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, xdg-utils")
# desktop-file-utils' trigger writes the mimeinfo.cache through which xdg-mime finds the telephone link
# handler; the Japanese texts need a CJK font. The icon cache and man-db have triggers of their own.
# qt6-wayland: Qt's Wayland platform, without which the program runs through Xwayland on a Wayland session.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, fonts-noto-cjk, qt6-wayland")

# A file under /etc is the administrator's: an edited autostart entry survives upgrades, and a purge
# removes it.
file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles "${KIVO_AUTOSTART_DIR}/kivodialer.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/conffiles)

set(CPACK_STRIP_FILES ON)
# The autostart entry goes to an absolute directory (/etc/xdg/autostart for the /usr prefix): stage the
# whole installation under DESTDIR with the configured prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

include(CPack)
