# The one way to register a benchmark. scripts/bench runs every benchmark registered, in the order
# registered, and writes BENCHMARKS.md from their results: a section per benchmark with its TITLE,
# the text of its NOTES file (what is measured, how) and the Markdown table the benchmark prints.
#
#   simcredit_benchmark(NAME TITLE text [NOTES file] SOURCES ... LIBS ... [DEFINITIONS ...])
#       a Google Benchmark executable; it prints its table to --summary=FILE.
#   simcredit_benchmark_script(NAME TITLE text [NOTES file] COMMAND program args...)
#       a measurement by a program of its own; it prints its table on standard output, and runs
#       shorter when SIMCREDIT_BENCH_QUICK is 1.
#
# The list is written to <build>/benchmarks.list, one benchmark a line:
#   name|kind|title|notes file|program [args...]
find_package(benchmark REQUIRED)

function(simcredit_benchmark_entry name kind title notes command)
    if(notes)
        set(notes ${CMAKE_CURRENT_SOURCE_DIR}/${notes})
    endif()
    set_property(GLOBAL APPEND PROPERTY SIMCREDIT_BENCHMARKS
                 "${name}|${kind}|${title}|${notes}|${command}")
endfunction()

# Written once, when the whole project has been read, whichever folder registered what.
function(simcredit_write_benchmarks)
    get_property(entries GLOBAL PROPERTY SIMCREDIT_BENCHMARKS)
    list(JOIN entries "\n" content)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/benchmarks.list CONTENT "${content}\n")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL simcredit_write_benchmarks)

function(simcredit_benchmark name)
    cmake_parse_arguments(PARSE_ARGV 1 B "" "TITLE;NOTES" "SOURCES;LIBS;DEFINITIONS")
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
    target_compile_definitions(${name} PRIVATE ${B_DEFINITIONS})
    simcredit_warnings(${name})
    simcredit_benchmark_entry(${name} google "${B_TITLE}" "${B_NOTES}" "$<TARGET_FILE:${name}>")
endfunction()

function(simcredit_benchmark_script name)
    cmake_parse_arguments(PARSE_ARGV 1 B "" "TITLE;NOTES" "COMMAND")
    list(JOIN B_COMMAND " " command)
    simcredit_benchmark_entry(${name} script "${B_TITLE}" "${B_NOTES}" "${command}")
endfunction()
