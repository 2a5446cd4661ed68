# Runs one fuzzer for a bounded time over a fresh copy of its seed corpus.
#   cmake -DFUZZER=path -DCORPUS=dir -DWORK_DIR=dir -DSECONDS=n -P run_fuzzer.cmake
# New inputs the fuzzer finds go into the copy; a crashing input is kept in WORK_DIR/artifacts.
foreach(variable FUZZER CORPUS WORK_DIR SECONDS)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "run_fuzzer.cmake: ${variable} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus ${WORK_DIR}/artifacts)
file(GLOB seeds ${CORPUS}/*)
if(NOT seeds)
    message(FATAL_ERROR "no seed inputs in ${CORPUS}")
endif()
file(COPY ${seeds} DESTINATION ${WORK_DIR}/corpus)

execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=5 -print_final_stats=1
            -artifact_prefix=${WORK_DIR}/artifacts/ ${WORK_DIR}/corpus
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "fuzzer failed (${result}); the input is in ${WORK_DIR}/artifacts")
endif()
