# `cpack -G DEB` packs what `cmake --install` installs (cmake/Install.cmake): the window, the
# batch tool and their files, checked by lintian in scripts/package-check.

# The Debian revision comes from the newest entry of the package's changelog, whose version
# must be the project's: the two cannot drift apart.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^simulator-credit \\(([^)-]+)-([^)]+)\\)")
    message(FATAL_ERROR "packaging/changelog: the first line is not an entry: ${newest}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog: the newest entry is for version ${CMAKE_MATCH_1}, "
                        "the project is ${PROJECT_VERSION}: add an entry for it")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

set(CPACK_PACKAGE_NAME simulator-credit)
set(CPACK_PACKAGE_VENDOR "simulator-credit developers")
# The project has no domain of its own; the top-level domain reserved for names that resolve
# nowhere (RFC 2606) gives an address that cannot be anybody else's, and which lintian accepts
# as well formed (unlike a host without a domain, such as localhost).
set(CPACK_PACKAGE_CONTACT "simulator-credit developers <dev@simulator-credit.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "consumer-credit simulator for goods bought on instalments")
# Debian shows the description as it is: lines of at most 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "A credit simulator for a shop's sales agent. In one window the agent types
the product value, the down payment and the duration, picks an insurance
option and a payment method, and types the customer's income and other debts.
At every keystroke the window shows the interest rate, the monthly payment,
the total cost, the effective annual rate, the indebtedness index and the
largest product value the customer can afford, with error and warning panels.
The window's texts are in Romanian.

The batch tool simulator-credit-batch runs the same logic without a display,
from a script of keystrokes or a CSV table of simulations, and prints what the
window would show.

The service simulator-credit-server answers the same simulations over HTTP
for web shops, with a script that shows the monthly payments on a product
page; its systemd unit is installed but not enabled.

Every document issued is recorded in a register: a SQLite file on the
machine, or one PostgreSQL database for a chain of shops. The program
simulator-credit-registru lists it, checks a document against it and sends
the records kept while the database could not be reached.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY simulator-credit)
set(CPACK_STRIP_FILES ON)
# Directories as Debian expects them whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The captions are laid out for Liberation Sans (Arial's metrics); the X11 and Wayland platform
# plugins come apart from the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins, libqt6sql6-sqlite")
# Qt's SQL drivers are plugins, which the library scan does not see: SQLite for the register on
# the machine, PostgreSQL for a chain's.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
find_program(SIMCREDIT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SIMCREDIT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        ", libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
endif()

include(CPack)
