// Baud-scaled waits, the extra delay, and waits that sleep while the host repaints.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"
#include "port/wait.h"
#include "session/kernel_state.h"
#include "support/fake_clock.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using platform::Millis;

class WaitTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock); }
    void TearDown() override { platform::SetClock(nullptr); }
    Millis Measure(int units) {
        const Millis before = clock.elapsed();
        PCUWait(units);
        return clock.elapsed() - before;
    }
    test::TestEnv env;
    test::FakeClock clock{[] {}};
};

TEST_F(WaitTest, ScalesByTheProfileBaudRate) {
    const std::pair<const char*, int> cases[] = {{"110", 500},  {"300", 400},   {"600", 300},
                                                 {"1200", 200}, {"2400", 150},  {"4800", 150},
                                                 {"9600", 100}, {"19200", 100}, {"115200", 100}};
    for (const auto& [baud, expected] : cases) {
        env.setProfile("Baud", baud);
        EXPECT_EQ(Measure(100), Millis{expected}) << baud;
    }
}

TEST_F(WaitTest, DefaultBaudWithoutAValueIsNineSixHundred) {
    EXPECT_EQ(Measure(37), Millis{37});
}

TEST_F(WaitTest, ExtraDelayIsAddedAfterScaling) {
    env.setProfile("Baud", "1200");
    State().extraDelayMs = 15;
    EXPECT_EQ(Measure(100), Millis{215});
    EXPECT_EQ(Measure(0), Millis{15});
}

TEST_F(WaitTest, NegativeCountsAreRefused) {
    EXPECT_EQ(Measure(-1000), Millis{0});
}

TEST(RealClockTest, WaitsSleepInSlicesAndPumpTheHostsMessages) {
    test::TestEnv env;
    int pumped = 0;
    PCUHostHooks hooks{};
    hooks.user = &pumped;
    hooks.pumpMessages = [](void* user) { ++*static_cast<int*>(user); };
    PCUSetHostHooks(&hooks);
    const auto start = std::chrono::steady_clock::now();
    WaitMs(100);
    const auto took = std::chrono::steady_clock::now() - start;
    PCUSetHostHooks(nullptr);
    // A sleep never ends early, however busy the machine: the wait keeps its duration.
    EXPECT_GE(took, Millis{100});
    // The window repaints during the wait, once a 20 ms slice: a wait that spun would pump far
    // more often, and a slow machine only ever pumps less.
    EXPECT_GE(pumped, 1);
    EXPECT_LE(pumped, 5);
}

TEST(RealClockTest, KernelCallsFromInsideThePumpAreRefusedDuringAnOperation) {
    test::TestEnv env;
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    struct Probe {
        int ctx = 0;
        int nestedResult = -1;
        const char* nestedError = nullptr;
    } probe;
    probe.ctx = PCUCfgInit();
    PCUHostHooks hooks{};
    hooks.user = &probe;
    hooks.pumpMessages = [](void* user) {
        auto* p = static_cast<Probe*>(user);
        if (p->nestedResult == -1)
            p->nestedResult = PCUOpenPrinter(p->ctx);
    };
    PCUSetHostHooks(&hooks);
    // A ping on a missing device waits between its open attempts, pumping messages.
    EXPECT_EQ(PCUPing(probe.ctx), 0);
    PCUSetHostHooks(nullptr);
    EXPECT_EQ(probe.nestedResult, 0) << "a re-entrant call must be refused";
    EXPECT_EQ(PCUOpenPrinter(probe.ctx), 1) << "after the operation the kernel is free again";
    PCUClosePrinter(probe.ctx);
}

}  // namespace
}  // namespace tarvo
