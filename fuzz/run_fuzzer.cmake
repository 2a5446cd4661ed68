# Runs one fuzzer over a fresh copy of its seed corpus: every seed first (crash-* seeds are the
# inputs that once failed), then RUNS inputs more from random seed SEED, the same on every run.
#   cmake -DFUZZER=path -DCORPUS=dir -DWORK_DIR=dir -DRUNS=n -DSEED=n -P run_fuzzer.cmake
# New inputs the fuzzer finds go into the copy. An input that fails is kept twice: in
# WORK_DIR/artifacts, and in CORPUS as crash-<hash>, so that every later run replays it.
foreach(variable FUZZER CORPUS WORK_DIR RUNS SEED)
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
    COMMAND ${FUZZER} -seed=${SEED} -runs=${RUNS} -timeout=30 -print_final_stats=1
            -artifact_prefix=${WORK_DIR}/artifacts/ ${WORK_DIR}/corpus
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(GLOB failed ${WORK_DIR}/artifacts/*)
    set(kept "")
    foreach(input ${failed})
        file(SHA1 ${input} hash)
        set(target ${CORPUS}/crash-${hash})
        if(NOT EXISTS ${target})
            file(COPY_FILE ${input} ${target} RESULT copied)
            if(copied EQUAL 0)
                list(APPEND kept ${target})
            endif()
        endif()
    endforeach()
    if(NOT kept)
        set(kept "(a seed already there)")
    endif()
    message(FATAL_ERROR "fuzzer failed (${result}); the input is in ${WORK_DIR}/artifacts"
                        " and kept for replay as: ${kept}")
endif()
