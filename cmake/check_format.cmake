# Reports every source file that clang-format would change.
file(GLOB_RECURSE files ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp
     ${ROOT}/bench/*.cpp ${ROOT}/tools/*.cpp ${ROOT}/fuzz/*.cpp ${ROOT}/fuzz/*.h)
set(bad "")
foreach(f ${files})
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${f} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0)
        list(APPEND bad ${f})
    endif()
endforeach()
if(bad)
    string(REPLACE ";" "\n" bad "${bad}")
    message(FATAL_ERROR "not formatted (run clang-format -i):\n${bad}")
endif()
