#include "brakenholm_session.h"

#include <unistd.h>

#include "cli_support.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

app::TerminalOptions OptionsFor(const CommandLine& line) {
    app::TerminalOptions options;
    // Scripts never wait on a question, and --yes answers them.
    options.acceptQuestions = line.options.yes || !::isatty(STDIN_FILENO);
    // A password comes from a pipe only when the command line asks for it.
    for (const std::string& arg : line.args) {
        if (arg == "--password-stdin")
            options.passwordFromPipe = true;
    }
    return options;
}

}  // namespace

BrakenholmSession::BrakenholmSession(const CommandLine& line) : prompt_(OptionsFor(line)) {}

bool BrakenholmSession::open(int ctx) {
    session_.kernelHandle = ctx;
    app::ReadSettings(session_, prompt_);
    IdentifiedPrinter found;
    if (!IdentifyPrinter(ctx, &found))
        return false;
    if (found.model <= PROP_DEFAULT_MODEL || found.model >= PROP_UNKNOWN_MODEL) {
        Fail("the printer on " + PortOf(ctx) + " (" + found.name + ") is not a Brakenholm printer");
        return false;
    }
    // The identified model becomes the selected printer, as in the desktop program, so that a
    // re-read of the settings (after the printer's line changed) keeps it.
    PCUWriteProfileString("Settings", "Printer", found.name.c_str(), 0);
    session_.model = found.model;
    session_.modelName = found.name;
    session_.printer = app::MakePrinter(session_, prompt_, found.model);
    printer_ = app::AsBrakPrinter(session_.printer.get());
    if (printer_ == nullptr) {
        Fail("no printer object for the " + found.name);
        return false;
    }
    return true;
}

bool BrakenholmSession::openForSearch(int ctx) {
    session_.kernelHandle = ctx;
    app::ReadSettings(session_, prompt_);
    constexpr int kNewestModel = 40;  // TQ8e: the newest setup generation
    const bool brakenholm =
        session_.model > PROP_DEFAULT_MODEL && session_.model < PROP_UNKNOWN_MODEL;
    const int model = brakenholm ? session_.model : kNewestModel;
    session_.printer = app::MakePrinter(session_, prompt_, model);
    printer_ = app::AsBrakPrinter(session_.printer.get());
    if (printer_ == nullptr)
        return Fail("no printer object for the Brakenholm search") == 0;
    return true;
}

bool IsBrakenholmContext(int ctx) {
    return ProfileString("Family", "Lanmere") == "Brakenholm" && ctx != 0;
}

}  // namespace tarvo::cli
