// Times the Brakenholm print-head checks against a simulated TQ8e pacing its line at 9600 baud:
// the whole-head check, which waits 1800 ms before it reads, the mean resistance and one dot.
// Each is set against the time the clock spent in waits and on the line (a clock that wraps the
// real one counts it), and against its prescribed floor: per question 200 ms after the
// verbosity switch and the raw read's 200 ms before its first look, 1800 ms more before the
// whole head's answer, every byte's time on the line (10 bits a character) and the printer's
// processing delay for each line it took.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "bench_printer.h"
#include "brakenholm/brak_diagnostics.h"
#include "brakenholm/brak_printer.h"
#include "counting_clock.h"
#include "platform/clock.h"
#include "shell/app_session.h"
#include "shell/terminal_prompt.h"
#include "tarvo/base/processing_delay.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;

// After "SYSVAR(18)=0", and the raw read's look: both before each answer.
constexpr double kQuestionWaits = 0.2 + 0.2;

// Runs `check` and prints its time beside its waits and its floor; false when it failed.
bool Measure(const char* name, sim::PrinterSim& printer, bench::CountingClock& clock,
             double prescribedWaits, const std::function<bool()>& check) {
    printer.clearTranscript();
    const double waitedBefore = clock.waitedSeconds();
    const auto start = SteadyClock::now();
    const bool ok = check();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    const double waited = clock.waitedSeconds() - waitedBefore;
    std::size_t bytes = 0;
    for (const sim::TranscriptEntry& e : printer.transcript())
        bytes += e.bytes.size();
    double floor = prescribedWaits + static_cast<double>(bytes) * 10.0 / 9600.0;
    for (const std::string& line : printer.receivedMessages())
        floor += ProcessingDelayMs(true, line) / 1000.0;
    std::printf(
        "%-16s %.3f s, %.3f s of waits and line, overhead %.3f; prescribed floor %.3f s "
        "(%zu bytes)\n",
        name, seconds, waited, (seconds - waited) / waited, floor, bytes);
    return ok;
}

}  // namespace

int main() {
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
    bench::StartOnCom1(printer);
    bench::SetProfile("Family", "Brakenholm");
    bench::SetProfile("Printer", "TQ8e");

    std::FILE* quiet = std::fopen("/dev/null", "w");
    app::TerminalOptions terminal;
    terminal.out = quiet;
    app::TerminalPrompt prompt(terminal);
    app::AppSession session;
    session.kernelHandle = PCUCfgInit();
    app::ReadSettings(session, prompt);
    session.printer = app::MakePrinter(session, prompt, 40);
    app::CBrakPrinter& brak = *app::AsBrakPrinter(session.printer.get());

    bench::CountingClock clock;
    platform::SetClock(&clock);
    const double headWait = app::WholeHeadWaitMs(40, brak.SetupGeneration()) / 1000.0;
    bool ok = Measure("whole_head", printer, clock, kQuestionWaits + headWait,
                      [&] { return app::CheckWholeHead(brak).indicator == app::Indicator::Green; });
    ok = Measure("mean_resistance", printer, clock, kQuestionWaits,
                 [&] { return app::ReadMeanResistance(brak).status == app::OpStatus::Done; }) &&
         ok;
    ok = Measure("single_dot", printer, clock, 3 * kQuestionWaits,
                 [&] { return app::CheckDot(brak, "17").indicator == app::Indicator::Green; }) &&
         ok;
    platform::SetClock(nullptr);
    printer.stop();
    std::fclose(quiet);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "bench: a check failed\n");
        return 1;
    }
    return 0;
}
