// The Tallyscript lines a simulated Brakenholm printer understands, and its answers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "printer_engine.h"
#include "printer_state.h"

namespace tarvo::sim {

// A line as the interpreter reads it: keywords in capitals, runs of blanks as one blank and
// none at either end, quoted text ("c:") kept exactly.
std::string CanonicalScriptLine(std::string_view line);

// The bytes the printer sends back for one line (line end removed, any leading <DC1> already
// taken off), CR LF included; nullopt when it answers nothing.
std::optional<std::string> AnswerScriptLine(std::string_view line, const PrinterState& state,
                                            const Identity& identity);

}  // namespace tarvo::sim
