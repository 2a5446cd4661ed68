# The manual pages of the three programs, written at build time from their own --help and
# --version, so a page can never tell of an option the program lacks. Needs help2man; without
# it the build goes on without pages.
find_program(TARVO_HELP2MAN help2man)
if(NOT TARVO_HELP2MAN)
    message(STATUS "help2man not found: the manual pages are not built")
    return()
endif()

set(TARVO_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(pages)
foreach(entry
        "tarvo|configure thermal label printers from the command line"
        "tarvo32|configure thermal label printers"
        "tarvo-printersim|a simulated thermal label printer on a pseudo-terminal")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 summary)
    set(page ${TARVO_MAN_DIR}/${program}.1)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_MAN_DIR}
        COMMAND ${TARVO_HELP2MAN} --no-info --section=1 "--name=${summary}"
                --output=${page} $<TARGET_FILE:${program}>
        DEPENDS ${program}
        COMMENT "Manual page of ${program}"
        VERBATIM)
    list(APPEND pages ${page})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${pages})
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
