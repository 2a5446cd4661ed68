// Start-up of the desktop program to a ready window with a simulated 6220E attached, paced at
// 9600 baud (the first-run line): settings, kernel context, identification, the full load of
// configuration, memory, options and object listings, the resident fonts, and the window's
// command states. Measured against the time the start-up spends in the waits it prescribes and
// on the line (sleeps and waits for the printer's bytes), so that the remainder is what the
// program itself costs. Also the memory of the running program with the configuration loaded.
// The printer holds 4 x 100 objects and takes its processing delays; the profile holds what an
// earlier identification on the port found. With --prescribed-timing every reply is read after
// its full prescribed wait, for the side-by-side figure of docs/PERFORMANCE.md.
// Runs on Qt's offscreen platform; prints one line per figure.
#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_printer.h"
#include "counting_clock.h"
#include "desk/desk.h"
#include "qt/host_hooks.h"
#include "qt/main_window.h"
#include "qt/qt_prompt.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "tarvo/context.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;
using bench::SetProfile;

// A field of /proc/self/status in KB ("VmRSS", "VmHWM"), or -1.
long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string sandbox = bench::MakeSandbox();
    ::setenv("XDG_STATE_HOME", sandbox.c_str(), 1);
    ::setenv("XDG_DATA_HOME", sandbox.c_str(), 1);
    ResetKernelState();

    sim::Options options;
    options.line = {9600, 7, 'E', 1, sim::Protocol::XonXoff};
    options.pace = true;
    options.processingDelays = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
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
    SetProfile("IdentifiedPort", "COM1");
    SetProfile("IdentifiedProtocol", "XON/XOFF");
    SetProfile("IdentifiedModel", "6220E");
    const bool prescribed = argc > 1 && std::string(argv[1]) == "--prescribed-timing";
    if (prescribed)
        PCUSetTiming(PCU_TIMING_PRESCRIBED);

    QApplication app(argc, argv);
    const long rssBefore = StatusKb("VmRSS");
    bench::CountingClock clock;
    platform::SetClock(&clock);

    const auto start = SteadyClock::now();
    app::AppSession session;
    app::qt::QtPrompt prompt(nullptr);
    app::Desk desk(session, prompt);
    app::qt::MainWindow window(desk);
    prompt.setParent(&window);
    app::qt::InstallQtHostHooks(&window, prompt);
    window.show();
    const bool ready = window.startSession();
    QCoreApplication::processEvents();
    const double total = std::chrono::duration<double>(SteadyClock::now() - start).count();
    platform::SetClock(nullptr);

    if (!ready || !session.flags.identified) {
        std::fprintf(stderr, "bench: the printer was not identified\n");
        return 1;
    }
    const double waited = clock.waitedSeconds();
    std::printf(
        "start-up to a ready window (6220E, 9600 baud, 4 x 100 objects, %s timing): %.2f s, of "
        "which %.2f s in "
        "prescribed waits and on the line; overhead %.3f s (%.1f%%), ratio %.3f\n",
        prescribed ? "prescribed" : "adaptive", total, waited, total - waited,
        100.0 * (total - waited) / waited, total / waited);
    const struct mallinfo2 heap = ::mallinfo2();
    std::printf(
        "memory with the configuration loaded: RSS %ld KB (%ld KB before the window), "
        "peak %ld KB, heap in use %zu KB\n",
        StatusKb("VmRSS"), rssBefore, StatusKb("VmHWM"), heap.uordblks / 1024);
    app::qt::RemoveQtHostHooks();
    std::filesystem::remove_all(sandbox);
    return 0;
}
