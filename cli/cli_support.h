// Helpers every command of `tarvo` shares: errors, questions, and how ports and lines are
// named on the screen.
#pragma once

#include <string>

#include "command_line.h"
#include "tarvo/types.h"

namespace tarvo::cli {

// Exit status for a command used the wrong way.
inline constexpr int kUsage = 2;

// Prints "tarvo: error: <message>" on stderr and returns `status`.
int Fail(const std::string& message, int status = 1);

// The context's last recorded error code.
int LastErrorCode(int ctx);

// The name of the context's port ("COM1"), "?" when it has none.
std::string PortOf(int ctx);

// A line as people read it: "COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, XON/XOFF".
std::string DescribeLine(const commState& c);

// A profile value, or `fallback`.
std::string ProfileString(const char* key, const char* fallback);

// `text` with quotes and backslashes escaped, for a JSON string.
std::string JsonEscape(const std::string& text);

// Asks before changing a printer, but only a person at a terminal (and not with --yes);
// scripts are never held up. True to go ahead.
bool Confirm(const CommandLine& line, const std::string& question);

}  // namespace tarvo::cli
