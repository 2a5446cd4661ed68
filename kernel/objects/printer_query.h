// One command and its answer on a connection of its own, as the directory listings and the
// shell services ask: the command framed (5 retries), PCUWait(250), one framed read into the
// context's reply buffer (5 retries, escapes removed), the buffer cleared and the connection
// closed, whatever happened in between.
#pragma once

#include <string>
#include <string_view>

#include "port/framing.h"

namespace tarvo {

struct QueryResult {
    // PCU_OK or PCU_ERR_CLOSE (the result of closing), or PCU_ERR_OPEN when the port could not be
    // opened (nothing was sent).
    int status = 0;
    int sysError = 0;   // the port status behind PCU_ERR_OPEN
    std::string reply;  // the answer, frame characters removed; empty when none came
};

// Sends `command` (control-character notation) and reads the answer. While it is on its way,
// `secret` (when not empty) is masked in the byte trace.
QueryResult QueryPrinter(LineContext& context, std::string_view command,
                         std::string_view secret = {});

}  // namespace tarvo
