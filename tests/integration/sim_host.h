// A simulated printer and the host's end of its pseudo-terminal, for the tests that look at
// the exact bytes on the wire.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "support/test_env.h"
#include "tarvo/base/line_format.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim::wire {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How long a wait on another process (or on a line to close) may take before the test gives up
// on it. Only a failure ever waits this long: every wait ends as soon as its event comes, so a
// slow or busy machine never changes an outcome.
inline constexpr std::chrono::milliseconds kPatience = 60s;
using platform::FlowControl;
using platform::LineFormat;
using platform::UniqueFd;

inline std::string Frame(const std::string& body) {
    return "\x02" + body + "\x03";
}

inline const std::string kAskId = Frame("\x1bM1");
inline const std::string kAskMemory = Frame("\x1bm");
inline const std::string kEnq = "\x05";
inline const std::string kAck = "\x11";
inline const std::string kBusy = "\x13";

using test::ReadFile;
using test::WriteFile;

// The host's end of the line, opened the way a serial port layer opens a device.
class Host {
  public:
    explicit Host(const std::string& device)
        : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) {
        termios settings{};
        if (fd_ && ::tcgetattr(fd_.get(), &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(fd_.get(), TCSANOW, &settings);
        }
    }
    bool isOpen() const { return static_cast<bool>(fd_); }

    void note(const LineFormat& format) {
        ASSERT_TRUE(platform::WriteLineNote(platform::PtyNumberOf(fd_.get()), format));
    }

    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_.get(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Everything that can be read without waiting.
    std::string drain() {
        std::string received;
        char buffer[4096];
        ssize_t n = 0;
        while (readable(0ms) && (n = ::read(fd_.get(), buffer, sizeof buffer)) > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    // Reads until `count` bytes came, end of file, or `limit` (for a printer in another
    // process; SimHostTest::receive() waits on one of its own without a limit).
    std::string receive(std::size_t count, std::chrono::milliseconds limit = kPatience) {
        std::string received;
        const auto deadline = Clock::now() + limit;
        char buffer[4096];
        while (received.size() < count && Clock::now() < deadline) {
            if (!readable(10ms))
                continue;
            const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    // True once poll reports the hang-up and a read returns end of file.
    bool seesLineClosed(std::chrono::milliseconds limit = kPatience) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            pollfd fd{fd_.get(), POLLIN, 0};
            if (::poll(&fd, 1, 10) > 0 && (fd.revents & POLLHUP) != 0) {
                char byte = 0;
                return ::read(fd_.get(), &byte, 1) == 0;
            }
        }
        return false;
    }

  private:
    bool readable(std::chrono::milliseconds wait) {
        pollfd fd{fd_.get(), POLLIN, 0};
        return ::poll(&fd, 1, static_cast<int>(wait.count())) > 0 && (fd.revents & POLLIN);
    }

    UniqueFd fd_;
};

inline LineFormat NoteFor(const LineSettings& line) {
    LineFormat format;
    format.baud = line.baud;
    format.dataBits = line.dataBits;
    format.parity = line.parity;
    format.stopBits = line.stopBits;
    format.flow = line.protocol == Protocol::XonXoff  ? FlowControl::XonXoff
                  : line.protocol == Protocol::RtsCts ? FlowControl::RtsCts
                                                      : FlowControl::None;
    return format;
}

inline Options StandardOptions(char preamble = 0, char postamble = 0) {
    Options options;
    options.line.protocol = Protocol::Standard;
    options.preamble = preamble;
    options.postamble = postamble;
    return options;
}

inline Options BrakenholmOptions(int model = 40) {
    Options options;
    options.family = Family::Brakenholm;
    options.model = model;
    return options;
}

class SimHostTest : public ::testing::Test {
  protected:
    void TearDown() override {
        host.reset();
        if (sim)
            sim->stop();
    }

    // Starts a printer and a host whose note matches it (or the note given).
    void start(const Options& options, std::optional<LineFormat> note = std::nullopt) {
        sim = std::make_unique<PrinterSim>(options);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        host = std::make_unique<Host>(sim->devicePath());
        ASSERT_TRUE(host->isOpen());
        host->note(note.value_or(NoteFor(options.line)));
    }

    std::string ask(const std::string& bytes) {
        host->send(bytes);
        settle();
        return host->drain();
    }

    // Lets the printer finish what it is doing, however long that takes in real time.
    void settle() { EXPECT_TRUE(sim->settle()) << "the simulated printer is stuck"; }

    // Reads until `count` bytes came or the printer has nothing more to send for now.
    std::string receive(std::size_t count) {
        std::string received = host->drain();
        while (received.size() < count) {
            settle();
            const std::string more = host->drain();
            if (more.empty())
                break;
            received += more;
        }
        return received;
    }

    // A file in the test's private directory, whose runtime directory holds the line notes.
    std::string path(const std::string& name) const { return env.root() + "/" + name; }

    test::TestEnv env;
    std::unique_ptr<PrinterSim> sim;
    std::unique_ptr<Host> host;
};

}  // namespace tarvo::sim::wire
