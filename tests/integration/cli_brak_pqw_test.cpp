// `tarvo --simulate TQ8e quality-wizard` through the real program with the shipped media tables:
// a script of answers walks the Brakenholm wizard to the end, and the printer keeps the values
// chosen and its own media size; answers that end early change nothing.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_run.h"
#include "support/test_env.h"

namespace tarvo {
namespace {

using test::Outcome;

// Direct thermal kept; the media known; DT-30 at 150 mm/s, a sample; contrast 7; Finish.
constexpr const char* kScript =
    "\n1\n"         // page 1: the paper type as it is; Next
    "\n1\n"         // page 2: Yes; Next
    "3\n3\n3\n1\n"  // page 3B: DT-30, 150 mm/sec, Print Sample, Next
    "7\n1\n"        // page 4: contrast 7; Next
    "1\n";          // page 5: Finish

class CliBrakPQWTest : public ::testing::Test {
  protected:
    CliBrakPQWTest() { env.setEnv("TARVO_HOME", TARVO_SOURCE_DIR "/data"); }
    Outcome tarvo(const std::string& args, const std::string& input = {}) {
        return test::RunProgram(
            env, "tarvo", "--profile " + env.profilePath() + " --simulate TQ8e " + args, input);
    }
    // The printer's setup as `setup show` lists it; `fresh` starts a new simulated printer.
    std::string setupShow(bool fresh = false) {
        return tarvo(std::string(fresh ? "--simulate-fresh " : "") + "setup show").out;
    }
    test::TestEnv env;
};

bool Shows(const std::string& listing, const std::string& name, const std::string& value) {
    std::string line = "  " + name;
    line.resize(23, ' ');
    return listing.find(line + value + "\n") != std::string::npos;
}

TEST_F(CliBrakPQWTest, AScriptOfAnswersLeavesTheChosenValuesAndTheSize) {
    const std::string before = setupShow(true);
    ASSERT_TRUE(Shows(before, "width", "1216")) << before;
    const Outcome run = tarvo("quality-wizard", kScript);
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_NE(run.out.find("== Print Quality Wizard - Label and Speed =="), std::string::npos)
        << run.out;
    // Not metric: speeds in inches per second (mm/s divided by 25).
    EXPECT_NE(run.out.find("  * 1) 4 inch/sec\n    2) 5 inch/sec\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Sent label-constant\nSent label-factor\nSent print-speed\n"
                           "Sent contrast\n"),
              std::string::npos)
        << run.out;
    const std::string after = setupShow();
    for (const auto& [name, value] :
         std::vector<std::pair<std::string, std::string>>{{"width", "1216"},
                                                          {"length", "1824"},
                                                          {"label-constant", "78"},
                                                          {"label-factor", "30"},
                                                          {"print-speed", "150"},
                                                          {"contrast", "+4%"}})
        EXPECT_TRUE(Shows(after, name, value)) << name << "\n" << after;
}

TEST_F(CliBrakPQWTest, AnswersThatEndEarlySendNothingButTheSize) {
    env.setProfile("Measurements", "Metric");
    const std::string before = setupShow(true);
    const Outcome run = tarvo("quality-wizard", "\n1\n\n1\n3\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("  * 1) 100 mm/sec\n    2) 125 mm/sec\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("the answers ended before the wizard did (at Print Quality Wizard - "
                           "Label and Speed); nothing was sent"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(setupShow(), before);
}

TEST_F(CliBrakPQWTest, WithoutATableTheWizardDoesNotStart) {
    env.setEnv("TARVO_HOME", (env.root() + "/empty").c_str());
    env.setEnv("XDG_DATA_DIRS", (env.root() + "/none").c_str());
    const Outcome run = tarvo("--simulate-fresh quality-wizard", "\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Unable to open file " + env.root() + "/empty/BrakDTMedia.txt"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Print Quality Wizard cancelled"), std::string::npos) << run.err;
}

// A printer set for transfer printing has its ribbon fitted: the ribbon table, a speed over the
// ribbon's maximum refused by the question's default, then the ribbon's values sent.
TEST_F(CliBrakPQWTest, ATransferPrinterGetsItsRibbonValues) {
    setupShow(true);
    ASSERT_EQ(tarvo("--yes setup set paper-type=TRANSFER").status, 0);
    const Outcome run = tarvo("quality-wizard",
                              "\n1\n\n1\n"  // pages 1 and 2 as they are
                              "4\n5\n1\n"   // TR-240 at 8 inch/sec: Next, refused
                              "\n3\n1\n"    // 6 inch/sec: Next
                              "\n1\n1\n");  // contrast as it is; Finish
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_NE(run.err.find("Selected print speed 8 inch/sec exceeds\nrecommended maximum of 6 "
                           "inch/sec.\nProceed?"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("Sent ribbon-constant\nSent ribbon-factor\nSent label-offset\n"
                           "Sent print-speed\n"),
              std::string::npos)
        << run.out;
    const std::string after = setupShow();
    for (const auto& [name, value] :
         std::vector<std::pair<std::string, std::string>>{{"ribbon-constant", "80"},
                                                          {"label-offset", "4"},
                                                          {"print-speed", "150"},
                                                          {"width", "1216"},
                                                          {"length", "1824"}})
        EXPECT_TRUE(Shows(after, name, value)) << name << "\n" << after;
}

}  // namespace
}  // namespace tarvo
