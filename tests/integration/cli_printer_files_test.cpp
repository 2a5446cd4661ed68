// A Brakenholm printer's files, clock and start-up program through the real `tarvo`, against
// the simulated printer: a listing of 300 files, deletions with a refused KILL, the clock set
// and read back, and the command modes and a resident program.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <ctime>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

std::string LocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

class CliPrinterFilesTest : public test::SimTest {
  protected:
    void start(const std::string& refuseKill = {}) {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e, generation 3
        o.line = {9600, 8, 'N', 1, sim::Protocol::XonXoff};
        o.faults.refuseKill = refuseKill;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
    }
    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
    void add(const std::string& device, const std::string& name, std::uint32_t size) {
        std::string error;
        ASSERT_TRUE(printer->addFile({device, name, size}, &error)) << error;
    }
    std::vector<std::string> names(const std::string& device) const {
        std::vector<std::string> out;
        for (const sim::PrinterFile& f : printer->files(device))
            out.push_back(f.name);
        return out;
    }
};

TEST_F(CliPrinterFilesTest, ThreeHundredFilesAreListedWhole) {
    start();
    for (int i = 0; i < 300; ++i)
        add("c:", "F" + std::to_string(1000 + i) + ".DAT", static_cast<std::uint32_t>(i));
    const Outcome list = tarvo("files list c: --json");
    ASSERT_EQ(list.status, 0) << list.err;
    const auto json = nlohmann::json::parse(list.out);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["entries"].size(), 300u);
    EXPECT_EQ(json[0]["entries"][299]["name"], "F1299");
    EXPECT_EQ(json[0]["entries"][299]["extension"], "DAT");
    EXPECT_EQ(json[0]["entries"][299]["size"], 299);
    EXPECT_TRUE(json[0]["complete"]);
    EXPECT_TRUE(json[0]["freeBytes"].is_number());
}

TEST_F(CliPrinterFilesTest, DeletionReportsTheFileThePrinterKept) {
    start("c:/KEEP.DAT");
    const std::string name30(30, 'L');
    add("c:", "HELLO.PRG", 1234);
    add("c:", "LOGO.PCX", 500);
    add("c:", "KEEP.DAT", 10);
    add("c:", name30, 20);
    const std::string all = "files delete HELLO.PRG LOGO.PCX KEEP.DAT " + name30;
    EXPECT_EQ(tarvo(all).status, 2) << "off a terminal only with --yes";
    EXPECT_EQ(names("c:").size(), 4u) << "nothing changed";
    EXPECT_EQ(tarvo("files delete 'A\"B' --yes").status, 2);
    EXPECT_EQ(tarvo("files delete c:/.setup.saved --yes").status, 2);

    const Outcome deleted = tarvo(all + " --yes");
    EXPECT_EQ(deleted.status, 1);
    EXPECT_NE(deleted.err.find("Unable to delete file 'c:/KEEP.DAT' in printer."),
              std::string::npos)
        << deleted.err;
    EXPECT_NE(deleted.out.find("Deleted c:/" + name30 + "."), std::string::npos) << deleted.out;
    EXPECT_EQ(names("c:"), std::vector<std::string>{"KEEP.DAT"});
}

TEST_F(CliPrinterFilesTest, ClockSetIsReadBack) {
    start();
    const Outcome set = tarvo("clock set 2031-02-03 14:07:09 --yes");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out.substr(0, 16), "2031-02-03 14:07");
    EXPECT_EQ(tarvo("clock get").out.substr(0, 10), "2031-02-03");
    EXPECT_EQ(tarvo("clock set 2031-02-30 10:00:00 --yes").status, 2);

    const std::string before = LocalDate();
    ASSERT_EQ(tarvo("clock set --from-host --yes").status, 0);
    const std::string shown = tarvo("clock get").out.substr(0, 10);
    const std::string after = LocalDate();
    EXPECT_TRUE(shown == before || shown == after) << shown;
}

TEST_F(CliPrinterFilesTest, ModesSwitchAndAResidentProgramEndsTheConversation) {
    start();
    EXPECT_EQ(tarvo("startup-program get").out, "Current application mode: 1.13\n");
    const Outcome mode = tarvo("startup-program set swiftlane");
    ASSERT_EQ(mode.status, 0) << mode.err;
    EXPECT_EQ(mode.out, "Current application mode: Swiftlane 1.13\n");
    EXPECT_EQ(tarvo("startup-program set tallyscript").out, "Current application mode: 1.13\n");
    EXPECT_EQ(tarvo("startup-program set labelkit").status, 2) << "asks; no terminal";
    EXPECT_EQ(tarvo("startup-program set 'c:/A\"B.PRG' --yes").status, 2);
    const Outcome run = tarvo("startup-program set labelkit --yes");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(tarvo("startup-program get").status, 0) << "the printer no longer answers";
}

TEST_F(CliPrinterFilesTest, SimulatedPrinterOfTheOptionListsItsFiles) {
    const Outcome list = tarvo("--simulate TQ8e --simulate-fresh files list");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "c:\n0 object(s), 1048576 bytes free\nram:\n0 object(s), 1048576 bytes free\n");
}

}  // namespace
}  // namespace tarvo
