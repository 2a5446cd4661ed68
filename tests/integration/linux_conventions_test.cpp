// What a Linux user reaches for first, through the built programs: versions, help, manual
// pages and shell completion.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

class LinuxConventionsTest : public test::SimTest {
  protected:
    Outcome run(const std::string& program, const std::string& args) {
        return test::RunProgram(env, program, args);
    }
};

TEST_F(LinuxConventionsTest, EveryProgramPrintsItsVersion) {
    for (const char* program : {"tarvo", "tarvo32", "tarvo-printersim"}) {
        const Outcome o = run(program, "--version");
        EXPECT_EQ(o.status, 0) << program << ": " << o.err;
        EXPECT_EQ(o.out.rfind(std::string(program) + " 0.", 0), 0u) << o.out;
        EXPECT_EQ(o.out.back(), '\n');
    }
}

TEST_F(LinuxConventionsTest, HelpCommandShowsACommandsHelp) {
    const Outcome help = run("tarvo", "help config");
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out, run("tarvo", "config --help").out);
    const Outcome unknown = run("tarvo", "help nosuch");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command 'nosuch'"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace tarvo
