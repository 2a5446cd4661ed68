// The port object under the framing layer: opening, the line it sets, polled reads, bounded
// writes.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tarvo/base/line_format.h"
#include "port/framing.h"
#include "port/port.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using platform::FlowControl;
using platform::LineFormat;
using platform::Millis;

class PortTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        startPrinter();
        port.name = "COM1";
        port.portIndex = 0;
    }
    void TearDown() override {
        if (port.isOpen())
            PortClose(port);
        SimTest::TearDown();
    }
    LineFormat Line() {
        return platform::ReadLineNote(platform::PtyNumberOf(port.device->fd()))
            .value_or(LineFormat{});
    }
    Port port;
};

TEST_F(PortTest, RatesFollowTheLineTable) {
    const std::pair<unsigned, unsigned> cases[] = {{110, 110},     {300, 300},      {1200, 1200},
                                                   {1800, 9600},   {2400, 2400},    {4800, 4800},
                                                   {14400, 9600},  {19200, 19200},  {38400, 38400},
                                                   {57600, 57600}, {115200, 115200}};
    for (const auto& [asked, real] : cases) {
        port.baud = asked;
        ASSERT_TRUE(PortOpen(port, 1, 0).ok()) << asked;
        EXPECT_EQ(Line().baud, real) << asked;
        PortClose(port);
    }
}

TEST_F(PortTest, OddRateUsesACustomDivisor) {
    port.baud = 7200;
    const PortResult r = PortOpen(port, 1, 0);
    ASSERT_TRUE(r.ok()) << r.sysError;
    EXPECT_EQ(Line().baud, 7200u);
}

TEST_F(PortTest, XonXoffCharactersDecideTheFlowControl) {
    port.inX = port.outX = true;
    ASSERT_TRUE(PortOpen(port, 1, 0).ok());
    EXPECT_EQ(Line().flow, FlowControl::XonXoff);
    PortClose(port);

    port.xonChar = port.xoffChar = 0;
    ASSERT_TRUE(PortOpen(port, 1, 0).ok());
    EXPECT_EQ(Line().flow, FlowControl::None) << "both zero switches XON/XOFF off";
    EXPECT_FALSE(port.inX);
    PortClose(port);

    port.inX = port.outX = true;
    port.xonChar = port.xoffChar = 0x11;
    const PortResult r = PortOpen(port, 1, 0);
    EXPECT_EQ(r.status, kPortXonXoffEqual);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortTest, ReadWithNothingQueuedReturnsNothingAfterOnePoll) {
    ASSERT_TRUE(PortOpen(port, 1, 0).ok());
    char buf[8];
    std::size_t count = 99;
    const auto before = clock->elapsed();
    EXPECT_TRUE(PortRead(port, buf, sizeof buf, 0, &count).ok());
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(clock->elapsed() - before, Millis{250});
}

TEST_F(PortTest, OpenRefusesNegativeAttemptsAndReportsTheOsError) {
    EXPECT_EQ(PortOpen(port, -1, 0).status, kPortOpenFailed);
    env.setProfile("Device.COM1", env.root() + "/gone");
    const PortResult r = PortOpen(port, 0, 100);
    EXPECT_EQ(r.status, kPortOpenFailed);
    EXPECT_EQ(r.detail, kDetailOpen);
    EXPECT_EQ(r.sysError, ENOENT);
}

TEST_F(PortTest, ClosedPortRefusesEverything) {
    char b = 0;
    std::size_t count = 0;
    EXPECT_EQ(PortWrite(port, "x", 1).status, kPortNotOpen);
    EXPECT_EQ(PortRead(port, &b, 1, 0, &count).status, kPortNotOpen);
    EXPECT_EQ(PortPurgeInput(port).status, kPortNotOpen);
    EXPECT_EQ(PortClose(port).status, kPortNotOpen);
}

TEST_F(PortTest, WriteHeldByXoffEndsWithinItsTimeOut) {
    sim::Options o;
    o.faults.garbage = "\x13";  // the printer stops the host's output
    startPrinter(o);
    port.inX = port.outX = true;
    ASSERT_TRUE(PortOpen(port, 1, 0).ok());
    ASSERT_TRUE(PortWrite(port, "\x02\x1bm\x03", 4).ok());
    printer->settle();
    const std::string big(64 * 1024, 'x');
    const PortResult r = PortWrite(port, big.data(), big.size());
    EXPECT_EQ(r.status, kPortWriteFailed);
    EXPECT_EQ(r.sysError, ETIMEDOUT);
}

}  // namespace
}  // namespace tarvo
