#include "commands.h"

#include "frame_parser.h"
#include "models.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kShellPrefix = "\x1b.";

bool StartsCommand(char byte) {
    return byte == kEsc || byte == kSi || byte == kEnq;
}

std::string_view TrimLineEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    return text;
}

// "<ESC>.x,command": the printer runs a command line on its own shell. Only the question the
// host asks to tell the shell-equipped models apart is known here.
std::optional<std::string> AnswerShellLine(std::string_view line, const PrinterState& state) {
    constexpr std::string_view kExecute = "x,";
    if (line.substr(0, kExecute.size()) != kExecute)
        return std::nullopt;
    const std::string_view commandLine = TrimLineEnd(line.substr(kExecute.size()));
    const std::string_view platform = ShellPlatformName(state.model);
    if (commandLine != "uname -p" || platform.empty())
        return std::nullopt;
    return std::string(platform);
}

}  // namespace

std::vector<std::string_view> SplitCommands(std::string_view body) {
    std::vector<std::string_view> commands;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= body.size(); ++i) {
        const bool shellLine = body.substr(start, kShellPrefix.size()) == kShellPrefix;
        if (i == body.size() || (!shellLine && StartsCommand(body[i]))) {
            commands.push_back(body.substr(start, i - start));
            start = i;
        }
    }
    return commands;
}

std::optional<std::string> AnswerCommand(std::string_view command, const PrinterState& state,
                                         const Identity& identity) {
    if (command == "\x05") {
        return "0";  // status: ready, no error
    }
    // The auto-connect search asks without the 1 and must hear the same answer.
    if (command == "\x1bM" || command == "\x1bM1") {
        if (!identity.identReply.empty())
            return identity.identReply;
        return IdentificationReply(state.model, state.firmware, identity.programNumber);
    }
    if (command == "\x1bm") {
        return std::to_string(state.memoryTotalKb) + "," + std::to_string(state.memoryFreeKb);
    }
    if (command.substr(0, kShellPrefix.size()) == kShellPrefix) {
        return AnswerShellLine(command.substr(kShellPrefix.size()), state);
    }
    return std::nullopt;
}

}  // namespace tarvo::sim
