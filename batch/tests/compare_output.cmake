# Runs TOOL [OPTIONS] script INPUT and compares its standard output with EXPECTED, byte for byte.
execute_process(COMMAND ${TOOL} ${OPTIONS} script ${INPUT}
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}: ${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n${actual}")
endif()
