// `tarvo line set`: moves the printer and this computer to other line settings together.
#include <iostream>
#include <map>
#include <string>

#include "cli_support.h"
#include "command_runs.h"
#include "desk/line_change.h"
#include "desk/setting_catalog.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr int kInterrupted = 130;
constexpr int kPinSettings[] = {36, 37};

// Reads KEY=VALUE into *line. Returns an empty text, or why the word cannot be read.
std::string TakeWord(const std::string& word, app::SerialLine* line) {
    static const std::map<std::string, int> kParities = {
        {"N", PCU_PARITY_NONE},    {"E", PCU_PARITY_EVEN},    {"O", PCU_PARITY_ODD},
        {"none", PCU_PARITY_NONE}, {"even", PCU_PARITY_EVEN}, {"odd", PCU_PARITY_ODD}};
    static const std::map<std::string, int> kProtocols = {{"standard", PCU_PROTOCOL_STANDARD},
                                                          {"xonxoff", PCU_PROTOCOL_XONXOFF}};
    const auto eq = word.find('=');
    const std::string key = word.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
    const auto number = [&value](int* out) {
        if (value.empty() || value.size() > 6 ||
            value.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *out = std::stoi(value);
        return true;
    };
    if (key == "baud" && number(&line->baud))
        return {};
    if (key == "data" && number(&line->dataBits))
        return {};
    if (key == "stop" && number(&line->stopBits))
        return {};
    if (key == "parity" && kParities.count(value) != 0) {
        line->parity = kParities.at(value);
        return {};
    }
    if (key == "protocol" && kProtocols.count(value) != 0) {
        line->protocol = kProtocols.at(value);
        return {};
    }
    return "'" + word + "' is not baud=N, parity=N|E|O, data=7|8, stop=1|2 or " +
           "protocol=standard|xonxoff";
}

// The handshake pins the printer keeps, from its configuration; false after saying why.
bool ReadPins(int ctx, int pins[2]) {
    IdentifiedPrinter p;
    if (!IdentifyLanmere(ctx, &p) || !ReadPrinterConfiguration(ctx))
        return false;
    const app::LanValues values = app::ReadKernelValues(ctx);
    for (int i = 0; i < 2; ++i) {
        const int setting = kPinSettings[i];
        pins[i] = propCfgSupport(p.model, setting, p.firmware.c_str()) == 1
                      ? values[static_cast<std::size_t>(setting)]
                      : 0;
    }
    return true;
}

int Report(const app::LineMoveResult& r, const commState& from, const commState& to) {
    switch (r.outcome) {
        case app::LineMove::Unchanged:
            std::cout << "Already on " << DescribeLine(to) << "; nothing changed.\n";
            return 0;
        case app::LineMove::Moved:
            std::cout << "The printer answers on " << DescribeLine(to)
                      << "; the profile names that line now.\n";
            return 0;
        case app::LineMove::Refused:
            return Fail(r.detail, kUsage);
        case app::LineMove::Failed:
            return Fail(r.detail);
        case app::LineMove::NoAnswer:
        case app::LineMove::Cancelled:
            break;
    }
    const std::string where = r.oldLineAnswers
                                  ? "where the printer still answers"
                                  : "where the printer does not answer either; check its line";
    const std::string what = r.outcome == app::LineMove::Cancelled
                                 ? "cancelled"
                                 : "the printer did not answer on " + DescribeLine(to);
    Fail(what + (r.detail.empty() ? "" : " (" + r.detail + ")") + "; this computer is back on " +
         DescribeLine(from) + ", " + where);
    return r.outcome == app::LineMove::Cancelled ? kInterrupted : 1;
}

int Set(int ctx, const CommandLine& line) {
    commState from{};
    PCUGetCommState(ctx, &from);
    app::SerialLine wanted = app::SerialLineOf(from);
    for (std::size_t i = 1; i < line.args.size(); ++i) {
        if (const std::string why = TakeWord(line.args[i], &wanted); !why.empty())
            return Fail(why, kUsage);
    }
    commState to = from;
    to.baud = wanted.baud;
    to.parity = wanted.parity;
    to.dataBits = wanted.dataBits;
    to.stopBits = wanted.stopBits;
    to.protocol = wanted.protocol;
    if (wanted == app::SerialLineOf(from))
        return Report({}, from, to);
    int pins[2] = {0, 0};
    const bool printerToo = app::PrinterCommandCarries(app::SerialLineOf(from), wanted);
    if (printerToo && from.port < PCU_PORT_LPT1 && app::SerialLineProblem(wanted).empty() &&
        !ReadPins(ctx, pins))
        return 1;
    if (!printerToo) {
        std::cout << "The printer cannot be told rates below 1200 or other stop bits: only this "
                     "computer moves. Set the printer to them first.\n";
    }
    const std::string question =
        (printerToo ? "Move the printer and this computer to " : "Move this computer to ") +
        DescribeLine(to) + "?";
    if (const Consent c = Confirm(line, question); c != Consent::Given)
        return Declined(c, "nothing changed");
    app::LineMoveResult result;
    {
        InterruptScope interrupts;
        app::LineMoveHooks hooks;
        hooks.cancelled = [] { return InterruptScope::Interrupted(); };
        hooks.progress = [](const std::string& text) { std::cout << text << "\n" << std::flush; };
        result = app::MoveLine(ctx, wanted, pins[0], pins[1], hooks);
    }
    return Report(result, from, to);
}

}  // namespace

int RunLine(int ctx, const CommandLine& line) {
    if (line.args.empty() || line.args[0] != "set")
        return Fail(
            "usage: tarvo line set [baud=N] [parity=N|E|O] [data=7|8] [stop=1|2] "
            "[protocol=standard|xonxoff]",
            kUsage);
    return Set(ctx, line);
}

}  // namespace tarvo::cli
