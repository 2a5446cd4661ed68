# Writes the version header: the project's version, and `git describe` when the sources are a
# git checkout. Run at every build, the file is rewritten only when its text changes, so that
# only the few files that include it are compiled again.
execute_process(
    COMMAND git describe --tags --always --dirty
    WORKING_DIRECTORY ${SOURCE_DIR}
    OUTPUT_VARIABLE describe
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE failed)
set(text "${PROJECT_VERSION}")
if(NOT failed AND describe)
    set(text "${PROJECT_VERSION} (git ${describe})")
endif()
set(content "// Generated at build time; do not edit.\n#pragma once\n\nnamespace tarvo {\n\n// The program's version as the programs print it for --version.\ninline constexpr const char* kVersionText = \"${text}\";\n\n}  // namespace tarvo\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old)
    if(old STREQUAL content)
        return()
    endif()
endif()
file(WRITE ${OUTPUT} "${content}")
