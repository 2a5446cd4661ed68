// `tarvo diagnostics` through the real program against simulated printers of both families: the
// report, the printer's own tests and head checks, their faults, the watch that stops at a
// failure, and JSON that parses.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

constexpr const char* kLanmereReport =
    "Gap:                    12\n"
    "Mark:                   87\n"
    "Label taken:            25\n"
    "Print head temperature: 1\n"
    "Label path:             OPEN\n"
    "40 V supply:            \n"
    "Print head supply:      \n"
    "Head test maximum:      512\n"
    "Head test minimum:      498\n"
    "Head test average:      3\n";

class CliDiagnosticsTest : public test::SimTest {
  protected:
    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
    void startBrakenholm(const sim::Faults& faults) {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e
        o.faults = faults;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
    }
    int heard(const std::string& line) const {
        const auto lines = printer->receivedMessages();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
};

TEST_F(CliDiagnosticsTest, SimulatedLanmerePrinterPrintsTheReport) {
    const Outcome run = tarvo("--simulate 6220E diagnostics");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kLanmereReport);
}

TEST_F(CliDiagnosticsTest, SimulatedBrakenholmPrinterRunsItsTests) {
    const Outcome run = tarvo("--simulate TQ8e diagnostics --dot 5");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Printer status:\n"
              "  Printhead OK\n"
              "Function tests:\n"
              "  CARD    CARD OK\n"
              "  HEAD    HEAD OK\n"
              "  RAM     RAM OK\n"
              "  KERNEL  KERNEL OK\n"
              "  ROM     ROM1.1 OK\n"
              "Whole print head: GREEN  PRINTHEAD OK\n"
              "Mean resistance:  1000\n"
              "Single dot:       GREEN  dot 5: 1005 (mean 1000, tolerance 150)\n");
}

TEST_F(CliDiagnosticsTest, JsonOfBothFamiliesParses) {
    const Outcome lanmere = tarvo("--simulate 6220E --json diagnostics");
    ASSERT_EQ(lanmere.status, 0) << lanmere.err;
    const auto report = nlohmann::json::parse(lanmere.out);
    EXPECT_EQ(report["fields"]["gap"], 12);
    EXPECT_EQ(report["fields"]["labelPath"], "OPEN");
    EXPECT_TRUE(report["fields"]["supply40V"].is_null());
    const Outcome brak = tarvo("--simulate TQ8e --json diagnostics");
    ASSERT_EQ(brak.status, 0) << brak.err;
    const auto tests = nlohmann::json::parse(brak.out);
    EXPECT_EQ(tests["status"]["texts"][0], "Printhead OK");
    EXPECT_EQ(tests["wholeHead"]["indicator"], "GREEN");
    EXPECT_EQ(tests["functionTests"]["RAM"], "RAM OK");
}

TEST_F(CliDiagnosticsTest, FaultsShowAsTheyAre) {
    sim::Faults faults;
    faults.printerStatus = 5;
    faults.badDot = 17;
    startBrakenholm(faults);
    const Outcome run = tarvo("diagnostics --dot 17");
    EXPECT_EQ(run.status, 1) << run.err;
    for (const char* part :
         {"  Printhead lifted\n  Printer out of paper\n", "  HEAD    HEAD FAILED\n",
          "Whole print head: RED    DOT TOLERANCE ERR\n",
          "Single dot:       RED    dot 17: 2000 (mean 1000, tolerance 150)\n"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
}

TEST_F(CliDiagnosticsTest, DotsOutsideTheHeadAreRefusedBeforeAnyDotIsAsked) {
    startBrakenholm({});
    for (const char* dot : {"-1", "832"}) {
        printer->clearTranscript();
        const Outcome run = tarvo(std::string("diagnostics --dot ") + dot);
        EXPECT_EQ(run.status, 2) << dot;
        EXPECT_NE(run.err.find("Please enter a dot value from 0 to 831"), std::string::npos)
            << run.err;
        EXPECT_EQ(heard("PRINT HEAD(-1)"), 1) << "the whole-head check only";
        EXPECT_EQ(heard("PRINT HEAD(-7)"), 1) << "the mean resistance only";
        EXPECT_EQ(heard(std::string("PRINT HEAD(") + dot + ")"), dot == std::string("-1") ? 1 : 0);
    }
}

TEST_F(CliDiagnosticsTest, WatchStopsAtTheFirstFailedReading) {
    sim::Options o;
    o.serviceReplies = {{'G', ""}};  // the gap sensor stays silent
    startPrinter(o);
    const Outcome run = tarvo("diagnostics --watch 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Auto mode stopped: "), std::string::npos) << run.err;
    EXPECT_EQ(heard("\x1bT"), 1) << "one reading, no more";
    const Outcome json = tarvo("--json diagnostics --watch 1");
    EXPECT_EQ(json.status, 1);
    const auto document = nlohmann::json::parse(json.out);
    ASSERT_EQ(document["readings"].size(), 1u);
    EXPECT_TRUE(document["readings"][0]["failure"].is_string());
}

TEST_F(CliDiagnosticsTest, WatchWantsWholeSecondsAndALanmerePrinter) {
    EXPECT_EQ(tarvo("--simulate 6220E diagnostics --watch 0").status, 2);
    EXPECT_EQ(tarvo("--simulate 6220E diagnostics --watch x").status, 2);
    EXPECT_EQ(tarvo("--simulate TQ8e diagnostics --watch 2").status, 2);
}

TEST_F(CliDiagnosticsTest, TheDesktopPicturesTheDialogOfEachFamily) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const char* model : {"6220E", "TQ8e"}) {
        const std::string shot = env.root() + "/diagnostics-" + model + ".png";
        const Outcome run = test::RunProgram(
            env, "tarvo32",
            std::string("--simulate ") + model + " --screenshot " + shot + " --show diagnostics");
        ASSERT_EQ(run.status, 0) << model << ": " << run.err;
        EXPECT_EQ(run.err.find("tarvo32: "), std::string::npos) << "no other dialog: " << run.err;
        EXPECT_GT(std::filesystem::file_size(shot), 0u) << model;
    }
}

}  // namespace
}  // namespace tarvo
