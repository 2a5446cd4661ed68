// The raw port functions: opening rules, the line they set, bounded reads and writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "tarvo/base/line_format.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using platform::FlowControl;
using platform::LineFormat;

class RawPortTest : public test::SimTest {
  protected:
    // The line the kernel asked for on the handle's pseudo-terminal.
    LineFormat LineOf(PCUHandle handle) {
        const auto note = platform::ReadLineNote(platform::PtyNumberOf(handle));
        EXPECT_TRUE(note.has_value());
        return note.value_or(LineFormat{});
    }
};

TEST_F(RawPortTest, RefusesUnknownContextsParallelPortsAndNonDevices) {
    startPrinter();
    EXPECT_EQ(OpenPrinterG(0, 0, nullptr), PCU_INVALID_HANDLE);
    EXPECT_EQ(OpenPrinterG(ctx + 1, 0, nullptr), PCU_INVALID_HANDLE);
    env.setProfile("Device.LPT1", printer->devicePath());
    EXPECT_EQ(OpenPrinterG(ctx, PCU_PORT_LPT1, nullptr), PCU_INVALID_HANDLE)
        << "the raw functions serve serial ports only";
    const std::string file = env.root() + "/plain-file";
    std::ofstream(file) << "x";
    for (const std::string& path : {env.root() + "/missing", env.root(), file}) {
        env.setProfile("Device.COM2", path);
        EXPECT_EQ(OpenPrinterG(ctx, PCU_PORT_COM2, nullptr), PCU_INVALID_HANDLE) << path;
    }
}

TEST_F(RawPortTest, ContextSettingsBelowNineteenTwoHundredOpenAtNineSixHundred) {
    startPrinter();
    env.setProfile("Baud", "4800");
    env.setProfile("Parity", "Mark");
    env.setProfile("DataBits", "8");
    env.setProfile("StopBits", "2");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_FROM_CONTEXT, nullptr);
    ASSERT_NE(h, PCU_INVALID_HANDLE);
    EXPECT_EQ(LineOf(h), (LineFormat{9600, 8, 'M', 2, FlowControl::XonXoff}));
    EXPECT_EQ(ClosePrinterG(h), 1);
    EXPECT_FALSE(platform::ReadLineNote(platform::PtyNumberOf(h)).has_value())
        << "closing withdraws the note";
    EXPECT_EQ(ClosePrinterG(h), 0) << "a closed handle is unknown";

    env.setProfile("Baud", "57600");
    env.setProfile("Protocol", "RTS/CTS");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    const PCUHandle fast = OpenPrinterG(ctx, 9, nullptr);
    ASSERT_NE(fast, PCU_INVALID_HANDLE);
    EXPECT_EQ(LineOf(fast), (LineFormat{57600, 8, 'M', 2, FlowControl::RtsCts}));
    ClosePrinterG(fast);
}

TEST_F(RawPortTest, DeviceControlTextSetsTheLine) {
    startPrinter();
    const std::pair<const char*, LineFormat> cases[] = {
        {"COM1:19200,n,8,1", {19200, 8, 'N', 1, FlowControl::None}},
        {"9600,e,7,2", {9600, 7, 'E', 2, FlowControl::None}},
        {"COM1: 4800, O, 8, 1, x", {4800, 8, 'O', 1, FlowControl::XonXoff}},
    };
    for (const auto& [text, line] : cases) {
        const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, text);
        ASSERT_NE(h, PCU_INVALID_HANDLE) << text;
        EXPECT_EQ(LineOf(h), line) << text;
        ClosePrinterG(h);
    }
    for (const char* bad :
         {"", "COM1:", "fast,n,8,1", "9600,q,8,1", "9600,n,9,1", "9600,n,8,3", "9600,n,8,1,z"}) {
        EXPECT_EQ(OpenPrinterG(ctx, PCU_PORT_COM1, bad), PCU_INVALID_HANDLE) << bad;
    }
}

