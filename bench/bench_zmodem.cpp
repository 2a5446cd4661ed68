// Zmodem into a simulated TQ8e pacing its line at 115200 baud, whose receiver is lrzsz's rz:
// our sender (GFZmodem) against lrzsz's sz sending the same file over the same pseudo-terminal
// pair in the same run. Each is timed from its first ZRQINIT until it has ended the session
// (ZFIN answered, "OO" written), and set against the floor, the payload at the line's byte
// rate. With --download-file, CBrakPrinter::DownloadFile instead, against the waits it
// prescribes plus the payload's line time.
//
//   bench_zmodem [--size BYTES] [--parity N|O] [--escapes] [--only ours|sz] [--download-file]
//
// --escapes fills the file with bytes that all travel escaped (twice the wire bytes).
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "bench_printer.h"
#include "brakenholm/brak_printer.h"
#include "counting_clock.h"
#include "fwxfer/gf_com_port.h"
#include "fwxfer/gf_zmodem.h"
#include "platform/clock.h"
#include "shell/app_session.h"
#include "shell/terminal_prompt.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;

struct Settings {
    std::size_t size = 2097152;
    char parity = 'N';
    bool escapes = false;
    bool ours = true;
    bool sz = true;
    bool downloadFile = false;
};

bool Parse(int argc, char** argv, Settings* s) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) {
            s->size = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--parity" && hasValue) {
            s->parity = argv[++i][0];
        } else if (arg == "--escapes") {
            s->escapes = true;
        } else if (arg == "--only" && hasValue) {
            const std::string who = argv[++i];
            s->ours = who == "ours";
            s->sz = who == "sz";
        } else if (arg == "--download-file") {
            s->downloadFile = true;
        } else {
            return false;
        }
    }
    return s->size > 0 && (s->parity == 'N' || s->parity == 'O');
}

// Random bytes, or bytes every one of which the senders escape (ZDLE, DLE, XON, XOFF and the
// high-bit twins of the last three).
std::string Content(std::size_t size, bool escapes) {
    static const char kEscaped[] = {0x18, 0x10, 0x11, 0x13, char(0x90), char(0x91), char(0x93)};
    std::mt19937 random(2026);
    std::string content(size, '\0');
    for (char& c : content)
        c = escapes ? kEscaped[random() % sizeof kEscaped] : static_cast<char>(random());
    return content;
}

