# The tool's tariff mode and its refusal of a bad tariff file, end to end.
file(READ ${EXAMPLE} example)
foreach(options "" "--tarif;${EXAMPLE}" "--tarif=${EXAMPLE}")
    execute_process(COMMAND ${TOOL} ${options} tarif OUTPUT_VARIABLE out RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT out STREQUAL example)
        message(FATAL_ERROR "tarif with '${options}': status ${status}, output:\n${out}")
    endif()
endforeach()

# The bad file is refused with every problem and status 2, before the input (absent) is read.
execute_process(COMMAND ${TOOL} --tarif ${TARIFFS}/bad.json script ${TARIFFS}/no-such-script
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
set(expected "tarif: /indebtedness_limt: unknown key
tarif: /interest/1/rate: must be below 1 (got 1.5)
tarif: /indebtedness_limit: missing
")
if(NOT status EQUAL 2 OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
    message(FATAL_ERROR "bad tariff: status ${status}, stdout '${out}', stderr:\n${err}")
endif()
execute_process(COMMAND ${TOOL} --tarif ${TARIFFS}/no-such-tariff.json tarif
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR NOT err STREQUAL "tarif: /: cannot be read\n")
    message(FATAL_ERROR "missing tariff: status ${status}, stderr:\n${err}")
endif()
