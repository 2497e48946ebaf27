# The Debian package of the three programs and their desktop files (scripts/package builds it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tvx230)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TVX-230 tool developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for TVX-230 video title units")
# Debian shows the description as it stands: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "The desktop tool sets the display options, page titles, schedule and
user-defined glyphs of TVX-230 video title units and sends them over RS-232C,
RS-485 or TCP/IP; it reads units back into settings documents. Its interface
is in Japanese.
The package also holds tvx230-cli, a headless companion for scripts and fleets
of units, and tvx230-unit, a virtual unit for trying the tool without hardware.")
set(TVX230_PACKAGE_MAINTAINER "TVX-230 tool developers <maintainers@tvx230.example>"
    CACHE STRING "Maintainer field of the Debian package: who answers for it, with an e-mail address")
set(CPACK_PACKAGE_CONTACT "${TVX230_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries (Qt 6 Core, Network, SerialPort, Gui, Widgets and the C++ runtime) are read off the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load without linking it: Qt's window-system plugins, a font that holds Japanese, and
# Qt's Japanese catalogues, without which Qt's own buttons and file dialogs speak English.
if(TVX230_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, qt6-translations-l10n")
endif()
# No maintainer scripts: the desktop's triggers refresh the menu, icon and manual caches by themselves.

include(CPack)
