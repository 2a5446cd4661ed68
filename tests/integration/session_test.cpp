// The shared session and the liveness probes against simulated printers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/clock.h"
#include "platform/trace.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using test::HostSent;

class SessionTest : public test::SimTest {};

TEST_F(SessionTest, PingIsAnsweredUnderEveryProtocol) {
    for (sim::Protocol protocol :
         {sim::Protocol::XonXoff, sim::Protocol::Standard, sim::Protocol::RtsCts}) {
        sim::Options o;
        o.line.protocol = protocol;
        startPrinter(o);
        EXPECT_EQ(PCUPing(ctx), 1) << static_cast<int>(protocol);
        EXPECT_EQ(HostSent(*printer).substr(0, 17), "<STX><ESC>M1<ETX>");
    }
}

TEST_F(SessionTest, PingOfASilentOrMismatchedPrinterIsNotAnswered) {
    sim::Options o;
    o.faults.silent = true;
    startPrinter(o);
    EXPECT_EQ(PCUPing(ctx), 0);

    startPrinter();
    env.setProfile("Parity", "Odd");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    EXPECT_EQ(PCUPing(ctx), 0);
    EXPECT_EQ(FindContext(ctx)->lastError, 0) << "a probe records nothing";
}

TEST_F(SessionTest, PingOfAMissingPortIsNotAnswered) {
    startPrinter();
    env.setProfile("Device.COM1", env.root());  // a directory, not a device
    EXPECT_EQ(PCUPing(ctx), 0);
    env.setProfile("Device.COM1", "none");
    EXPECT_EQ(PCUPing(ctx), 0);
}

TEST_F(SessionTest, PongAsksForMemoryAndCheckForResponseOnlyListens) {
    startPrinter();
    EXPECT_EQ(PCUPong(ctx), 1);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>m<ETX>");
    printer->clearTranscript();
    EXPECT_EQ(PCUCheckForResponse(ctx), 0);
    EXPECT_EQ(HostSent(*printer), "");
}

TEST_F(SessionTest, SharedConnectionWritesAndReads) {
    startPrinter();
    char buf[PCU_READ_BUFFER_SIZE];
    int count = -1;
    EXPECT_EQ(PCUWritePrinter(ctx, "<ESC>M1"), 0) << "no session opened yet";
    EXPECT_EQ(PCUReadPrinter(ctx, buf, &count), 0);
    EXPECT_EQ(count, 0);

    ASSERT_EQ(PCUOpenPrinter(ctx), 1);
    ASSERT_EQ(PCUWritePrinter(ctx, "<ESC>M1"), 1);
    PCUWait(300);
    ASSERT_EQ(PCUReadPrinter(ctx, buf, &count), 1);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(count)), "066197,1.13,6220E");
    EXPECT_EQ(PCUReadPrinter(ctx, nullptr, &count), 0);
    EXPECT_EQ(PCUClosePrinter(ctx), 1);
    EXPECT_EQ(PCUClosePrinter(ctx), 1) << "closing twice is harmless";
}

TEST_F(SessionTest, FailedCloseReturnsZeroAndRecordsCodeSeven) {
    startPrinter();
    ASSERT_EQ(PCUOpenPrinter(ctx), 1);
    ASSERT_EQ(PCUWritePrinter(ctx, "<ESC>M1"), 1);
    // Nothing else may open a file in between, or it could be handed the freed descriptor.
    printer->stop();
    ::close(State().shared.port.device->fd());
    EXPECT_EQ(PCUClosePrinter(ctx), 0);
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_CLOSE);
    EXPECT_STREQ(PCUErrStr(ctx), "Error occurred in PCU DLL.");
}

TEST_F(SessionTest, TraceLogsEveryByteInMnemonics) {
    const std::string log = env.root() + "/trace.log";
    ::setenv("TARVO_TRACE", log.c_str(), 1);
    platform::ResetTrace();
    startPrinter();
    ASSERT_EQ(PCUPing(ctx), 1);
    ::setenv("TARVO_TRACE", "", 1);
    platform::ResetTrace();
    const std::string text = test::ReadFile(log);
    EXPECT_NE(text.find("COM1 > <STX><ESC>M1<ETX>"), std::string::npos) << text;
    EXPECT_NE(text.find("COM1 < 066197,1.13,6220E"), std::string::npos) << text;
}

// A script-language printer, played by the test on the fake clock: before every wait of the
// host it takes in what the host wrote and, once a whole line came, answers `reply` (once).
class ScriptPrinter {
  public:
    explicit ScriptPrinter(std::string reply) : reply_(std::move(reply)) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master_);
        ::unlockpt(master_);
        path_ = ::ptsname(master_);
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ~ScriptPrinter() {
        ::close(slave_);
        ::close(master_);
    }
    const std::string& path() const { return path_; }
    const std::string& received() const { return received_; }

    // poll() first hands on whatever the host side has written, so nothing written before this
    // call is missed.
    void serve() {
        pollfd p{master_, POLLIN, 0};
        char buf[256];
        while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                break;
            received_.append(buf, static_cast<std::size_t>(n));
        }
        if (received_.find('\n') != std::string::npos && !reply_.empty()) {
            [[maybe_unused]] const ssize_t w = ::write(master_, reply_.data(), reply_.size());
            reply_.clear();
        }
    }

  private:
    std::string reply_;
    std::string path_;
    std::string received_;
    int master_ = -1;
    int slave_ = -1;
};

class ScriptPingTest : public ::testing::Test {
  protected:
    int ping(const std::string& reply) {
        ScriptPrinter scriptPrinter(reply);
        test::FakeClock clock{[&] { scriptPrinter.serve(); }};
        platform::SetClock(&clock);
        env.setProfile("Device.COM1", scriptPrinter.path());
        env.setProfile("Family", "Brakenholm");
        const int ctx = PCUCfgInit();
        const int answered = PCUPing(ctx);
        platform::SetClock(nullptr);
        received = scriptPrinter.received();
        return answered;
    }
    test::TestEnv env;
    std::string received;
};

TEST_F(ScriptPingTest, OkAfterOtherBytesIsAnAnswer) {
    EXPECT_EQ(ping(std::string(20, '.') + "Ok\r\n"), 1);
    EXPECT_EQ(received, "\x11SYSVAR(18)=2\r\n");
}

TEST_F(ScriptPingTest, SilenceOrAnotherAnswerIsNot) {
    EXPECT_EQ(ping(""), 0);
    EXPECT_EQ(ping("Error\r\n"), 0);
    EXPECT_EQ(ping(std::string(40, '.') + "Ok"), 0) << "only the first 30 bytes are read";
}

TEST_F(ScriptPingTest, CheckForResponseIsAlwaysZeroForScriptPrinters) {
    env.setProfile("Family", "Brakenholm");
    EXPECT_EQ(PCUCheckForResponse(PCUCfgInit()), 0);
}

}  // namespace
}  // namespace tarvo
