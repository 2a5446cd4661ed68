// Measures what the framing layer makes of a real line:
//  - a batch of 4096-byte framed writes under XON/XOFF against a printer that takes bytes only
//    as fast as 115200 baud carries them, as a fraction of the line's byte rate;
//  - the same batch as 256-byte messages under the Standard protocol, each acknowledged;
//  - the processor time PCUWait(1000) costs, as a share of one core;
//  - an auto-connect search that finds a printer on 38400 baud, 8 data bits, no parity and the
//    Standard protocol, against the sum of the waits the search itself prescribes;
//  - loading a printer's state (configuration, memory, options and the four listings of 100
//    objects each) and sending its configuration back, at 9600 and 115200 baud, against the
//    waits the kernel prescribes plus the time the bytes take on the paced line.
// Prints one line per figure; scripts/run-bench collects them.
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "bench_printer.h"
#include "counting_clock.h"
#include "platform/clock.h"
#include "port/framing.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "tarvo/config.h"
#include "tarvo/directory.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;
using bench::SetProfile;

constexpr unsigned kBaud = 115200;
constexpr double kBitsPerChar = 10.0;  // start, 8 data, no parity, stop

std::size_t ReceivedBytes(const sim::PrinterSim& printer) {
    std::size_t n = 0;
    for (const auto& e : printer.transcript()) {
        if (e.direction == sim::Direction::HostToPrinter)
            n += e.bytes.size();
    }
    return n;
}

// Sends `messages` framed messages of `size` bytes and returns the achieved byte rate over the
// whole transfer, counted until the printer has taken the last byte.
double Transfer(sim::Protocol protocol, std::size_t size, int messages) {
    ResetKernelState();
    sim::Options options;
    options.line = {kBaud, 8, 'N', 1, protocol};
    options.pace = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
    SetProfile("Baud", std::to_string(kBaud));
    SetProfile("Parity", "None");
    SetProfile("DataBits", "8");
    SetProfile("Protocol", protocol == sim::Protocol::Standard ? "Standard" : "XON/XOFF");
    const int ctx = PCUCfgInit();
    Connection conn;
    ConnOpen(*FindContext(ctx), conn);
    const std::string body(size, 'x');
    unsigned sysErr = 0;
    // Opening the port is not part of the transfer.
    FramedWrite(conn, "", 0, 1, &sysErr);
    printer.settle();
    printer.clearTranscript();

    const auto start = SteadyClock::now();
    for (int i = 0; i < messages; ++i) {
        if (const int status = FramedWrite(conn, body.data(), body.size(), 5, &sysErr);
            status != 0) {
            std::fprintf(stderr, "bench: write failed with %d\n", status);
            std::exit(1);
        }
    }
    const std::size_t total = static_cast<std::size_t>(messages) * (size + 2);
    while (ReceivedBytes(printer) < total)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    ConnClose(conn);
    printer.stop();
    return static_cast<double>(total) / seconds;
}

double WaitCpuShare() {
    rusage before{};
    rusage after{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = SteadyClock::now();
    PCUWait(1000);
    const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    ::getrusage(RUSAGE_SELF, &after);
    auto cpu = [](const rusage& r) {
        return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
               static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
    };
    return (cpu(after) - cpu(before)) / wall;
}

struct SearchFigures {
    double seconds;
    double waited;
    int trials;
};

SearchFigures AutoConnect() {
    ResetKernelState();
    sim::Options options;
    options.line = {38400, 8, 'N', 1, sim::Protocol::Standard};
    options.pace = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
    for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"}) {
        SetProfile(std::string("Device.") + port, "none");
    }
    const int ctx = PCUCfgInit();
    int trials = 0;
    const PCUNotify notify{&trials, [](void* user, unsigned message, int, commState*) {
                               if (message == PCU_MSG_AUTOCONNECT_TRIAL)
                                   ++*static_cast<int*>(user);
                           }};
    bench::CountingClock clock;
    platform::SetClock(&clock);
    const auto start = SteadyClock::now();
    const int found = PCUAutoConnect(ctx, &notify);
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    platform::SetClock(nullptr);
    printer.stop();
    if (found != 1) {
        std::fprintf(stderr, "bench: auto-connect found nothing\n");
        std::exit(1);
    }
    return {seconds, clock.waitedSeconds(), trials};
}

