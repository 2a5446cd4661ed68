#include "shell.h"

#include <vector>

#include "models.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kExecute = "x,";

std::string_view TrimLineEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while ((start = line.find_first_not_of(' ', start)) != std::string_view::npos) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end;
    }
    return words;
}

// "$SETENV_OS{NAME}" is the shell's way to read a printer setting; only the interface name is
// known here, and other names read as empty.
std::string Expand(std::string_view text, std::string_view networkInterface) {
    constexpr std::string_view kOpen = "$SETENV_OS{";
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t found = text.find(kOpen, at);
        const std::size_t close =
            found == std::string_view::npos ? found : text.find('}', found + kOpen.size());
        if (close == std::string_view::npos) {
            expanded += text.substr(at);
            break;
        }
        expanded += text.substr(at, found - at);
        const std::string_view name =
            text.substr(found + kOpen.size(), close - found - kOpen.size());
        if (name == "IFNAME")
            expanded += networkInterface;
        at = close + 1;
    }
    return expanded;
}

// "su NAME" or "su -p PASSWORD NAME". Only the administrator has a password; asking for it
// without one fails, since nobody can type it into a command line.
std::optional<std::string> SwitchUser(const std::vector<std::string_view>& words,
                                      PrinterState* state) {
    const bool withPassword = words.size() == 4 && words[1] == "-p";
    if (words.size() != 2 && !withPassword)
        return "usage: su [-p PASSWORD] NAME";
    const std::string_view name = words.back();
    if (name == kPlainUser) {
        state->shellUser = kPlainUser;
        return std::nullopt;
    }
    if (name != kAdminUser)
        return "su: unknown user " + std::string(name);
    if (!withPassword || words[2] != state->adminPassword)
        return "su: Authentication failure";
    state->shellUser = kAdminUser;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> SwitchShellUser(std::string_view commandLine, PrinterState* state) {
    return SwitchUser(Words(TrimLineEnd(commandLine)), state);
}

std::optional<std::string> RunShellLine(std::string_view line, PrinterState* state,
                                        std::string_view networkInterface) {
    const std::string_view platform = ShellPlatformName(state->model);
    if (line.substr(0, kExecute.size()) != kExecute || platform.empty())
        return std::nullopt;
    const std::string_view commandLine = TrimLineEnd(line.substr(kExecute.size()));
    const std::vector<std::string_view> words = Words(commandLine);
    if (words.empty())
        return std::nullopt;
    if (commandLine == "uname -p")
        return std::string(platform);
    if (commandLine == "whoami")
        return state->shellUser;
    if (words[0] == "echo" && words.size() > 1) {
        const auto start = static_cast<std::size_t>(words[1].data() - commandLine.data());
        return Expand(commandLine.substr(start), networkInterface);
    }
    if (words[0] == "su")
        return SwitchUser(words, state);
    return std::nullopt;
}

}  // namespace tarvo::sim
