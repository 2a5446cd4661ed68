// Times the Brakenholm printer object against a simulated TQ8e pacing its line at 9600 baud:
// reading the printer's identity and whole setup, sending the whole setup, and the search for a
// printer left at 115200 baud, no parity, 7 data bits, one stop bit (the last settings the
// search tries). Each is set against the waits the object prescribes plus the line's own time,
// counted by a clock that wraps the real one. The printer takes its processing delays; with
// --prescribed-timing every read waits its full prescribed time (the side-by-side figure).
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_printer.h"
#include "brakenholm/brak_printer.h"
#include "counting_clock.h"
#include "platform/clock.h"
#include "session/kernel_state.h"
#include "shell/app_session.h"
#include "shell/search_observer.h"
#include "shell/terminal_prompt.h"
#include "tarvo/base/processing_delay.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;
using bench::SetProfile;

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

void Report(const char* name, const Figure& f) {
    std::printf("%-22s %.2f s, %.2f s of waits and line, overhead %.3f\n", name, f.seconds,
                f.waited, (f.seconds - f.waited) / f.waited);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr)
        return 1;
    ::setenv("TARVO_PROFILE", (dir + "/tarvo32.ini").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    PCUCreateProfile();

    sim::Options options;
    options.family = sim::Family::Brakenholm;
    options.model = 40;  // TQ8e
    options.pace = true;
    options.processingDelays = true;
    sim::PrinterSim printer(options);
    const bool prescribed = argc > 1 && std::string(argv[1]) == "--prescribed-timing";
    if (prescribed)
        PCUSetTiming(PCU_TIMING_PRESCRIBED);
    std::printf("%s timing\n", prescribed ? "prescribed" : "adaptive");
    bench::StartOnCom1(printer);
    SetProfile("Family", "Brakenholm");
    SetProfile("Printer", "TQ8e");

    std::FILE* quiet = std::fopen("/dev/null", "w");
    app::TerminalOptions terminal;
    terminal.out = quiet;
    terminal.acceptQuestions = true;
    app::TerminalPrompt prompt(terminal);
    app::AppSession session;
    session.kernelHandle = PCUCfgInit();
    app::ReadSettings(session, prompt);
    session.printer = app::MakePrinter(session, prompt, 40);
    app::CBrakPrinter* brak = app::AsBrakPrinter(session.printer.get());

    bench::CountingClock clock;
    platform::SetClock(&clock);
    bool ok = true;
    printer.clearTranscript();
    Report("identity_and_setup", Time(clock, [&] { ok = brak->ReadPrinterIdentity().ok() && ok; }));
    // The floor: every byte's time on the line (10 bits a character) and the printer's
    // processing delay for each line it took.
    std::size_t bytes = 0;
    for (const sim::TranscriptEntry& e : printer.transcript())
        bytes += e.bytes.size();
    double floor = static_cast<double>(bytes) * 10.0 / 9600.0;
    for (const std::string& line : printer.receivedMessages())
        floor += ProcessingDelayMs(true, line) / 1000.0;
    std::printf("identity_and_setup floor %.2f s (%zu bytes on the line)\n", floor, bytes);
    Report("send_all_setup", Time(clock, [&] { ok = brak->SendAllSetup().ok() && ok; }));

    printer.setLine({115200, 7, 'N', 1, sim::Protocol::XonXoff});
    app::SilentSearchObserver observer;
    Report("search_115200_n71",
           Time(clock, [&] { ok = brak->SearchPrinter(observer).ok() && ok; }));
    platform::SetClock(nullptr);
    printer.stop();
    std::fclose(quiet);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "bench: an operation failed\n");
        return 1;
    }
    return 0;
}
