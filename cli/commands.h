// The commands of `tarvo`. Each returns the process exit status; errors go to stderr as one
// line.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"

namespace tarvo::cli {

struct Command {
    const char* name;
    const char* synopsis;  // arguments, for the usage line
    const char* summary;   // one line for the command list
    const char* help;      // the rest of `tarvo COMMAND --help`
    int (*run)(int ctx, const CommandLine& line);
    bool needsContext;
    // Serves escape-language (Lanmere) printers only; refused for a Brakenholm context.
    bool lanmereOnly = false;
    // Tries many ports itself: the context's port need not open beforehand.
    bool searchesPorts = false;
    // When set: true for the runs of the command that need no printer on the context's port
    // (a diff of two files, a push to other devices).
    bool (*runsOffline)(const CommandLine& line) = nullptr;
};

// Every command, in the order the usage lists them.
const std::vector<Command>& Commands();

// True when `command` can write what it shows as JSON (--json).
bool WritesJson(const Command& command);

// True when the command as given talks to the printer on the context's port, so that the port
// must open before it runs (not for commands that search ports themselves, nor for a diff of
// two files).
bool NeedsPrinter(const Command& command, const CommandLine& line);

// The command named `name`, or null.
const Command* FindCommand(const std::string& name);

}  // namespace tarvo::cli
