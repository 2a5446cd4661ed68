// Times the Brakenholm print-head checks against a simulated TQ8e pacing its line at 9600 baud:
// the whole-head check, which waits 1800 ms before it reads, the mean resistance and one dot.
// Each is set against its floor: the prescribed waits (200 ms after the verbosity switch of
// every line, 1800 ms before the whole head's answer), every byte's time on the line (10 bits
// a character) and the printer's processing delay for each line it took.
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

constexpr double kVerbosityWait = 0.2;  // after "SYSVAR(18)=0", before each question

// Runs `check` and prints its time beside its floor; false when it failed.
bool Measure(const char* name, sim::PrinterSim& printer, double prescribedWaits,
             const std::function<bool()>& check) {
    printer.clearTranscript();
    const auto start = SteadyClock::now();
    const bool ok = check();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    std::size_t bytes = 0;
    for (const sim::TranscriptEntry& e : printer.transcript())
        bytes += e.bytes.size();
    double floor = prescribedWaits + static_cast<double>(bytes) * 10.0 / 9600.0;
    for (const std::string& line : printer.receivedMessages())
        floor += ProcessingDelayMs(true, line) / 1000.0;
    std::printf("%-16s %.3f s, floor %.3f s (%zu bytes), overhead %.3f\n", name, seconds, floor,
                bytes, (seconds - floor) / floor);
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

    const double headWait = app::WholeHeadWaitMs(40, brak.SetupGeneration()) / 1000.0;
    bool ok = Measure("whole_head", printer, kVerbosityWait + headWait,
                      [&] { return app::CheckWholeHead(brak).indicator == app::Indicator::Green; });
    ok = Measure("mean_resistance", printer, kVerbosityWait,
                 [&] { return app::ReadMeanResistance(brak).status == app::OpStatus::Done; }) &&
         ok;
    ok = Measure("single_dot", printer, 3 * kVerbosityWait,
                 [&] { return app::CheckDot(brak, "17").indicator == app::Indicator::Green; }) &&
         ok;
    printer.stop();
    std::fclose(quiet);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "bench: a check failed\n");
        return 1;
    }
    return 0;
}
