// The Lanmere configuration pages against a simulated 6220E pacing the first-run line (9600
// baud, 7 data bits, even parity, XON/XOFF): opening every page and dialog must cost no printer
// traffic (the values come from the session), and Send to Printer after one value was edited on
// a page is set against the time it spends in the waits it prescribes and on the line, counted
// by a clock that wraps the real one. Prints one line per figure.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_printer.h"
#include "counting_clock.h"
#include "desk/doc_commands.h"
#include "desk/startup.h"
#include "lanmere/com_pages.h"
#include "lanmere/command_file_page.h"
#include "lanmere/media_pages.h"
#include "lanmere/printer_pages.h"
#include "platform/clock.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "shell/terminal_prompt.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;

struct Figure {
    double seconds;
    double waited;
};

template <typename F>
Figure Time(bench::CountingClock& clock, F f) {
    const double before = clock.waitedSeconds();
    const auto start = SteadyClock::now();
    f();
    return {std::chrono::duration<double>(SteadyClock::now() - start).count(),
            clock.waitedSeconds() - before};
}

std::vector<std::unique_ptr<app::lanmere::SheetModel>> EveryPage(app::Desk& desk) {
    std::vector<std::unique_ptr<app::lanmere::SheetModel>> sheets;
    sheets.push_back(std::make_unique<app::lanmere::CCfgPrtSheet>(desk));
    sheets.push_back(std::make_unique<app::lanmere::CComSheet>(desk));
    sheets.push_back(std::make_unique<app::lanmere::CMediaSheet>(desk));
    sheets.push_back(std::make_unique<app::lanmere::CMediaHandlingDlg>(desk));
    sheets.push_back(std::make_unique<app::lanmere::CCmdFileDlg>(desk));
    return sheets;
}

}  // namespace

int main() {
    const std::string sandbox = bench::MakeSandbox();
    ::setenv("XDG_STATE_HOME", sandbox.c_str(), 1);
    ::setenv("XDG_DATA_HOME", sandbox.c_str(), 1);
    ResetKernelState();

    sim::Options options;
    options.line = {9600, 7, 'E', 1, sim::Protocol::XonXoff};
    options.pace = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);

    std::FILE* quiet = std::fopen("/dev/null", "w");
    app::TerminalOptions terminal;
    terminal.out = quiet;
    terminal.acceptQuestions = true;
    app::TerminalPrompt prompt(terminal);
    app::AppSession session;
    app::Desk desk(session, prompt);
    if (!app::InitializeSession(desk) || !session.flags.identified) {
        std::fprintf(stderr, "bench: the printer was not identified\n");
        return 1;
    }

    bench::CountingClock clock;
    platform::SetClock(&clock);
    printer.clearTranscript();
    auto sheets = EveryPage(desk);
    const Figure opening = Time(clock, [&] {
        for (auto& sheet : sheets)
            sheet->Load();
    });
    const std::size_t opened = printer.transcript().size();
    std::printf("opening %zu sheets and dialogs: %.4f s, %zu runs on the line, %.3f s waited\n",
                sheets.size(), opening.seconds, opened, opening.waited);

    // One value: the audible alarm on the Options page.
    app::lanmere::PageModel& options_page = *sheets[0]->pages()[1];
    options_page.SetValue("alarm", options_page.field("alarm").value == 0 ? 1 : 0);
    bool accepted = sheets[0]->Accept(prompt) < 0;
    const Figure send = Time(clock, [&] { accepted = app::SendConfirmed(desk).ok() && accepted; });
    platform::SetClock(nullptr);
    std::printf(
        "send after one edit (6220E, 9600 baud): %.2f s, of which %.2f s in prescribed waits "
        "and on the line; overhead %.3f s, ratio %.3f\n",
        send.seconds, send.waited, send.seconds - send.waited, send.seconds / send.waited);

    printer.stop();
    std::fclose(quiet);
    std::filesystem::remove_all(sandbox);
    if (!accepted || opened != 0) {
        std::fprintf(stderr, "bench: the edit was not sent, or opening a page talked to the "
                             "printer\n");
        return 1;
    }
    return 0;
}
