// `tarvo quality-wizard` through the real program against the simulated printer: a script of
// answers walks it to the end, prints its test labels and leaves the chosen settings; the
// messages of a run are the wizard's own sequence and no more.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

// Standard format, direct thermal at the speed shown, 420 typed; a label of it; on page 9
// darkness -3 and a label; Send to printer; Finish.
constexpr const char* kScript =
    "\n\n"       // page 1: standard format; Next
    "1\n\n\n"    // page 2: direct thermal, speed kept; Next
    "420\n\n\n"  // page 7: the number; Next
    "3\n1\n"     // page 8: Print, Next
    "\n\n-3\n"   // page 9: the candidate, one label, darkness -3
    "3\n1\n"     // Print, Next
    "3\n1\n";    // page 10: Send to printer, Finish

class CliQualityWizardTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Options o;
        o.line.protocol = sim::Protocol::Standard;
        o.objects = {{sim::ObjectKind::Format, {19, "MINE", "", 10}}};
        startPrinter(o);
        printer->setConfigValues('g', {0, 180});
        printer->setConfigValue(14, 2);
        printer->setConfigValue(3, 30);
    }
    Outcome wizard(const std::string& input) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " quality-wizard",
                                input);
    }
    long count(const std::string& prefix) const {
        const auto sent = printer->receivedMessages();
        return std::count_if(sent.begin(), sent.end(),
                             [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    }
};

TEST_F(CliQualityWizardTest, AScriptOfAnswersPrintsLabelsAndLeavesTheChoice) {
    const Outcome run = wizard(kScript);
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_NE(run.out.find("Media sensitivity number: 420\nPrint darkness: -3\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(printer->configValue(13), 420);
    EXPECT_EQ(printer->configValue(14), -3);
    const auto labels = printer->printedLabels();
    ASSERT_EQ(labels.size(), 2u);
    // The darkness question took its default (reset to 0) for the first label.
    EXPECT_EQ(labels[0].rfind("format 1 (01 x, 42=0420, 43=000, 44=3.0 ips): ", 0), 0u);
    EXPECT_EQ(labels[1].rfind("format 1 (01 x, 42=0420, 43=-03, 44=3.0 ips): ", 0), 0u);
    const auto formats = printer->objects(sim::ObjectKind::Format);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].description, "MINE");
    EXPECT_NE(run.err.find("Done!"), std::string::npos) << run.err;
}

// The wizard reads the configuration once, lists the formats once per Print, and writes the
// configuration for each change it makes: the darkness reset and Send to printer.
TEST_F(CliQualityWizardTest, ARunSendsOnlyTheWizardsOwnMessages) {
    printer->clearTranscript();
    ASSERT_EQ(wizard(kScript).status, 0);
    EXPECT_EQ(count("\x1bp"), 1);
    EXPECT_EQ(count("\x1bx"), 2);
    EXPECT_EQ(count("\x1bP;"), 4);  // each label enters program mode twice
    EXPECT_EQ(count("\x1b"
                    "E01"),
              2);  // one print request per label
    const auto sent = printer->receivedMessages();
    // Identification 3, the configuration read 3, the darkness reset 2, per Print one listing
    // and 13 per label (program mode, 6 messages of field lines, leaving, the request, the
    // erasure in 2, the settings given back), Send to printer 2.
    EXPECT_EQ(sent.size(), 3u + 3u + 2u + 2u * (1u + 13u) + 2u);
}

TEST_F(CliQualityWizardTest, AnswersThatEndEarlyChangeNothingMore) {
    const Outcome run = wizard("\n\n1\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the answers ended before the wizard did (at Print Quality Wizard - 2)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(printer->configValue(14), 2);
    EXPECT_TRUE(printer->printedLabels().empty());
}

}  // namespace
}  // namespace tarvo
