// Command-line parsing of `tarvo`: global options, then a command and its arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

struct GlobalOptions {
    std::string profile;   // --profile PATH
    std::string port;      // --port NAME
    std::string simulate;  // --simulate MODEL
    std::string device;    // --device PATH
    std::string family;    // --family lanmere|brakenholm
    bool simulateFresh = false;
    bool yes = false;               // --yes: never ask
    bool prescribedTiming = false;  // --prescribed-timing
    bool help = false;
    bool version = false;  // --version
    bool json = false;     // --json: what the command shows, as JSON
};

struct CommandLine {
    GlobalOptions options;
    std::string command;
    std::vector<std::string> args;
    bool commandHelp = false;  // --help after the command
};

// Parses argv. Returns nullopt with *error set for an unknown option or a missing value.
std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string* error);

}  // namespace tarvo::cli
