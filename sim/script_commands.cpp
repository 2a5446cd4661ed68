#include "script_commands.h"

#include <cctype>

#include "models.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string AnswerLine(std::string_view text) {
    std::string answer(text);
    answer += kLineEnd;
    return answer;
}

}  // namespace

std::string CanonicalScriptLine(std::string_view line) {
    std::string canonical;
    bool quoted = false;
    bool blankPending = false;
    for (char c : line) {
        if (!quoted && (c == ' ' || c == '\t')) {
            blankPending = !canonical.empty();
            continue;
        }
        if (blankPending) {
            canonical += ' ';
            blankPending = false;
        }
        if (c == '"')
            quoted = !quoted;
        canonical += quoted ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return canonical;
}

std::optional<std::string> AnswerScriptLine(std::string_view line, const PrinterState& state,
                                            const Identity& identity) {
    const std::string canonical = CanonicalScriptLine(line);
    // The host's verbose switch: the printer confirms it, which is how a host knows that a
    // script-language printer is listening.
    if (canonical == "SYSVAR(18)=2")
        return AnswerLine("Ok");
    if (canonical == "PRINT VERSION$(0)")
        return AnswerLine(state.firmware);
    if (canonical == "PRINT VERSION$(1)") {
        return AnswerLine(identity.identReply.empty() ? ModelName(state.model)
                                                      : identity.identReply);
    }
    if (canonical == "PRINT VERSION$(2)") {
        return AnswerLine(identity.programNumber.empty() ? ScriptProgramNumber(state.model)
                                                         : identity.programNumber);
    }
    return std::nullopt;
}

}  // namespace tarvo::sim
