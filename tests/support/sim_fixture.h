// A test with a simulated printer on COM1: private surroundings, the printer started on a
// pseudo-terminal, the profile's Device.COM1 pointing at it, a fake clock tied to it, and one
// kernel context loaded from the profile.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/fake_clock.h"
#include "support/test_env.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::test {

class SimTest : public ::testing::Test {
  protected:
    // Starts the printer with `options` and makes the context. Tests whose printer needs
    // other options call it again (the earlier printer is stopped).
    void startPrinter(const sim::Options& options);
    void startPrinter() { startPrinter(sim::Options{}); }

    // Lets the printer take in and answer what the host wrote, however long that takes in real
    // time; a printer that is stuck fails the test. The fake clock calls it before every wait.
    void settlePrinter();

    void SetUp() override;
    void TearDown() override;

    // Writes the printer's line (protocol and frame characters included) to the profile and
    // loads the context from it, creating the context the first time.
    void matchContextToPrinter(const sim::Options& options);

    TestEnv env;
    std::unique_ptr<sim::PrinterSim> printer;
    std::unique_ptr<FakeClock> clock;
    int ctx = 0;
};

}  // namespace tarvo::test
