// The setup tree of a Brakenholm printer: every setting a path of comma-separated keys, set by
// a SETUP line and listed by SETUP WRITE. The older firmware ("6.13") and the newer one ("7.12")
// keep different trees; within "6.13" the smallest models (generation 0) lack the memory
// settings. The serial settings of UART1 are not kept in the tree: they are the printer's line.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// Path -> value of every setting the tree keeps (the line's own settings excepted).
using SetupValues = std::map<std::string, std::string, std::less<>>;

// 0 for 730 and M9, 2 for 780KS and 880KS, 3 for G3 .. TQ8e, 1 for the rest.
int SetupGeneration(int model);
// "6.13" or "7.12".
std::string_view SetupTreeVersion(int model);

// The factory values of the model's tree.
SetupValues DefaultSetup(int model);

// Checks one "path,value" text (what a SETUP line quotes) against the model's tree and applies
// it to *values and *line. Paths and choices are matched in any case and stored in the tree's
// own spelling. Returns empty, or why it was refused (then nothing changed).
std::string ApplySetupText(int model, std::string_view text, SetupValues* values,
                           LineSettings* line);

// Checks one value for `path` as a state file gives it; serial settings of the line are not
// kept there. Returns empty or the reason.
std::string CheckStoredSetting(int model, std::string_view path, std::string_view value);

// Sets the flow-control flags as `protocol` has them, unless they already lead to it: a printer
// started on a line keeps flags that fit that line.
void MatchFlagsToProtocol(Protocol protocol, SetupValues* values);

// The listing of SETUP WRITE: "path,value" lines in the printer's order, without line ends.
// Flow-control flags that contradict the line's protocol are shown as the protocol has them.
std::vector<std::string> SetupListing(int model, const SetupValues& values,
                                      const LineSettings& line);

// The value the listing shows for `path` (the second of two NEW SUPPLIES values after a ";"),
// nullopt for a path the tree does not have.
std::optional<std::string> SetupValue(int model, const SetupValues& values,
                                      const LineSettings& line, std::string_view path);

}  // namespace tarvo::sim
