# Applies the project's warning flags to one target; SIMCREDIT_WERROR turns them into errors (CI).
option(SIMCREDIT_WERROR "Treat warnings as errors" OFF)

function(simcredit_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(SIMCREDIT_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# One test executable per topic: build, link, register with CTest.
function(simcredit_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    simcredit_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
