#include "completion.h"

#include <cctype>
#include <string>
#include <vector>

#include "commands.h"
#include "desk/setting_catalog.h"

namespace tarvo::cli {
namespace {

// The global options and the values they take, as the usage lists them.
const std::vector<std::string> kGlobalOptions = {
    "--profile",           "--port", "--device", "--family", "--simulate", "--simulate-fresh",
    "--prescribed-timing", "--yes",  "--help",   "--version"};

bool TakesValue(const std::string& option) {
    return option == "--profile" || option == "--port" || option == "--device" ||
           option == "--family" || option == "--simulate";
}

std::vector<std::string> ValuesOf(const std::string& option) {
    if (option == "--port")
        return {"COM1", "COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"};
    if (option == "--family")
        return {"lanmere", "brakenholm"};
    if (option == "--simulate")
        return ModelNames();
    return {};  // a file or device path
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const Command& c : Commands())
        names.emplace_back(c.name);
    names.emplace_back("help");
    return names;
}

// The first word of each alternative of a synopsis ("get KEY | set KEY VALUE" gives get, set),
// where that word is a literal (lower case) rather than a placeholder.
std::vector<std::string> SubcommandsOf(const Command& command) {
    std::vector<std::string> words;
    const std::string synopsis = command.synopsis;
    std::size_t start = 0;
    while (start <= synopsis.size()) {
        std::size_t end = synopsis.find('|', start);
        if (end == std::string::npos)
            end = synopsis.size();
        std::size_t at = synopsis.find_first_not_of(" [", start);
        std::size_t stop = at;
        while (stop < end &&
               (std::islower(static_cast<unsigned char>(synopsis[stop])) || synopsis[stop] == '-'))
            ++stop;
        if (at < end && stop > at &&
            (stop == end || synopsis[stop] == ' ' || synopsis[stop] == ']'))
            words.push_back(synopsis.substr(at, stop - at));
        start = end + 1;
    }
    return words;
}

std::vector<std::string> SettingAssignments() {
    std::vector<std::string> names;
    for (const app::LanSetting& s : app::LanSettings())
        names.push_back(std::string(s.name) + "=");
    return names;
}

}  // namespace

int Complete(const CompletionRequest& request) {
    const std::string current = request.current();
    if (TakesValue(request.previous())) {
        PrintCompletions(ValuesOf(request.previous()), current);
        return 0;
    }
    // Find the command: the first word that is neither an option nor an option's value.
    std::size_t commandAt = 0;
    for (std::size_t i = 1; i < request.index && i < request.words.size(); ++i) {
        const std::string& word = request.words[i];
        if (TakesValue(word)) {
            ++i;
        } else if (!word.starts_with("-")) {
            commandAt = i;
            break;
        }
    }
    if (commandAt == 0) {
        PrintCompletions(current.starts_with("-") ? kGlobalOptions : CommandNames(), current);
        return 0;
    }
    const std::string& name = request.words[commandAt];
    if (name == "help") {
        PrintCompletions(CommandNames(), current);
        return 0;
    }
    const Command* command = FindCommand(name);
    if (command == nullptr)
        return 0;
    if (current.starts_with("-")) {
        PrintCompletions(OptionsInText(std::string(command->synopsis) + " " + command->help),
                         current);
    } else if (request.index == commandAt + 1) {
        PrintCompletions(SubcommandsOf(*command), current);
    } else if (name == "config" && request.words[commandAt + 1] == "set") {
        PrintCompletions(SettingAssignments(), current);
    }
    return 0;
}

}  // namespace tarvo::cli
