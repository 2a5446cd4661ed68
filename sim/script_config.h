// The printer's file housekeeping, command modes and resident programs: KILL (also of a bare
// name in the current device), CHDIR, REMOVE IMAGE, INPUT ON/OFF, VERBOFF, version 0 in the
// Swiftlane mode, and RUN of a stored program, after which the printer answers no more.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script_commands.h"

namespace tarvo::sim {

// Whether a canonical line is one of those above, in the printer's present mode.
bool IsConfigLine(std::string_view canonical, const ScriptContext& context);

// The answer to such a line, as AnswerScriptLine gives it.
std::optional<std::string> AnswerConfigLine(std::string_view canonical, ScriptContext& context);

}  // namespace tarvo::sim
