// The commands a simulated printer understands inside a framed message, and its answers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer_engine.h"
#include "printer_state.h"

namespace tarvo::sim {

// Cuts a message body into commands: each <ESC>, <SI> or <ENQ> starts a new one, except that a
// shell line (<ESC>.) runs to the end of the message. Bytes before the first command form a
// command of their own (which nobody understands).
std::vector<std::string_view> SplitCommands(std::string_view body);

// The text the printer answers to one command, without preamble and postamble; nullopt when it
// stays silent (unknown commands, questions this model has no answer for).
std::optional<std::string> AnswerCommand(std::string_view command, const PrinterState& state,
                                         const Identity& identity);

}  // namespace tarvo::sim
