// The shared session and the liveness probes against simulated printers.
#include <gtest/gtest.h>
#include <stdlib.h>
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

// A simulated script-language printer; its faults stand in for the answers that are not "Ok".
class ScriptPingTest : public test::SimTest {
  protected:
    int ping(const sim::Faults& faults) {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e
        o.faults = faults;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        EXPECT_EQ(PCUInitCommParm(ctx), PCU_OK);
        return PCUPing(ctx);
    }
};

TEST_F(ScriptPingTest, OkAfterOtherBytesIsAnAnswer) {
    sim::Faults faults;
    faults.garbage = std::string(20, '.');
    EXPECT_EQ(ping(faults), 1);
    EXPECT_EQ(HostSent(*printer), "<DC1>SYSVAR(18)=2<CR><LF>");
}

TEST_F(ScriptPingTest, SilenceOrAnotherAnswerIsNot) {
    sim::Faults faults;
    faults.silent = true;
    EXPECT_EQ(ping(faults), 0);
    faults.silent = false;
    faults.floodBytes = 30;
    EXPECT_EQ(ping(faults), 0) << "noise instead of the answer";
    faults.floodBytes = 0;
    faults.garbage = std::string(40, '.');
    EXPECT_EQ(ping(faults), 0) << "only the first 30 bytes are read";
}

TEST_F(ScriptPingTest, CheckForResponseIsAlwaysZeroForScriptPrinters) {
    env.setProfile("Family", "Brakenholm");
    EXPECT_EQ(PCUCheckForResponse(PCUCfgInit()), 0);
}

}  // namespace
}  // namespace tarvo
