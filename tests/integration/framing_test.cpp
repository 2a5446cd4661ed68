// Framed messages against the simulated printer under each line protocol: exact bytes on the
// wire, acknowledges, busy printers, frame characters, long replies and lines that go away.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "port/framing.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using test::HostSent;
using test::PrinterSent;

class FramingTest : public test::SimTest {
  protected:
    void open(sim::Options options) {
        startPrinter(options);
        ConnOpen(*FindContext(ctx), conn);
    }
    void TearDown() override {
        ConnClose(conn);
        SimTest::TearDown();
    }
    int write(const std::string& text, int retries = 5) {
        return FramedWrite(conn, text.data(), text.size(), retries, &sysErr);
    }
    int read(std::string* out, std::size_t capacity = 4096, int retries = 5,
             bool unescape = false) {
        std::string buffer(capacity, '\0');
        std::size_t count = 0;
        const int status =
            FramedRead(conn, buffer.data(), capacity, retries, 500, unescape, &count, &sysErr);
        out->assign(buffer, 0, count);
        return status;
    }
    static sim::Options Standard() {
        sim::Options o;
        o.line.protocol = sim::Protocol::Standard;
        return o;
    }

    Connection conn;
    unsigned sysErr = 0;
};

TEST_F(FramingTest, XonXoffWritePutsTheFrameOnTheWireWithoutWaiting) {
    open({});
    ASSERT_EQ(write("<ESC>M1"), 0);
    printer->settle();
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>M1<ETX>");
    std::string reply;
    ASSERT_EQ(read(&reply), 0);
    EXPECT_EQ(reply, "066197,1.13,6220E");
}

TEST_F(FramingTest, StandardWriteIsAcknowledged) {
    open(Standard());
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string reply;
    ASSERT_EQ(read(&reply), 0);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>m<ETX>");
    EXPECT_EQ(PrinterSent(*printer), "<DC1>" + reply);
}

TEST_F(FramingTest, BusyPrinterIsAskedAgainUntilItAcknowledges) {
    sim::Options o = Standard();
    o.faults.busyCount = 2;
    open(o);
    ASSERT_EQ(write("<ESC>M1"), 0);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>M1<ETX><ENQ><ENQ>");
    EXPECT_TRUE(PrinterSent(*printer).starts_with("<DC3><DC3><DC1>")) << PrinterSent(*printer);
}

TEST_F(FramingTest, BusyWaitingIsBoundedByTheRetryCount) {
    sim::Options o = Standard();
    o.faults.busyCount = 100;
    open(o);
    EXPECT_EQ(write("<ESC>M1", 3), kFrameNoAck);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>M1<ETX><ENQ><ENQ>") << "three passes, two re-asks";
}

TEST_F(FramingTest, LostAcknowledgeIsRecoveredByEnquiry) {
    sim::Options o = Standard();
    o.faults.lostAcks = 1;
    open(o);
    ASSERT_EQ(write("<ESC>P"), 0);  // a command without a reply of its own
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>P<ETX><ENQ>");
    EXPECT_EQ(PrinterSent(*printer), "<DC1>");
}

TEST_F(FramingTest, SilentPrinterGivesNoAcknowledgeAfterEveryPass) {
    sim::Options o = Standard();
    o.faults.silent = true;
    open(o);
    const auto before = clock->elapsed();
    EXPECT_EQ(write("<ESC>m", 2), kFrameNoAck);
    // Two answer waits of a second each and one pause before the re-ask.
    EXPECT_EQ(clock->elapsed() - before, platform::Millis{2250});
}

TEST_F(FramingTest, ZeroRetriesStillMakesOnePass) {
    open(Standard());
    EXPECT_EQ(write("<ESC>m", 0), 0);
}

TEST_F(FramingTest, UnexpectedAcknowledgeByteIsAProtocolError) {
    sim::Options o = Standard();
    o.faults.garbage = "A";
    open(o);
    EXPECT_EQ(write("<ESC>m"), kFrameProtocol);
}

TEST_F(FramingTest, PreambleAndPostambleFrameTheAcknowledgeAndTheReply) {
    sim::Options o = Standard();
    o.preamble = '#';
    o.postamble = '$';
    open(o);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string reply;
    ASSERT_EQ(read(&reply), 0);
    EXPECT_EQ(PrinterSent(*printer), "#<DC1>$#" + reply + "$");
    EXPECT_FALSE(reply.empty());
    EXPECT_EQ(reply.find('#'), std::string::npos);
}

TEST_F(FramingTest, AcknowledgeWithoutTheExpectedPreambleIsRefused) {
    sim::Options o = Standard();
    open(o);
    // The host expects a preamble the printer does not send.
    FindContext(ctx)->comm.preamble = '#';
    ConnClose(conn);
    ConnOpen(*FindContext(ctx), conn);
    EXPECT_EQ(write("<ESC>m"), kFrameProtocol);
}

TEST_F(FramingTest, ReplyWithoutItsPreambleIsReadAgainAndThenRefused) {
    sim::Options o;
    open(o);
    FindContext(ctx)->comm.preamble = '#';
    ConnClose(conn);
    ConnOpen(*FindContext(ctx), conn);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string reply;
    EXPECT_EQ(read(&reply, 4096, 2), kFrameProtocol);
    EXPECT_TRUE(reply.empty());
}

