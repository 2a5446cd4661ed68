// A simulated Brakenholm printer's own diagnostics: its function tests (FUNCTEST$), the
// print-head measurements (HEAD(n)), its status bits (PRSTAT) and the test feed, with the faults
// tests ask for (a dot out of tolerance, a status value).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script_commands.h"

namespace tarvo::sim {

// The answer to PRINT (or ?) `what` when it is one of the diagnostics (FUNCTEST$("..."),
// HEAD(n), PRSTAT); nullopt for anything else.
std::optional<std::string> PrintDiagnostics(std::string_view what, const ScriptContext& context);

// TESTFEED: feeds one label, recorded as "test feed" among the printed labels. Answers nothing.
std::optional<std::string> TestFeed(ScriptContext& context);

}  // namespace tarvo::sim
