// Labels composed line by line on a simulated Brakenholm printer (CLL, PP, PT, PB, ... PF),
// the FONTS listing, and the head width the test prints ask for. What a label held is kept in
// the printer's list of printed labels when PF prints it, so that tests see exactly what came.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script_commands.h"

namespace tarvo::sim {

// The print head's width in dots: the identity's when set, else the model's.
int HeadDots(const ScriptContext& context);

// FUNCTEST "HEAD",WHEAD$: the head width into the interpreter's WHEAD$.
std::optional<std::string> HeadFunctionTest(std::string_view rest, ScriptContext& context);

// The FONTS listing: the resident fonts of the model's generation and the fonts stored on its
// devices, one name per line.
std::string FontsListing(const ScriptContext& context);

// Whether `keyword` starts a line of label statements.
bool IsLabelLine(std::string_view keyword);

// Takes a line of label statements (several joined by " : "): each is added to the label
// being composed; CLL clears it and PF prints it ("label: " and the statements joined by
// " | "). An image that is not stored is answered with an error and prints nothing.
std::optional<std::string> TakeLabelLine(std::string_view canonical, ScriptContext& context);

}  // namespace tarvo::sim
