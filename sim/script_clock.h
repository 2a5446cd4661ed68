// The clock of a Brakenholm printer. It runs with the computer's clock, at an offset that the
// host's DATE$= and TIME$= lines (and tests) change; the offset is what the state file keeps.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "printer_state.h"

namespace tarvo::sim {

std::chrono::sys_seconds PrinterNow(const PrinterState& state);
void SetPrinterNow(PrinterState* state, std::chrono::sys_seconds when);

// DATE$="YYMMDD" and TIME$="HHMMSS": the other half of the clock keeps running. Returns empty,
// or why the text is refused (the clock unchanged).
std::string SetPrinterDate(PrinterState* state, std::string_view yymmdd);
std::string SetPrinterTime(PrinterState* state, std::string_view hhmmss);

// `format` with YYYY, YY, MM, DD, hh, mm and ss replaced by the fields of `when`; other
// characters stay as they are ("YYMMDD" gives the answer to PRINT DATE$).
std::string FormatClock(std::chrono::sys_seconds when, std::string_view format);

// A date format as FORMAT DATE$ takes it: 1..16 characters of the field letters, digits
// aside, and the separators "/-. ".
bool ValidDateFormat(std::string_view format);

}  // namespace tarvo::sim
