// One configuration file to several printers at once, through the real `tarvo`: one printer
// takes it, one is silent, one is of another model.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliFleetTest : public test::SimTest {
  protected:
    std::unique_ptr<sim::PrinterSim> another(int model, bool silent) {
        sim::Options o = Standard();
        o.model = model;
        o.faults.silent = silent;
        auto printer = std::make_unique<sim::PrinterSim>(o);
        std::string error;
        EXPECT_TRUE(printer->start(&error)) << error;
        return printer;
    }
    static sim::Options Standard() {
        sim::Options o;
        o.line.protocol = sim::Protocol::Standard;
        return o;
    }
    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
};

TEST_F(CliFleetTest, OnePushReachesEachPrinterAndTheTableSaysHowItWent) {
    startPrinter(Standard());  // a 6220E
    const std::string file = env.root() + "/fleet.tcf";
    ASSERT_EQ(tarvo("config pull " + file).status, 0);
    ASSERT_EQ(tarvo("--yes config set darkness=7").status, 0);
    const auto silent = another(18, true);
    const auto other = another(19, false);  // a 6240E
    const std::string devices =
        printer->devicePath() + "," + silent->devicePath() + "," + other->devicePath();

    const Outcome push = tarvo("config push " + file + " --devices " + devices);
    EXPECT_EQ(push.status, 1) << push.err;
    EXPECT_EQ(push.out.rfind("DEVICE", 0), 0u) << push.out;
    const auto row = [&](const std::string& device) {
        const auto at = push.out.find(device + " ");
        return at == std::string::npos ? std::string()
                                       : push.out.substr(at, push.out.find('\n', at) - at);
    };
    EXPECT_NE(row(printer->devicePath()).find(" 6220E "), std::string::npos) << push.out;
    EXPECT_NE(row(printer->devicePath()).find(" sent "), std::string::npos) << push.out;
    EXPECT_NE(row(silent->devicePath()).find(" failed "), std::string::npos) << push.out;
    EXPECT_NE(row(other->devicePath()).find(" skipped "), std::string::npos) << push.out;
    EXPECT_NE(row(other->devicePath()).find("not the 6240E"), std::string::npos) << push.out;
    EXPECT_EQ(tarvo("--json config show").out.find("\"darkness\": {\n      \"value\": 7"),
              std::string::npos)
        << "the good printer took the file's darkness back";

    const Outcome forced =
        tarvo("--json config push " + file + " --devices " + other->devicePath() + " --force");
    EXPECT_EQ(forced.status, 0) << forced.err;
    const auto table = nlohmann::json::parse(forced.out);
    EXPECT_EQ(table[0]["model"], "6240E");
    EXPECT_EQ(table[0]["result"], "sent");
}

}  // namespace
}  // namespace tarvo