double Since(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

double ProcessorSeconds() {
    rusage self{}, children{};
    ::getrusage(RUSAGE_SELF, &self);
    ::getrusage(RUSAGE_CHILDREN, &children);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
           seconds(children.ru_stime);
}

// Runs lrzsz's sz on its own descriptor of the pseudo-terminal's slave (blocking, as sz
// expects); true when it exits 0.
bool RunSz(const std::string& device, const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
        const int null = ::open("/dev/null", O_WRONLY);
        if (fd < 0 || null < 0)
            ::_exit(126);
        ::dup2(fd, 0);
        ::dup2(fd, 1);
        ::dup2(null, 2);
        ::execl("/usr/bin/sz", "sz", "-b", "-q", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The payload's time on a 115200-baud line of 8 data bits and one stop bit.
double LineSeconds(std::size_t bytes, char parity) {
    return static_cast<double>(bytes) / (115200.0 / (parity == 'N' ? 10 : 11));
}

// A TQ8e at 115200 baud pacing its line, with room for the largest file.
sim::Options PrinterOptions(char parity, sim::Protocol protocol) {
    sim::Options options;
    options.family = sim::Family::Brakenholm;
    options.model = 40;
    options.firmware = "Tallyscript 7.30";
    options.line = {115200, 8, parity, 1, protocol};
    options.pace = true;
    options.memoryTotalKb = 65536;
    options.memoryFreeKb = 65000;
    return options;
}

constexpr std::string_view kStartLines = "CHDIR \"c:\"\rRUN \"dlk\"\r";

class Bench {
  public:
    Bench(const Settings& s, const std::string& dir) : s_(s) {
        content_ = Content(s.size, s.escapes);
        path_ = dir + "/BENCH.BIN";
        std::ofstream(path_, std::ios::binary) << content_;
        floor_ = LineSeconds(s.size, s.parity);
    }

    bool run() {
        sim::PrinterSim printer(PrinterOptions(s_.parity, sim::Protocol::RtsCts));
        std::string error;
        if (!printer.start(&error)) {
            std::fprintf(stderr, "bench: %s\n", error.c_str());
            return false;
        }
        int openError = 0;
        auto port = fwxfer::GFComPort::Open(printer.devicePath(), &openError);
        if (!port ||
            port->configure({115200, 8, s_.parity, 1, platform::FlowControl::RtsCts}) != 0) {
            std::fprintf(stderr, "bench: the port cannot be opened\n");
            return false;
        }
        fwxfer::GFMonitor monitor;
        fwxfer::GFSerial serial(*port, monitor);
        std::printf("%zu %s bytes, 115200 8%c1, floor %.1f s (%.0f bytes/s)\n", s_.size,
                    s_.escapes ? "escape-heavy" : "random", s_.parity, floor_,
                    static_cast<double>(s_.size) / floor_);
        bool ok = true;
        if (s_.ours)
            ok = timeOurs(printer, serial) && ok;
        if (s_.sz)
            ok = timeSz(printer, serial) && ok;
        if (s_.ours && s_.sz)
            std::printf("ours / sz (time): %.4f\n", ours_ / sz_);
        printer.stop();
        return ok;
    }

  private:
    // The receiver starts once the printer has paced the lines in; the sender's first
    // bytes queue behind them, as on a real line.
    static bool startReceiver(sim::PrinterSim& printer, fwxfer::GFSerial& serial) {
        printer.clearTranscript();
        return serial.PutBuffer(kStartLines) == fwxfer::GFIo::Ok;
    }

    bool stored(sim::PrinterSim& printer) {
        printer.settle();
        const auto got = printer.fileContent("c:", "BENCH.BIN");
        return got && *got == content_;
    }

    // The payload's rate against the line's, and the host's bytes on the wire (the receiver's
    // start lines left out) against the line's, which the paced printer must never beat.
    void report(sim::PrinterSim& printer, const char* who, double seconds, double cpu) {
        std::size_t wire = 0;
        for (const sim::TranscriptEntry& e : printer.transcript()) {
            if (e.direction == sim::Direction::HostToPrinter)
                wire += e.bytes.size();
        }
        wire -= std::min(wire, kStartLines.size());
        const double lineSeconds = floor_ * static_cast<double>(wire) / s_.size;
        std::printf(
            "%-4s %.2f s, %.0f bytes/s, %.4f of the line rate; %zu wire bytes, %.4f of "
            "the wire's line time; processor %.2f s\n",
            who, seconds, static_cast<double>(s_.size) / seconds, floor_ / seconds, wire,
            lineSeconds / seconds, cpu);
    }

    bool timeOurs(sim::PrinterSim& printer, fwxfer::GFSerial& serial) {
        if (!startReceiver(printer, serial))
            return false;
        fwxfer::GFZmodem zmodem(serial);
        const double cpu = ProcessorSeconds();
        const auto start = SteadyClock::now();
        const fwxfer::GFResult r = zmodem.SendData(content_, "BENCH.BIN");
        ours_ = Since(start);
        report(printer, "ours", ours_, ProcessorSeconds() - cpu);
        const bool ok = r == fwxfer::GFResult::Ok && stored(printer);
        if (!ok)
            std::fprintf(stderr, "bench: our transfer failed (%s)\n", GFResultText(r));
        return ok;
    }

    bool timeSz(sim::PrinterSim& printer, fwxfer::GFSerial& serial) {
        if (!startReceiver(printer, serial))
            return false;
        const double cpu = ProcessorSeconds();
        const auto start = SteadyClock::now();
        const bool sent = RunSz(printer.devicePath(), path_);
        sz_ = Since(start);
        report(printer, "sz", sz_, ProcessorSeconds() - cpu);
        const bool ok = sent && stored(printer);
        if (!ok)
            std::fprintf(stderr, "bench: sz's transfer failed\n");
        return ok;
    }

    Settings s_;
    std::string path_, content_;
    double floor_ = 0, ours_ = 0, sz_ = 0;
};

// DownloadFile whole: the settings lines, the device change and its settle time, the transfer,
// the prompt check and the settings given back, on the printer object of the program.
bool TimeDownloadFile(const Settings& s, const std::string& dir) {
    const std::string content = Content(s.size, s.escapes);
    const std::string path = dir + "/bench.ttf";
    std::ofstream(path, std::ios::binary) << content;
    sim::Options options = PrinterOptions(s.parity, sim::Protocol::XonXoff);
    options.processingDelays = true;
    sim::PrinterSim printer(options);
    bench::StartOnCom1(printer);
    bench::SetProfile("Family", "Brakenholm");
    bench::SetProfile("Printer", "TQ8e");
    bench::SetProfile("Baud", "115200");
    bench::SetProfile("DataBits", "8");
    bench::SetProfile("StopBits", "1");
    bench::SetProfile("Parity", s.parity == 'N' ? "None" : "Odd");
    bench::SetProfile("Protocol", "XON/XOFF");

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
    bool ok = brak->ReadPrinterIdentity().ok();

    bench::CountingClock clock;
    platform::SetClock(&clock);
    fwxfer::GFMonitor monitor;
    const auto start = SteadyClock::now();
    const app::OpResult r = brak->DownloadFile(path, app::TransferKind::Font, "BENCH.TTF", monitor);
    const double seconds = Since(start);
    platform::SetClock(nullptr);
    const double waits = clock.waitedSeconds();
    const double line = LineSeconds(s.size, s.parity);
    ok = ok && r.ok() && printer.fileContent("c:", "BENCH.TTF") == content;
    std::printf(
        "DownloadFile %zu bytes: %.2f s; prescribed waits %.2f s + payload line time "
        "%.2f s = %.2f s; overhead %.4f\n",
        s.size, seconds, waits, line, waits + line, seconds / (waits + line) - 1);
    printer.stop();
    std::fclose(quiet);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!Parse(argc, argv, &settings)) {
        std::fprintf(stderr,
                     "usage: bench_zmodem [--size BYTES] [--parity N|O] [--escapes] "
                     "[--only ours|sz] [--download-file]\n");
        return 2;
    }
    if (::access("/usr/bin/rz", X_OK) != 0 || ::access("/usr/bin/sz", X_OK) != 0) {
        std::fprintf(stderr, "bench: lrzsz is not installed (scripts/install-deps)\n");
        return 1;
    }
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr)
        return 1;
    ::setenv("TARVO_PROFILE", (dir + "/tarvo32.ini").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    PCUCreateProfile();
    double load[3] = {};
    ::getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    const bool ok =
        settings.downloadFile ? TimeDownloadFile(settings, dir) : Bench(settings, dir).run();
    ::getloadavg(load, 3);
    std::printf("load average after %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "bench: a transfer failed\n");
        return 1;
    }
    return 0;
}
