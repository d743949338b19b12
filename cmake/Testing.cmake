# CTest with GoogleTest, and the helper that registers a test executable.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# One test executable per topic: build, link (with the shared helpers of tests/support), register
# with CTest.
function(simcredit_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} simcredit_test_support GTest::gtest_main)
    simcredit_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
