#include "support/sim_fixture.h"

#include <poll.h>

#include "platform/clock.h"
#include "tarvo/kernel.h"

namespace tarvo::test {

void FakeClock::sleepFor(platform::Millis duration) {
    settle_();
    now_ += duration;
}

bool FakeClock::waitReadable(int fd, platform::Millis timeout) {
    settle_();
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0)
        return true;
    now_ += timeout;
    return false;
}

bool FakeClock::waitWritable(int fd, platform::Millis timeout) {
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 0) > 0)
        return true;
    settle_();
    if (::poll(&p, 1, 0) > 0)
        return true;
    now_ += timeout;
    return false;
}

platform::Millis FakeClock::elapsed() const {
    return std::chrono::duration_cast<platform::Millis>(now_ - start_);
}

void SimTest::SetUp() {
    clock = std::make_unique<FakeClock>([this] { settlePrinter(); });
    platform::SetClock(clock.get());
}

void SimTest::settlePrinter() {
    if (printer && !printer->settle())
        ADD_FAILURE() << "the simulated printer is stuck: busy without moving a byte";
}

void SimTest::TearDown() {
    platform::SetClock(nullptr);
    if (printer)
        printer->stop();
}

void SimTest::startPrinter(const sim::Options& options) {
    if (printer)
        printer->stop();
    printer = std::make_unique<sim::PrinterSim>(options);
    std::string error;
    ASSERT_TRUE(printer->start(&error)) << error;
    env.setProfile("Device.COM1", printer->devicePath());
    matchContextToPrinter(options);
}

void SimTest::matchContextToPrinter(const sim::Options& options) {
    const sim::LineSettings& line = options.line;
    env.setProfile("Baud", std::to_string(line.baud));
    env.setProfile("DataBits", std::to_string(line.dataBits));
    env.setProfile("StopBits", std::to_string(line.stopBits));
    switch (line.parity) {
        case 'O':
            env.setProfile("Parity", "Odd");
            break;
        case 'N':
            env.setProfile("Parity", "None");
            break;
        case 'M':
            env.setProfile("Parity", "Mark");
            break;
        case 'S':
            env.setProfile("Parity", "Space");
            break;
        default:
            env.setProfile("Parity", "Even");
            break;
    }
    switch (line.protocol) {
        case sim::Protocol::Standard:
            env.setProfile("Protocol", "Standard");
            break;
        case sim::Protocol::RtsCts:
            env.setProfile("Protocol", "RTS/CTS");
            break;
        default:
            env.setProfile("Protocol", "XON/XOFF");
            break;
    }
    env.setProfile("Preamble", options.preamble != 0 ? std::string(1, options.preamble) : "NULL");
    env.setProfile("Postamble",
                   options.postamble != 0 ? std::string(1, options.postamble) : "NULL");
    if (ctx == 0) {
        ctx = PCUCfgInit();
        ASSERT_NE(ctx, 0);
    } else {
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    }
}

}  // namespace tarvo::test
