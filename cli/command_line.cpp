#include "command_line.h"

#include <string_view>

namespace tarvo::cli {

std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string* error) {
    CommandLine line;
    GlobalOptions& o = line.options;
    int i = 1;
    auto value = [&](std::string_view name, std::string* out) {
        if (i + 1 >= argc) {
            *error = "option " + std::string(name) + " needs a value";
            return false;
        }
        *out = argv[++i];
        return true;
    };
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--yes" || arg == "-y") {
            o.yes = true;
        } else if (arg == "--prescribed-timing") {
            o.prescribedTiming = true;
        } else if (arg == "--simulate-fresh") {
            o.simulateFresh = true;
        } else if (arg == "--profile") {
            if (!value(arg, &o.profile))
                return std::nullopt;
        } else if (arg == "--port") {
            if (!value(arg, &o.port))
                return std::nullopt;
        } else if (arg == "--simulate") {
            if (!value(arg, &o.simulate))
                return std::nullopt;
        } else if (arg == "--device") {
            if (!value(arg, &o.device))
                return std::nullopt;
        } else if (arg == "--family") {
            if (!value(arg, &o.family))
                return std::nullopt;
            if (o.family != "lanmere" && o.family != "brakenholm") {
                *error = "--family takes lanmere or brakenholm";
                return std::nullopt;
            }
        } else if (arg.starts_with("-") && arg != "-") {
            *error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else {
            break;
        }
    }
    if (i < argc)
        line.command = argv[i++];
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.commandHelp = true;
        } else if (arg == "--yes" || arg == "-y") {
            o.yes = true;
        } else if (arg == "--json") {
            o.json = true;
        } else {
            line.args.emplace_back(arg);
        }
    }
    if (!o.device.empty() && !o.simulate.empty()) {
        *error = "--device and --simulate name two different printers; give one";
        return std::nullopt;
    }
    if (o.simulateFresh && o.simulate.empty()) {
        *error = "--simulate-fresh needs --simulate MODEL";
        return std::nullopt;
    }
    return line;
}

}  // namespace tarvo::cli
