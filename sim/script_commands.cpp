#include "script_commands.h"

#include <cctype>

#include "models.h"
#include "script_clock.h"
#include "script_config.h"
#include "script_diagnostics.h"
#include "script_files.h"
#include "script_labels.h"
#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kListingPort = "\"UART1:\"";

int DotsPerMm(int model) {
    return CapabilitiesOf(model).headDotsPerMm;
}

std::optional<std::string> SystemVariable(std::string_view number, const ScriptContext& context) {
    const int model = context.state.model;
    if (number == "20")
        return AnswerLine("0");
    if (number == "21")
        return AnswerLine(std::to_string(DotsPerMm(model)));
    if (number == "22")
        return AnswerLine(std::to_string(HeadDots(context)));
    if (number == "23") {
        // A ribbon is fitted when the printer is set for transfer printing.
        const auto paper = context.state.setup.find("MEDIA,PAPER TYPE");
        const bool ribbon = paper != context.state.setup.end() && paper->second == "TRANSFER";
        return AnswerLine(ribbon ? "1" : "0");
    }
    return std::nullopt;
}

std::optional<std::string> PrintClock(std::string_view what, const ScriptContext& context) {
    if (context.clockBroken && (what == "DATE$" || what == "TIME$"))
        return AnswerLine("Hardware error");
    const auto now = PrinterNow(context.state);
    if (what == "DATE$")
        return AnswerLine(FormatClock(now, "YYMMDD"));
    if (what == "TIME$")
        return AnswerLine(FormatClock(now, "hhmmss"));
    if (what == "DATE$(\"F\")")
        return AnswerLine(FormatClock(now, context.session.dateFormat));
    return std::nullopt;
}

std::optional<std::string> Print(std::string_view what, const ScriptContext& context) {
    const Identity& identity = context.identity;
    const int model = context.state.model;
    if (what == "VERSION$(0)")
        return AnswerLine(context.state.firmware);
    if (what == "VERSION$(1)")
        return AnswerLine(identity.identReply.empty() ? ModelName(model) : identity.identReply);
    if (what == "VERSION$(2)") {
        return AnswerLine(identity.programNumber.empty() ? ScriptProgramNumber(model)
                                                         : identity.programNumber);
    }
    if (what == "WHEAD$")
        return AnswerLine(context.session.headWidthVariable);
    constexpr std::string_view kSysvar = "SYSVAR(";
    if (StartsWith(what, kSysvar) && what.back() == ')')
        return SystemVariable(what.substr(kSysvar.size(), what.size() - kSysvar.size() - 1),
                              context);
    if (auto answer = PrintDiagnostics(what, context))
        return answer;
    return PrintClock(what, context);
}