struct TransferFigures {
    double loadSeconds, loadWaited;
    double sendSeconds, sendWaited;
};

TransferFigures LoadAndSend(unsigned baud) {
    ResetKernelState();
    sim::Options options;
    options.line = {baud, 8, 'N', 1, sim::Protocol::XonXoff};
    options.pace = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
    const sim::ObjectKind kinds[] = {sim::ObjectKind::Font, sim::ObjectKind::Graphic,
                                     sim::ObjectKind::Format, sim::ObjectKind::Page};
    for (const sim::ObjectKind kind : kinds) {
        for (unsigned i = 0; i < 100; ++i) {
            sim::StoredObject object;
            object.id = kind == sim::ObjectKind::Font ? 100 + i : 1 + i;
            object.description = "Object " + std::to_string(i);
            object.size = 64;
            printer.addObject(kind, object);
        }
    }
    SetProfile("Baud", std::to_string(baud));
    SetProfile("Parity", "None");
    SetProfile("DataBits", "8");
    SetProfile("Protocol", "XON/XOFF");
    const int ctx = PCUCfgInit();
    FindContext(ctx)->settings.model = 18;  // a 6220E, as identification would have found
    bench::CountingClock clock;
    platform::SetClock(&clock);

    const auto loadStart = SteadyClock::now();
    int o1 = 0, o2 = 0, o3 = 0;
    uint16_t count = 0;
    const bool loaded = PCUGetCfg(ctx) == PCU_OK && PCUGetOptions(ctx, &o1, &o2, &o3) == PCU_OK &&
                        PCUGetFonts(ctx, &count) == PCU_OK &&
                        PCUGetGraphics(ctx, &count) == PCU_OK &&
                        PCUGetFormats(ctx, &count) == PCU_OK && PCUGetPages(ctx, &count) == PCU_OK;
    const double loadSeconds =
        std::chrono::duration<double>(SteadyClock::now() - loadStart).count();
    const double loadWaited = clock.waitedSeconds();

    const auto sendStart = SteadyClock::now();
    const bool sent = PCUPutCfg(ctx) == PCU_OK;
    const double sendSeconds =
        std::chrono::duration<double>(SteadyClock::now() - sendStart).count();
    const double sendWaited = clock.waitedSeconds() - loadWaited;
    platform::SetClock(nullptr);
    printer.stop();
    if (!loaded || !sent) {
        std::fprintf(stderr, "bench: load or send failed at %u baud\n", baud);
        std::exit(1);
    }
    return {loadSeconds, loadWaited, sendSeconds, sendWaited};
}

}  // namespace

int main() {
    const std::string sandbox = bench::MakeSandbox();
    const double lineRate = kBaud / kBitsPerChar;
    const double xon = Transfer(sim::Protocol::XonXoff, 4096, 8);
    std::printf("xonxoff_4096  %.0f bytes/s  %.3f of line rate %.0f\n", xon, xon / lineRate,
                lineRate);
    const double standard = Transfer(sim::Protocol::Standard, 256, 64);
    std::printf("standard_256  %.0f bytes/s  %.3f of line rate %.0f\n", standard,
                standard / lineRate, lineRate);
    std::printf("wait_1000_cpu %.4f of one core\n", WaitCpuShare());
    const SearchFigures search = AutoConnect();
    std::printf("autoconnect   %.2f s for %d trials, %.2f s of prescribed waits, overhead %.3f\n",
                search.seconds, search.trials, search.waited,
                (search.seconds - search.waited) / search.waited);
    for (const unsigned baud : {9600u, 115200u}) {
        const TransferFigures f = LoadAndSend(baud);
        std::printf("load_%u  %.2f s, %.2f s of waits and line, overhead %.3f\n", baud,
                    f.loadSeconds, f.loadWaited, (f.loadSeconds - f.loadWaited) / f.loadWaited);
        std::printf("send_%u  %.2f s, %.2f s of waits and line, overhead %.3f\n", baud,
                    f.sendSeconds, f.sendWaited, (f.sendSeconds - f.sendWaited) / f.sendWaited);
    }
    std::filesystem::remove_all(sandbox);
    return 0;
}
