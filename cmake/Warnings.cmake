# Applies the project's warning flags to one target; SIMCREDIT_WERROR turns them into errors (CI).
option(SIMCREDIT_WERROR "Treat warnings as errors" OFF)

function(simcredit_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(SIMCREDIT_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