// SYSVAR(18) is the printer's verbosity: at 0 it confirms nothing, which is why hosts put
// SYSVAR(18)=0 before each command whose answer they read; any other level confirms with "Ok".
std::optional<std::string> SetVerbosity(std::string_view level) {
    if (level.empty() || level.size() > 2 ||
        level.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return level == "0" || level == "00" ? std::nullopt : std::optional(AnswerLine("Ok"));
}

std::optional<std::string> Setup(std::string_view rest, ScriptContext& context) {
    if (rest == "WRITE " + std::string(kListingPort)) {
        std::string listing;
        for (const std::string& line :
             SetupListing(context.state.model, context.state.setup, context.line)) {
            listing += AnswerLine(line);
        }
        return listing;
    }
    const auto text = Quoted(rest);
    if (!text)
        return ErrorLine("SETUP wants \"path,value\" or WRITE \"UART1:\"");
    if (std::string reason =
            ApplySetupText(context.state.model, *text, &context.state.setup, &context.line);
        !reason.empty()) {
        return ErrorLine(reason);
    }
    return std::nullopt;
}

std::optional<std::string> SetClock(std::string_view canonical, ScriptContext& context) {
    const bool date = StartsWith(canonical, "DATE$=");
    const auto text = Quoted(canonical.substr(6));
    std::string reason = date ? "DATE$ wants a quoted date" : "TIME$ wants a quoted time";
    if (text) {
        reason =
            date ? SetPrinterDate(&context.state, *text) : SetPrinterTime(&context.state, *text);
    }
    return reason.empty() ? std::nullopt : std::optional(ErrorLine(reason));
}

std::optional<std::string> Format(std::string_view rest, ScriptContext& context) {
    if (StartsWith(rest, "DATE$")) {
        rest.remove_prefix(5);
        if (StartsWith(rest, " ") || StartsWith(rest, "="))
            rest.remove_prefix(1);
        const auto format = Quoted(rest);
        if (!format || !ValidDateFormat(*format))
            return ErrorLine("FORMAT DATE$ wants a format such as \"YYYYMMDD\"");
        context.session.dateFormat = std::string(*format);
        return std::nullopt;
    }
    // FORMAT "c:",A formats without asking, which is how a host always formats.
    if (rest.size() > 2 && rest.substr(rest.size() - 2) == ",A")
        rest.remove_suffix(2);
    const auto device = Quoted(rest);
    if (!device)
        return ErrorLine("FORMAT wants a quoted device");
    if (std::string reason = FormatDevice(&context.state, *device); !reason.empty())
        return ErrorLine(reason);
    return std::nullopt;
}

std::optional<std::string> Files(std::string_view rest, const ScriptContext& context) {
    const int model = context.state.model;
    bool withSystem = false;
    if (rest.size() >= 2 && rest.substr(rest.size() - 2) == ",A") {
        withSystem = true;
        rest.remove_suffix(2);
    }
    std::string_view device = MainDevice(model);
    if (!rest.empty()) {
        const auto quoted = Quoted(rest);
        if (!quoted)
            return ErrorLine("FILES wants a quoted device");
        device = *quoted;
    }
    if (!HasDevice(model, device))
        return ErrorLine("no device \"" + std::string(device) + "\"");
    return FilesListing(context.state, device, withSystem);
}

// RUN "device:program" starts a stored program, which says nothing; any other RUN "line goes
// to the printer's shell.
std::optional<std::string> Run(std::string_view rest, ScriptContext& context) {
    if (rest.empty() || rest.front() != '"')
        return std::nullopt;
    rest.remove_prefix(1);
    if (!rest.empty() && rest.back() == '"')
        rest.remove_suffix(1);
    if (rest.find(':') != std::string_view::npos && rest.find(' ') == std::string_view::npos)
        return std::nullopt;
    return RunScriptShell(rest, context);
}

// The printer restarts: the interpreter forgets its session, and firmware received since the
// last start runs from now on.
std::optional<std::string> Reboot(ScriptContext& context) {
    if (!context.session.pendingFirmware.empty())
        context.state.firmware = context.session.pendingFirmware;
    context.session = ScriptSession{};
    return std::nullopt;
}

// The commands that take what follows their keyword and a blank.
std::optional<std::string> Keyword(std::string_view canonical, ScriptContext& context) {
    const std::size_t blank = std::min(canonical.find(' '), canonical.size());
    const std::string_view keyword = canonical.substr(0, blank);
    const std::string_view rest = canonical.substr(std::min(blank + 1, canonical.size()));
    if (keyword == "PRINT" || keyword == "?")
        return Print(rest, context);
    if (keyword == "SETUP")
        return Setup(rest, context);
    if (keyword == "FORMAT")
        return Format(rest, context);
    if (keyword == "FILES")
        return Files(rest, context);
    if (keyword == "RUN")
        return Run(rest, context);
    if (keyword == "IMAGES" && rest.empty()) {
        std::string listing;
        for (const auto& [name, size] : context.state.images)
            listing += AnswerLine(name + "  " + std::to_string(size));
        return listing.empty() ? AnswerLine("No images") : listing;
    }
    if (keyword == "TESTFEED" && rest.empty())
        return TestFeed(context);
    if (keyword == "REBOOT" && rest.empty())
        return Reboot(context);
    if (keyword == "FUNCTEST")
        return HeadFunctionTest(rest, context);
    if (keyword == "FONTS" && rest.empty())
        return FontsListing(context);
    if (IsLabelLine(keyword))
        return TakeLabelLine(canonical, context);
    return std::nullopt;
}

}  // namespace

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::string_view> Quoted(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    if (text.find('"') != std::string_view::npos)
        return std::nullopt;
    return text;
}

std::string AnswerLine(std::string_view text) {
    std::string answer(text);
    answer += kLineEnd;
    return answer;
}

std::string ErrorLine(std::string_view reason) {
    return AnswerLine("Error: " + std::string(reason));
}

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

std::optional<std::string> AnswerScriptLine(std::string_view line, ScriptContext& context) {
    const std::string canonical = CanonicalScriptLine(line);
    if (TestLabelAnswer answer = AnswerTestLabelLine(line, canonical, context); answer.handled)
        return answer.reply;
    constexpr std::string_view kVerbosity = "SYSVAR(18)=";
    if (StartsWith(canonical, kVerbosity))
        return SetVerbosity(std::string_view(canonical).substr(kVerbosity.size()));
    if (StartsWith(canonical, "DATE$=") || StartsWith(canonical, "TIME$="))
        return SetClock(canonical, context);
    if (IsConfigLine(canonical, context))
        return AnswerConfigLine(canonical, context);
    return Keyword(canonical, context);
}

}  // namespace tarvo::sim
