// Times the listing of a directory of 300 files on a simulated TQ8e pacing its line at 9600
// baud. The listing is some 13 kB, three times the printer object's reply buffer, so it is read
// on to its closing line; the time is set against the waits it prescribes plus the line's own
// time, counted by a clock that wraps the real one, and against the floor of the bytes' time
// on the line and the printer's processing delay.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_printer.h"
#include "brakenholm/brak_files.h"
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

constexpr int kFiles = 300;

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
    bench::SetProfile("Family", "Brakenholm");
    bench::SetProfile("Printer", "TQ8e");
    for (int i = 0; i < kFiles; ++i) {
        std::string error;
        if (!printer.addFile({"c:", "FILE" + std::to_string(1000 + i) + ".DAT", 1024u}, &error)) {
            std::fprintf(stderr, "bench: %s\n", error.c_str());
            return 1;
        }
    }

    std::FILE* quiet = std::fopen("/dev/null", "w");
    app::TerminalOptions terminal;
    terminal.out = quiet;
    app::TerminalPrompt prompt(terminal);
    app::AppSession session;
    session.kernelHandle = PCUCfgInit();
    app::ReadSettings(session, prompt);
    session.printer = app::MakePrinter(session, prompt, 40);
    app::CBrakPrinter* brak = app::AsBrakPrinter(session.printer.get());

    bench::CountingClock clock;
    platform::SetClock(&clock);
    printer.clearTranscript();
    const double before = clock.waitedSeconds();
    const auto start = SteadyClock::now();
    const app::BrakFilesListing listing = app::ListDirectory(*brak, "c:", false);
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    const double waited = clock.waitedSeconds() - before;
    platform::SetClock(nullptr);

    std::size_t bytes = 0;
    for (const sim::TranscriptEntry& e : printer.transcript())
        bytes += e.bytes.size();
    double floor = static_cast<double>(bytes) * 10.0 / 9600.0;
    for (const std::string& line : printer.receivedMessages())
        floor += ProcessingDelayMs(true, line) / 1000.0;
    std::printf("list_300_files %.2f s, %.2f s of waits and line, overhead %.3f\n", seconds, waited,
                (seconds - waited) / waited);
    std::printf("list_300_files floor %.2f s (%zu bytes on the line), %zu entries, %s\n", floor,
                bytes, listing.entries.size(), listing.complete ? "complete" : "INCOMPLETE");
    printer.stop();
    std::fclose(quiet);
    std::filesystem::remove_all(dir);
    return listing.complete && listing.entries.size() == kFiles ? 0 : 1;
}
