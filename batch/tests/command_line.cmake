# The executable's command line and inputs end to end: the information requests and misuse with
# their statuses, a table read from a file, a script read from standard input, and an input file
# that cannot be opened. WORK is a scratch folder of the build tree.
function(expect what status out err)
    if(NOT status EQUAL ${ARGV4})
        message(FATAL_ERROR "${what}: status ${status} (expected ${ARGV4}), stdout '${out}', "
                            "stderr '${err}'")
    endif()
endfunction()

execute_process(COMMAND ${TOOL} --version OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
expect("--version" "${status}" "${out}" "${err}" 0)
if(NOT out MATCHES "^simulator-credit-batch [0-9][^\n]*\n$" OR NOT err STREQUAL "")
    message(FATAL_ERROR "--version printed '${out}' '${err}'")
endif()

execute_process(COMMAND ${TOOL} -h OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
expect("-h" "${status}" "${out}" "${err}" 0)
if(NOT out MATCHES "usage: simulator-credit-batch script \\[FILE\\]" OR NOT err STREQUAL "")
    message(FATAL_ERROR "-h printed '${out}' '${err}'")
endif()

# No mode: the usage on standard error, nothing on standard output, status 2.
execute_process(COMMAND ${TOOL} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
expect("no mode" "${status}" "${out}" "${err}" 2)
if(NOT out STREQUAL "" OR NOT err MATCHES "^usage: simulator-credit-batch script")
    message(FATAL_ERROR "no mode printed '${out}' '${err}'")
endif()

# A table from a file: the header and one row with its figures.
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/rows.csv "tbvp,tbavans,tbdurcred,vn,ar,cbasig,plata\n"
                            "2000,200,24,3000,200,Standard,\n")
execute_process(COMMAND ${TOOL} table ${WORK}/rows.csv OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
expect("table FILE" "${status}" "${out}" "${err}" 0)
if(NOT out MATCHES "^tbvp,tbavans,tbdurcred,vn,ar,cbasig,plata,tbdob,lbrata,[^\n]*,mesaje"
   OR NOT out MATCHES "\n2000,200,24,3000,200,Standard,, 10.70%,113.45,8.60904,")
    message(FATAL_ERROR "table FILE printed:\n${out}")
endif()

# A script from standard input, given as "-" and by default.
file(WRITE ${WORK}/one.script "set tbvp 2000\nsnapshot\n")
foreach(input "-" "")
    execute_process(COMMAND ${TOOL} script ${input} INPUT_FILE ${WORK}/one.script
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    expect("script '${input}'" "${status}" "${out}" "${err}" 0)
    if(NOT out MATCHES "^{[^\n]*\"recalculations\":3[,}][^\n]*}\n$")
        message(FATAL_ERROR "script '${input}' printed:\n${out}")
    endif()
endforeach()

# An input file that cannot be opened is named, in either mode.
foreach(mode script table)
    execute_process(COMMAND ${TOOL} ${mode} ${WORK}/absent.txt OUTPUT_VARIABLE out
                    ERROR_VARIABLE err RESULT_VARIABLE status)
    expect("${mode} absent" "${status}" "${out}" "${err}" 2)
    if(NOT out STREQUAL "" OR NOT err STREQUAL "cannot open '${WORK}/absent.txt'\n")
        message(FATAL_ERROR "${mode} absent printed '${out}' '${err}'")
    endif()
endforeach()

# Output that cannot be written (a full disk) is a failure, not a success.
execute_process(COMMAND ${TOOL} tarif OUTPUT_FILE /dev/full ERROR_VARIABLE err
                RESULT_VARIABLE status)
expect("tarif to a full disk" "${status}" "" "${err}" 2)
