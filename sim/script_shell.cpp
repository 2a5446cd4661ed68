// The shell behind RUN: the user switch that every Brakenholm printer has, and the memory report
// and setup store of the "7.12" firmware.
#include <cstdio>
#include <utility>

#include "script_commands.h"
#include "script_files.h"
#include "shell.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kSavedSetup = "rom:.setup.saved";
// The heap of the "7.12" firmware; nothing the simulated printer does uses it up.
constexpr unsigned long kHeapFree = 5'767'168;
constexpr unsigned long kHeapAllocated = 2'621'440;

std::string MemoryReport() {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Total free to malloc(): %lu\r\n"
                  "Sum of allocated memory: %lu\r\n",
                  kHeapFree, kHeapAllocated);
    return text;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// "setup r FILE" reads a stored setup (only the factory one is kept); "setup w" puts what was
// read in force. The serial settings stay as they are, so the host keeps its line.
std::optional<std::string> SetupStore(std::string_view arguments, ScriptContext& context) {
    if (arguments == "w") {
        if (context.session.readSetup)
            context.state.setup = *std::exchange(context.session.readSetup, std::nullopt);
        return std::nullopt;
    }
    if (arguments.substr(0, 2) == "r ") {
        const std::string_view file = Trimmed(arguments.substr(2));
        if (file != kSavedSetup)
            return ErrorLine("setup: cannot read " + std::string(file));
        context.session.readSetup = DefaultSetup(context.state.model);
        return std::nullopt;
    }
    return ErrorLine("setup: usage: setup r FILE | setup w");
}

}  // namespace

// The shell ends every line it runs with its verdict, whatever the interpreter's verbosity:
// "Ok" after the command's output when it succeeded, the command's complaint when it failed.
// A command that prints nothing (su, setup w) still answers, so that a host can tell a printer
// that ran the line from one that never heard it.
std::string Verdict(std::string output) {
    return output + AnswerLine("Ok");
}

std::string Complaint(std::string_view text) {
    return AnswerLine(text);
}

std::string RunScriptShell(std::string_view command, ScriptContext& context) {
    command = Trimmed(command);
    const bool newFirmware = SetupGeneration(context.state.model) >= 2;
    if (command == "whoami")
        return Verdict(AnswerLine(context.state.shellUser));
    if (command.substr(0, 3) == "su " || command == "su") {
        const auto complaint = SwitchShellUser(command, &context.state);
        return complaint ? Complaint(*complaint) : Verdict({});
    }
    if (newFirmware && command == "meminfo -a")
        return Verdict(MemoryReport());
    if (newFirmware && command.substr(0, 6) == "setup ") {
        const auto complaint = SetupStore(Trimmed(command.substr(6)), context);
        return complaint ? *complaint : Verdict({});
    }
    const std::string_view name = command.substr(0, command.find(' '));
    return Complaint("sh: " + std::string(name) + ": not found");
}

}  // namespace tarvo::sim
