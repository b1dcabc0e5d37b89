# `cpack` (or `cmake --build BUILD --target package`) builds a Debian package of what `cmake --install`
# installs: the two programs, the menu entry, the AppStream description and the icons.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME loopwren)
set(CPACK_PACKAGE_VENDOR LoopWren)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop macro recorder and player for Linux")
set(CPACK_PACKAGE_DESCRIPTION
    "LoopWren records keyboard, mouse and scroll input anywhere on the desktop into an editable\n"
    "timeline, saves and loads it as JSON macro files, and plays it back as synthetic input at a\n"
    "chosen speed, a fixed number of times or until stopped. Two global hotkeys start and stop\n"
    "recording and playback. loopwren-cli validates, records and plays macro files headless.\n"
    "It records and plays in an X11 session with the XTEST and RECORD extensions; loopwren-cli also\n"
    "plays through the kernel's uinput device in any session, Wayland's included.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "LoopWren maintainers <maintainers@loopwren.example.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; what it cannot see is loaded at run time: the QML
# modules the window imports, the X11 and Wayland platform plugins and the interface font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-templates, qml6-module-qtquick-window, \
qml6-module-qtquick-layouts, qml6-module-qtqml-workerscript, qml6-module-qt5compat-graphicaleffects, \
qt6-qpa-plugins, qt6-wayland, fonts-inter")
# Loads uinput and applies the udev rule for it at installation, so that no reboot is needed; enables the
# input service's socket, and takes it away again on removal.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/prerm
    ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Opening the download page of a newer release goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