TEST_F(RawPortTest, ReadTakesWhatFitsAndSaysWhenMoreWasQueued) {
    sim::Options o;
    o.faults.floodBytes = 40;
    startPrinter(o);
    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, nullptr);
    ASSERT_NE(h, PCU_INVALID_HANDLE);
    unsigned written = 0;
    unsigned sysErr = 99;
    ASSERT_EQ(WriteToPrinterG(h, "\x02\x1bm\x03", 4, &written, &sysErr), 1);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(sysErr, 0u);
    char buf[30];
    unsigned count = 0;
    EXPECT_EQ(ReadFromPrinterG(h, buf, sizeof buf, &count, &sysErr), 1);
    EXPECT_EQ(count, 30u);
    EXPECT_EQ(sysErr, 0u);
    EXPECT_EQ(ReadFromPrinterG(h, buf, sizeof buf, &count, &sysErr), 0);
    EXPECT_EQ(count, 10u);
    ClosePrinterG(h);
}

TEST_F(RawPortTest, ShortReplyIsTerminated) {
    startPrinter();
    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, nullptr);
    unsigned written = 0;
    unsigned sysErr = 0;
    ASSERT_EQ(WriteToPrinterG(h, "\x02\x1bM1\x03", 5, &written, &sysErr), 1);
    char buf[64];
    std::memset(buf, 'z', sizeof buf);
    unsigned count = 0;
    EXPECT_EQ(ReadFromPrinterG(h, buf, sizeof buf, &count, &sysErr), 0);
    EXPECT_STREQ(buf, "066197,1.13,6220E");
    EXPECT_EQ(count, 17u);
    ClosePrinterG(h);
}

TEST_F(RawPortTest, LineThatGoesAwayIsAnErrorNotAnEmptyRead) {
    startPrinter();
    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, nullptr);
    ASSERT_NE(h, PCU_INVALID_HANDLE);
    printer->stop();
    char buf[16];
    unsigned count = 7;
    unsigned sysErr = 0;
    EXPECT_EQ(ReadFromPrinterG(h, buf, sizeof buf, &count, &sysErr), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sysErr, static_cast<unsigned>(EIO));
    ClosePrinterG(h);
}

TEST_F(RawPortTest, WritesClearTheirOutputsAndReportErrors) {
    startPrinter();
    unsigned written = 5;
    unsigned sysErr = 5;
    EXPECT_EQ(WriteToPrinterG(12345, "x", 1, &written, &sysErr), EBADF);
    EXPECT_EQ(sysErr, static_cast<unsigned>(EBADF));
    EXPECT_EQ(written, 0u);

    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, nullptr);
    EXPECT_EQ(WriteToPrinterG(h, "x", -1, &written, &sysErr), EINVAL);
    EXPECT_EQ(WriteToPrinterG(h, nullptr, 0, &written, &sysErr), 1);
    EXPECT_EQ(sysErr, 0u);
    ClosePrinterG(h);
}

TEST_F(RawPortTest, CharacterWritesPauseAfterEachByte) {
    startPrinter();
    const PCUHandle h = OpenPrinterG(ctx, PCU_PORT_COM1, nullptr);
    unsigned written = 0;
    unsigned sysErr = 0;
    EXPECT_EQ(WriteCharsToPrinterG(h, "abc", 0, &written, &sysErr), 0);
    EXPECT_EQ(WriteCharsToPrinterG(h, "abc", -4, &written, &sysErr), -4);
    const auto before = clock->elapsed();
    EXPECT_EQ(WriteCharsToPrinterG(h, "\x02\x1bm\x03", 4, &written, &sysErr), 4);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(clock->elapsed() - before, platform::Millis{200});
    printer->settle();
    EXPECT_EQ(test::HostSent(*printer), "<STX><ESC>m<ETX>");
    ClosePrinterG(h);
    EXPECT_EQ(WriteCharsToPrinterG(h, "a", 1, &written, &sysErr), EBADF);
}

}  // namespace
}  // namespace tarvo
