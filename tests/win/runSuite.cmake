# Runs a GoogleTest program under the emulator and passes only when the
# program exits 0 and its summary says that every test it ran passed, and
# that it ran some: wine64 given a 32-bit program, for one, runs nothing and
# exits 0.
#   cmake "-DEMULATOR=wine-run.sh;--i386" -DPROGRAM=tq_win_tests.exe
#         -DFILTER=Suite.* -P runSuite.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --gtest_filter=${FILTER}
    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
message("${output}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} exited with ${status}")
endif()
if(NOT output MATCHES "\n\\[  PASSED  \\] [1-9][0-9]* tests?\\." OR output MATCHES "\\[  FAILED  \\]")
    message(FATAL_ERROR "${PROGRAM} did not report its tests passed")
endif()
