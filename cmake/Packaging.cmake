# `cpack -G DEB` packs what `cmake --install` installs: the window, its .desktop entry and icons.
set(CPACK_PACKAGE_NAME simulator-credit)
set(CPACK_PACKAGE_VENDOR "simulator-credit developers")
set(CPACK_PACKAGE_CONTACT "simulator-credit developers <simulator-credit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Consumer-credit simulator for goods bought on instalments")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY simulator-credit)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The captions are laid out for Liberation Sans (Arial's metrics); the X11 and Wayland platform
# plugins come apart from the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
find_program(SIMCREDIT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SIMCREDIT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        ", libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
endif()

include(CPack)
