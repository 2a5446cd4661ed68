// The configuration as text: the printer's reply to <ESC>p and the numbers of its <SI>
// commands, and the changes those commands make when a host or a test sends them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer_state.h"

namespace tarvo::sim {

// "1,420", "?": numbers as a reply writes them, '?' for an unknown value.
std::string ConfigNumbers(const std::vector<ConfigValue>& values);

// Parses comma-separated numbers ("-5", "1,420"); '?' is taken as unknown only when
// `allowUnknown`. False for anything else, an empty text included.
bool ParseConfigNumbers(std::string_view text, bool allowUnknown, std::vector<ConfigValue>* values);

// Sets a kept setting as a test or the state file may: within the model's domain, whether or
// not the model offers it. Returns empty, or why not (state unchanged).
std::string SetSettingValue(PrinterState* state, int setting, ConfigValue value);

// The reply to <ESC>p: every <SI> command the model carries with its value, then <SYN>, <SOH>,
// <EOT>, the status reporting commands and <ESC><SYN>, each ended by ';', and <ETX>.
// Control bytes inside a value are escaped with <DLE>.
std::string ConfigurationReply(const PrinterState& state, const LineSettings& line);

// The numbers that follow <SI> and `letter` in that reply; empty for a letter it lacks.
std::vector<ConfigValue> LetterValues(const PrinterState& state, const LineSettings& line,
                                      char letter);

// Sets all the numbers of an <SI> command as SetSettingValue() does ('P' is refused: the line
// gives it). Returns empty, or why not (state unchanged).
std::string SetLetterValues(PrinterState* state, char letter,
                            const std::vector<ConfigValue>& values);

// A host's <SI> command: `letter` and the text up to its end. Settings the model does not
// offer keep their values; a malformed command or a value outside its domain changes nothing.
// <SI>P switches the line: *newLine receives the settings to use from now on. Returns empty,
// or why nothing changed.
std::string ApplyShiftCommand(PrinterState* state, const LineSettings& line, char letter,
                              std::string_view arguments, std::optional<LineSettings>* newLine);

// A host's value for one of the settings the other configuration commands carry (<SYN>,
// <ESC><SYN>, <SOH>, <EOT>, <ESC>j, d, e, k), under the same rules.
std::string ApplyHostValue(PrinterState* state, int setting, int value);

}  // namespace tarvo::sim
