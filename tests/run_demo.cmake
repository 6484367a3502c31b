# Runs quorvel-demo the way a user does: in a fresh folder with "logs/", showing its output line and
# its report. The demo ends by abort (SIGABRT) on purpose; anything else, or a wrong line, fails.
# Usage: cmake -DDEMO=<path to quorvel-demo> -DRUN_DIR=<folder> [-DEMULATOR=<words|...>]
#        -P run_demo.cmake
# The report's messages must be those of demo_report.txt, in order.
# EMULATOR: the command a cross build runs its programs with, its words separated by '|'.
file(REMOVE_RECURSE "${RUN_DIR}")
file(MAKE_DIRECTORY "${RUN_DIR}/logs")
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} "${DEMO}" WORKING_DIRECTORY "${RUN_DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("quorvel-demo printed: ${out}")
if(err)
    message("and on standard error: ${err}")
endif()
set(report "${RUN_DIR}/logs/quorvel.log")
if(EXISTS "${report}")
    file(READ "${report}" text)
    message("${report}:\n${text}")
else()
    message(FATAL_ERROR "quorvel-demo wrote no report at ${report}")
endif()
if(NOT result STREQUAL "Subprocess aborted")
    message(FATAL_ERROR "quorvel-demo should end by abort (SIGABRT); it ended with: ${result}")
endif()
if(NOT out STREQUAL "340282366604025813516997721482669850625\n")
    message(FATAL_ERROR "quorvel-demo printed the wrong line")
endif()
file(READ "${CMAKE_CURRENT_LIST_DIR}/demo_report.txt" want)
string(REGEX REPLACE "(^|\n)QUORVEL \\[[^]\n]*\\]: " "\\1" got "${text}")
if(NOT got STREQUAL want)
    message(FATAL_ERROR "the report's messages differ from ${CMAKE_CURRENT_LIST_DIR}/demo_report.txt")
endif()
string(REGEX MATCHALL "\n" ends "${text}")
list(LENGTH ends lines)
message("quorvel-demo ended by abort as expected, after a report of ${lines} lines.")
