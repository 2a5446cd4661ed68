#include "cli_support.h"

#include <unistd.h>

#include <iostream>

#include "port/port_names.h"
#include "shell/terminal_prompt.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {

int Fail(const std::string& message, int status) {
    std::cerr << "tarvo: error: " << message << "\n";
    return status;
}

int LastErrorCode(int ctx) {
    return PCUErrInfo(ctx, nullptr, nullptr, nullptr);
}

std::string PortOf(int ctx) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    const std::string name = PortName(comm.port);
    return name.empty() ? "?" : name;
}

std::string DescribeLine(const commState& c) {
    static constexpr const char* kParity[] = {"Even", "Odd", "None", "Mark", "Space"};
    static constexpr const char* kProtocol[] = {"XON/XOFF", "Standard", "RTS/CTS", "Parallel"};
    const bool known = c.parity >= 0 && c.parity <= 4 && c.protocol >= 0 && c.protocol <= 3;
    if (!known)
        return PortName(c.port) + " (unknown settings)";
    if (c.protocol == PCU_PROTOCOL_PARALLEL)
        return PortName(c.port) + " (parallel)";
    return PortName(c.port) + " " + std::to_string(c.baud) + " baud, " +
           std::to_string(c.dataBits) + " data bits, " + kParity[c.parity] + " parity, " +
           std::to_string(c.stopBits) + " stop bit" + (c.stopBits == 1 ? "" : "s") + ", " +
           kProtocol[c.protocol];
}

std::string ProfileString(const char* key, const char* fallback) {
    char value[4096];
    PCUGetProfileString("Communications", key, fallback, value, sizeof value, 0);
    return value;
}

std::string JsonEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

bool Confirm(const CommandLine& line, const std::string& question) {
    if (line.options.yes || !::isatty(STDIN_FILENO))
        return true;
    app::TerminalPrompt prompt;
    const app::Question ask{"Tarvo", question, app::PromptButtons::YesNo, app::PromptIcon::Question,
                            app::PromptAnswer::No};
    return prompt.Ask(ask) == app::PromptAnswer::Yes;
}

}  // namespace tarvo::cli
