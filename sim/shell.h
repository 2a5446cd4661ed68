// The command shell of the Lanmere models that run one, reached with "<ESC>.x," and a command
// line: the questions a host asks it, and the switch between its two users.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "printer_state.h"

namespace tarvo::sim {

// Runs one command line (what follows "<ESC>.x,") on the shell of `state`'s model. Returns
// what the shell prints, without a line end; nullopt when it prints nothing, as after a
// successful su, for commands it does not know, and on models without a shell.
// `networkInterface` is what $SETENV_OS{IFNAME} expands to.
std::optional<std::string> RunShellLine(std::string_view line, PrinterState* state,
                                        std::string_view networkInterface);

// "su NAME" or "su -p PASSWORD NAME" (the Brakenholm printers run the same switch): what it
// prints, or nullopt after a successful switch.
std::optional<std::string> SwitchShellUser(std::string_view commandLine, PrinterState* state);

}  // namespace tarvo::sim
