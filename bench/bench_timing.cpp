// Adaptive against prescribed reply timing, side by side in one run, on the same simulated
// printers pacing their lines and taking their processing delays (tarvo/base/processing_delay.h):
//  - identification of a 6220E on XON/XOFF at 9600 baud, 7 data bits, even parity, with the
//    profile holding what an earlier identification on the port found;
//  - the same followed by the configuration read (`tarvo config show`);
//  - the same followed by a setting sent and the configuration read back (`config set`);
//  - loading the printer's state with 4 x 100 objects (configuration, memory, option, listings);
//  - an auto-connect search finding a printer at 38400 baud, 8 data bits, no parity, Standard.
// The floor of each figure is the time its bytes take on the line (the adaptive run's bytes)
// plus the printer's processing delays for the requests it answered. Prints one line per figure
// with both times and the ratios; scripts/run-bench collects them.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "bench_printer.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "tarvo/base/processing_delay.h"
#include "tarvo/config.h"
#include "tarvo/directory.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;
using bench::SetProfile;

constexpr double kBitsPerChar = 10.0;  // 7E1 and 8N1 alike: start, 8 bits, stop

struct Run {
    double seconds = 0;
    double floor = 0;
    bool ok = false;
};

// Line time of every byte exchanged plus the processing delays of the requests answered.
double Floor(const sim::PrinterSim& printer, unsigned baud) {
    std::size_t bytes = 0;
    for (const sim::TranscriptEntry& e : printer.transcript())
        bytes += e.bytes.size();
    double seconds = static_cast<double>(bytes) * kBitsPerChar / baud;
    static constexpr const char* kQuestions[] = {"\x05",  "\x1bM", "\x1bm", "\x1bO", "\x1bp",
                                                 "\x1bv", "\x1bu", "\x1bx", "\x1by", "\x1b."};
    for (const std::string& message : printer.receivedMessages()) {
        for (const char* question : kQuestions) {
            if (message.starts_with(question)) {
                seconds += ProcessingDelayMs(false, message) / 1000.0;
                break;
            }
        }
    }
    return seconds;
}

int Identify(int ctx) {
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    return PCUGetPrinterID(ctx, model, number, firmware, 1);
}

bool ShowConfiguration(int ctx) {
    return Identify(ctx) == PCU_OK && PCUGetCfg(ctx) == PCU_OK;
}

bool SetDarkness(int ctx) {
    if (!ShowConfiguration(ctx))
        return false;
    const int setting = 14;
    const int value = 5;
    return PCUPutParms(ctx, 1, &setting, &value) == PCU_OK && PCUPutCfg(ctx) == PCU_OK &&
           PCUGetCfg(ctx) == PCU_OK;
}

bool LoadState(int ctx) {
    int o1 = 0, o2 = 0, o3 = 0;
    std::uint16_t n = 0;
    return PCUGetCfg(ctx) == PCU_OK && PCUGetOptions(ctx, &o1, &o2, &o3) == PCU_OK &&
           PCUGetFonts(ctx, &n) == PCU_OK && PCUGetGraphics(ctx, &n) == PCU_OK &&
           PCUGetFormats(ctx, &n) == PCU_OK && PCUGetPages(ctx, &n) == PCU_OK;
}

void AddObjects(sim::PrinterSim& printer) {
    for (const sim::ObjectKind kind : {sim::ObjectKind::Font, sim::ObjectKind::Graphic,
                                       sim::ObjectKind::Format, sim::ObjectKind::Page}) {
        for (unsigned i = 0; i < 100; ++i) {
            sim::StoredObject object;
            object.id = kind == sim::ObjectKind::Font ? 100 + i : 1 + i;
            object.description = "Object " + std::to_string(i);
            object.size = 64;
            printer.addObject(kind, object);
        }
    }
}

// Runs `operation` against a fresh 6220E on the line `line` in one timing mode.
Run Measure(const sim::LineSettings& line, bool objects, int timing,
            const std::function<bool(int ctx)>& operation) {
    ResetKernelState();
    PCUSetTiming(timing);
    sim::Options options;
    options.line = line;
    options.pace = true;
    options.processingDelays = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
    if (objects)
        AddObjects(printer);
    const int ctx = PCUCfgInit();
    FindContext(ctx)->settings.model = 18;  // for the runs that do not identify first
    printer.clearTranscript();
    Run run;
    const auto start = SteadyClock::now();
    run.ok = operation(ctx);
    run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    run.floor = Floor(printer, line.baud);
    printer.stop();
    return run;
}

void Compare(const char* name, const sim::LineSettings& line, bool objects,
             const std::function<bool(int ctx)>& operation) {
    const Run strict = Measure(line, objects, PCU_TIMING_PRESCRIBED, operation);
    const Run adaptive = Measure(line, objects, PCU_TIMING_ADAPTIVE, operation);
    if (!strict.ok || !adaptive.ok) {
        std::fprintf(stderr, "bench: %s failed (%s)\n", name, strict.ok ? "adaptive" : "strict");
        std::exit(1);
    }
    std::printf(
        "%-34s adaptive %6.2f s  strict %6.2f s  floor %5.2f s  "
        "adaptive/floor %5.2f  adaptive/strict %5.3f\n",
        name, adaptive.seconds, strict.seconds, adaptive.floor, adaptive.seconds / adaptive.floor,
        adaptive.seconds / strict.seconds);
}

}  // namespace

int main() {
    const std::string sandbox = bench::MakeSandbox();
    // What an earlier identification on the port found, as the profile keeps it.
    SetProfile("IdentifiedPort", "COM1");
    SetProfile("IdentifiedProtocol", "XON/XOFF");
    SetProfile("IdentifiedModel", "6220E");
    const sim::LineSettings firstRun{9600, 7, 'E', 1, sim::Protocol::XonXoff};
    Compare("identify, 6220E, XON/XOFF 9600", firstRun, false,
            [](int ctx) { return Identify(ctx) == PCU_OK; });
    Compare("config show", firstRun, false, ShowConfiguration);
    Compare("config set darkness=5", firstRun, false, SetDarkness);
    Compare("load, 9600, 4 x 100 objects", firstRun, true, LoadState);

    for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"})
        SetProfile(std::string("Device.") + port, "none");
    const sim::LineSettings moved{38400, 8, 'N', 1, sim::Protocol::Standard};
    Compare("auto-connect, 38400/8N/Standard", moved, false, [](int ctx) {
        SetProfile("Baud", "9600");
        PCUInitCommParm(ctx);
        return PCUAutoConnect(ctx, nullptr) == 1;
    });
    std::filesystem::remove_all(sandbox);
    return 0;
}
