#include "tarvo/base/processing_delay.h"

namespace tarvo {
namespace {

// Figures of the order a printer's controller takes: a status byte comes almost at once, the
// identification and the memory figures after a short look-up, the configuration and the
// directory listings after the printer has gathered them.
constexpr ProcessingDelay kEscapeLanguage[] = {
    {"\x05", 3},                                                 // <ENQ>: status
    {"\x1bM", 25},                                               // identification
    {"\x1bm", 10},                                               // memory
    {"\x1bO", 10},                                               // installed option
    {"\x1bp", 60},                                               // configuration
    {"\x1bv", 80}, {"\x1bu", 80}, {"\x1bx", 80}, {"\x1by", 80},  // listings
    {"\x1b.", 40},                                               // shell line
    {"", 5},
};

constexpr ProcessingDelay kScriptLanguage[] = {
    {"SYSVAR", 5},       {"PRINT VERSION$", 20},
    {"SETUP WRITE", 60},  // the whole setup listing
    {"FILES", 40},       {"", 10},
};

}  // namespace

std::span<const ProcessingDelay> ProcessingDelays(bool scriptLanguage) {
    if (scriptLanguage)
        return kScriptLanguage;
    return kEscapeLanguage;
}

int ProcessingDelayMs(bool scriptLanguage, std::string_view request) {
    for (const ProcessingDelay& row : ProcessingDelays(scriptLanguage)) {
        if (request.starts_with(row.request))
            return row.ms;
    }
    return 0;
}

}  // namespace tarvo
