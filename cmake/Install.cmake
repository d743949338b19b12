# What `cmake --install` puts on the system, under the GNU directory names: the programs and
# their manual pages; the service's systemd unit; with the window, its desktop entry, AppStream metainfo and icons; and the
# licences, changelog and example tariff in the documentation folder. `cpack -G DEB` packs exactly this.
include(GNUInstallDirs)

set(SIMCREDIT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/simulator-credit)
set(SIMCREDIT_GZIPPED ${PROJECT_BINARY_DIR}/gzipped)
find_program(SIMCREDIT_GZIP gzip REQUIRED)

# Manual pages and the changelog are installed gzipped at the highest compression, without the
# file's name and time (-n), so that the same sources always give the same package.
function(simcredit_gzip source name)
    set(plain ${SIMCREDIT_GZIPPED}/${name})
    add_custom_command(
        OUTPUT ${plain}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${SIMCREDIT_GZIPPED}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
        COMMAND ${SIMCREDIT_GZIP} -9nf ${plain}
        DEPENDS ${source}
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY SIMCREDIT_GZIPPED_FILES ${plain}.gz)
endfunction()

set(SIMCREDIT_PROGRAMS simulator-credit-batch simulator-credit-server)
if(SIMCREDIT_WINDOW)
    list(PREPEND SIMCREDIT_PROGRAMS simulator-credit simulator-credit-registru)
endif()
foreach(program IN LISTS SIMCREDIT_PROGRAMS)
    # The programs load only system libraries: no run path (Qt's project setup would add one).
    set_property(TARGET ${program} PROPERTY INSTALL_RPATH "")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The pages carry the version they describe.
    configure_file(${PROJECT_SOURCE_DIR}/docs/${program}.1 ${PROJECT_BINARY_DIR}/man/${program}.1
                   @ONLY)
    simcredit_gzip(${PROJECT_BINARY_DIR}/man/${program}.1 ${program}.1)
    install(FILES ${SIMCREDIT_GZIPPED}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

simcredit_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog.Debian)
install(FILES ${SIMCREDIT_GZIPPED}/changelog.Debian.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${SIMCREDIT_DOC_DIR})
# The built-in tariff in the file format (a test holds it equal to the built-in one), and the
# example a lender starts its own from: the same product with every block of the law's part
# filled, its creditor and limit values to be replaced with the lender's and those in force.
install(FILES ${PROJECT_SOURCE_DIR}/docs/tarif.json ${PROJECT_SOURCE_DIR}/docs/tarif-exemplu.json
        DESTINATION ${SIMCREDIT_DOC_DIR})

# The service's systemd unit, installed but not enabled: a lender starts it where it wants it.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/simulator-credit-server.service
        DESTINATION lib/systemd/system)

# Findings of Debian's package checker that do not apply, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME simulator-credit)

get_property(gzipped GLOBAL PROPERTY SIMCREDIT_GZIPPED_FILES)
add_custom_target(simcredit-gzipped ALL DEPENDS ${gzipped})

if(SIMCREDIT_WINDOW)
    install(FILES ${PROJECT_SOURCE_DIR}/gui/simulator-credit.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/invalid.simulator_credit.simulator_credit.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 32 48)
        install(FILES ${SIMCREDIT_ICONS}/simulator-credit-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME simulator-credit.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/simulator-credit.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
