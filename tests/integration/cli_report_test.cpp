// `tarvo report` end to end against the simulated printer: the log file it writes, the sections
// it takes, and the usage and file errors it reports.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/test_env.h"

namespace tarvo {
namespace {

using test::Outcome;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Trimmed(const std::string& line) {
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

class CliReportTest : public ::testing::Test {
  protected:
    void SetUp() override { env.setProfile("Protocol", "Standard"); }

    Outcome on(const std::string& args) {
        return test::RunProgram(env, "tarvo",
                                "--profile " + env.profilePath() + " --simulate 6220E " + args);
    }

    std::string path(const std::string& name) const { return env.root() + "/" + name; }

    test::TestEnv env;
};

TEST_F(CliReportTest, WritesTheReportOfThePrinter) {
    const Outcome r = on("--simulate-fresh report --log " + path("r.log"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The report was written to " + path("r.log") + ".\n");
    // The layout line by line is the golden report's (report_test); here that the printer's
    // report reaches the file.
    const std::vector<std::string> lines = Lines(test::ReadFile(path("r.log")));
    ASSERT_GT(lines.size(), 64u) << "the resident fonts run onto a second page";
    EXPECT_EQ(Trimmed(lines[20]), "      Model                          6220E");
    EXPECT_EQ(Trimmed(lines[21]), "      Firmware                       1.13");
}

TEST_F(CliReportTest, SectionsAreChosenByName) {
    const Outcome r = on("--simulate-fresh report --sections comm,config --log " + path("s.log"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(test::ReadFile(path("s.log"))).size(), 56u);

    const Outcome comm = on("report --sections comm --log " + path("c.log"));
    ASSERT_EQ(comm.status, 0) << comm.err;
    const std::vector<std::string> lines = Lines(test::ReadFile(path("c.log")));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(Trimmed(lines[7]), "    Port         COM1");
    EXPECT_EQ(Trimmed(lines[12]), "    Protocol     Standard");
}

TEST_F(CliReportTest, UsageAndFileErrors) {
    EXPECT_EQ(on("report").status, 2) << "a log file or --print is needed";
    EXPECT_EQ(on("report --print --log " + path("x.log")).status, 2);
    EXPECT_EQ(on("report --sections comm,bogus --log " + path("x.log")).status, 2);
    EXPECT_EQ(on("report --log").status, 2);

    const Outcome r = on("report --sections comm --log " + path("missing/r.log"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unable to open selected Log file"), std::string::npos) << r.err;
    EXPECT_TRUE(test::ReadFile(path("x.log")).empty());
}

}  // namespace
}  // namespace tarvo