TEST_F(FramingTest, LongReplyIsDeliveredInPartsAndTheRestNeedsNoPort) {
    sim::Options o;
    o.faults.floodBytes = 50;
    open(o);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string first;
    ASSERT_EQ(read(&first, 30), kFrameReplyKept);
    EXPECT_EQ(first.size(), 30u);
    printer->stop();  // the rest must come from what the connection kept
    std::string second;
    ASSERT_EQ(read(&second, 30), 0);
    EXPECT_EQ(second.size(), 20u);
}

TEST_F(FramingTest, KeptReplyBytesDieWithTheirConnection) {
    sim::Options o;
    o.faults.floodBytes = 50;
    open(o);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string part;
    ASSERT_EQ(read(&part, 30), kFrameReplyKept);
    ConnClose(conn);
    ConnOpen(*FindContext(ctx), conn);
    std::string next;
    EXPECT_EQ(read(&next, 30), 0);
    EXPECT_TRUE(next.empty()) << "another operation must never receive an earlier reply";
}

TEST_F(FramingTest, FloodOfBytesIsBounded) {
    sim::Options o;
    o.faults.floodBytes = 9000;
    open(o);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string reply;
    EXPECT_EQ(read(&reply, 30), kFrameReplyKept);
    EXPECT_EQ(reply.size(), 30u);
    EXPECT_LE(conn.pending.size(), 2 * kReceiveSize + 20 - 30);
}

TEST_F(FramingTest, UnescapingKeepsTheEscapedByte) {
    sim::Options o;
    o.faults.garbage =
        "\x10\x02"
        "A";
    open(o);
    ASSERT_EQ(write("<ESC>m"), 0);
    std::string reply;
    ASSERT_EQ(read(&reply, 4096, 5, true), 0);
    EXPECT_TRUE(
        reply.starts_with("\x02"
                          "A"))
        << reply;
}

TEST_F(FramingTest, MessageSizeLimitsFollowTheProtocol) {
    open(Standard());
    EXPECT_EQ(write(std::string(257, 'x')), kFrameTooLong);
    EXPECT_EQ(write(std::string(256, 'x')), 0);

    ConnClose(conn);
    open({});
    EXPECT_EQ(write(std::string(4097, 'x')), kFrameTooLong);
    EXPECT_EQ(write(std::string(4096, 'x')), 0);
    printer->settle();
    EXPECT_EQ(HostSent(*printer), "<STX>" + std::string(4096, 'x') + "<ETX>");
}

TEST_F(FramingTest, LineThatClosesMidReplyEndsWithATimeoutAndEio) {
    sim::Options o;
    o.faults.closeAfterReplyBytes = 4;
    open(o);
    ASSERT_EQ(write("<ESC>M1"), 0);
    std::string reply;
    EXPECT_EQ(read(&reply), 0) << "what arrived before the cut is delivered";
    EXPECT_EQ(reply.size(), 4u);
    EXPECT_EQ(read(&reply), kFrameTimeout);
    EXPECT_EQ(sysErr, static_cast<unsigned>(EIO));
    EXPECT_EQ(write("<ESC>M1"), kPortWriteFailed);

    // The context stays usable: a new printer on the same context answers.
    ConnClose(conn);
    open({});
    ASSERT_EQ(write("<ESC>M1"), 0);
    ASSERT_EQ(read(&reply), 0);
    EXPECT_EQ(reply, "066197,1.13,6220E");
}

TEST_F(FramingTest, PrinterOnOtherLineSettingsHearsNothing) {
    sim::Options o = Standard();
    open(o);
    env.setProfile("Baud", "19200");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    ConnClose(conn);
    ConnOpen(*FindContext(ctx), conn);
    EXPECT_EQ(write("<ESC>m", 2), kFrameNoAck);
    EXPECT_EQ(PrinterSent(*printer), "");
}

TEST_F(FramingTest, MissingDeviceFailsToOpenAfterThreeAttempts) {
    startPrinter();
    env.setProfile("Device.COM1", env.root() + "/missing");
    ConnOpen(*FindContext(ctx), conn);
    const auto before = clock->elapsed();
    EXPECT_EQ(write("<ESC>M1"), kPortOpenFailed);
    EXPECT_EQ(sysErr, static_cast<unsigned>(ENOENT));
    EXPECT_EQ(clock->elapsed() - before, platform::Millis{500});
}

TEST_F(FramingTest, FailedCloseIsRecordedInTheContext) {
    open({});
    ASSERT_EQ(write("<ESC>M1"), 0);
    // Nothing else may open a file in between, or it could be handed the freed descriptor.
    printer->stop();
    ::close(conn.port.device->fd());  // the descriptor vanishes behind the port's back
    EXPECT_EQ(ConnClose(conn), PCU_ERR_CLOSE);
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_CLOSE);
    EXPECT_EQ(FindContext(ctx)->lastSysError, EBADF);
    EXPECT_FALSE(conn.port.isOpen());
}

}  // namespace
}  // namespace tarvo
