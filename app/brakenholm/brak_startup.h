// The printer's command modes and the program it runs: switching between the two command
// modes, and starting a resident program, after which the printer no longer answers this one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The two command modes, as version 0 names them.
inline constexpr std::string_view kScriptModeName = "Tallyscript";
inline constexpr std::string_view kLineModeName = "Swiftlane";

// Whether version 0 shows the printer in the Swiftlane mode (its first letter is that mode's).
bool InLineMode(std::string_view version0);

// Asks "PRINT VERSION$(0)" and keeps the answer (blanks collapsed) as version 0. Nullopt
// when the printer does not answer; the identity keeps what it held.
std::optional<std::string> ReadCommandMode(CBrakPrinter& printer);

// Switches to the other command mode ("INPUT OFF" from Swiftlane, else "INPUT ON", then
// "VERBOFF") and reads version 0 again into the identity. Returns the new version 0 text, or
// the failure (NoAnswer when the printer said nothing afterwards).
struct ModeSwitch {
    OpResult result;
    std::string version0;
};
ModeSwitch SwitchCommandMode(CBrakPrinter& printer);

enum class StartupProgram { WindowsDriver, Labelkit, UserApplication };

// The RUN line for a program, or why it cannot be sent. A user application is named "NAME" or
// "DEVICE:NAME" / "DEVICE:/NAME" with one of the printer's devices; the name must fit a quoted
// argument (no quote, control byte or path character, at most 30 characters).
struct RunLine {
    std::optional<std::string> line;
    std::string problem;
};
RunLine StartupRunLine(int generation, StartupProgram program, std::string_view application = {});

// Sends the RUN line. The printer then runs that program and stops answering: the caller ends
// its own work (the desktop closes through its save question). Refused when the name is not
// acceptable; nothing is sent then.
OpResult RunStartupProgram(CBrakPrinter& printer, StartupProgram program,
                           std::string_view application = {});

// The warning shown before a user application is started.
std::string UserApplicationWarning(std::string_view application);

}  // namespace tarvo::app
