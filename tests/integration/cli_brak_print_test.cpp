// `tarvo report` and `tarvo testprint` on a Brakenholm printer through the real program: the
// report's sections in the log file (or on standard output), a log file that cannot be
// written, and samples that print and leave the printer's size as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliBrakPrintTest : public test::SimTest {
  protected:
    void startTq8e() {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;
        o.line = {9600, 8, 'N', 1, sim::Protocol::XonXoff};
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
    }
    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
    std::string path(const std::string& name) const { return env.root() + "/" + name; }
};

bool HasLine(const std::string& text, const std::string& line) {
    return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST_F(CliBrakPrintTest, ReportWritesItsSectionsToTheLogFile) {
    const Outcome r = tarvo("--simulate TQ8e --simulate-fresh report --log " + path("r.log"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The report was written to " + path("r.log") + ".\n");
    const std::string log = test::ReadFile(path("r.log"));
    EXPECT_EQ(log.rfind("Tarvo Configuration Report     ", 0), 0u);
    for (const char* line :
         {"*** Communication Settings", "    Baud rate                   9600",
          "*** Configuration Parameters", "        Printer Model                 TQ8e",
          "*** Installed Fonts", "    Swiss 721 BT", "*** Installed Images"})
        EXPECT_TRUE(HasLine(log, line)) << line << "\n" << log;

    const Outcome out = tarvo("--simulate TQ8e report --sections comm,images --log -");
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_TRUE(HasLine(out.out, "*** Installed Images"));
    EXPECT_FALSE(HasLine(out.out, "*** Installed Fonts"));
    EXPECT_EQ(out.err, "The report was written to standard output.\n");
}

TEST_F(CliBrakPrintTest, AReportThatCannotBeWrittenLeavesNoFile) {
    startTq8e();
    test::WriteFile(path("plain"), "x");
    const Outcome r = tarvo("report --log " + path("plain/Tarvo.log"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unable to open file " + path("plain/Tarvo.log")), std::string::npos)
        << r.err;
    EXPECT_EQ(test::ReadFile(path("plain")), "x");

    const Outcome unknown = tarvo("report --sections comm,graphics --log " + path("r.log"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_FALSE(std::filesystem::exists(path("r.log")));

    // A print server that is not there: no queue, so the printer is not even asked.
    printer->clearTranscript();
    const Outcome print = test::RunShell(env, "CUPS_SERVER=" + path("no-server.sock") + " " +
                                                  test::ProgramPath("tarvo") + " --profile " +
                                                  env.profilePath() + " report --print");
    EXPECT_EQ(print.status, 1);
    EXPECT_EQ(print.err,
              "tarvo: error: there is no default print queue (the printer reads \"Unknown\")\n");
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(CliBrakPrintTest, SymbologySamplePrintsAndPutsTheSizeBack) {
    const Outcome quick = tarvo("--simulate TQ8e --simulate-fresh testprint symbology code128");
    ASSERT_EQ(quick.status, 0) << quick.err;
    EXPECT_EQ(quick.out, "Printed the symbology CODE128.\n");

    startTq8e();
    const std::vector<std::string> before = printer->setupListing();
    const Outcome r = tarvo("testprint symbology Code128");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(printer->printedLabels().size(), 1u);
    EXPECT_EQ(printer->printedLabels()[0].rfind("label: BT \"CODE128\" | BF", 0), 0u);
    EXPECT_EQ(printer->setupListing(), before);
}

TEST_F(CliBrakPrintTest, UnknownSymbologiesAndBadNamesAreRefused) {
    startTq8e();
    const Outcome unknown = tarvo("testprint symbology qr");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown symbology 'qr'; the printer knows CODABAR, CODE11"),
              std::string::npos)
        << unknown.err;
    const Outcome quote = tarvo("testprint font 'Swiss\" : KILL \"c:A'");
    EXPECT_EQ(quote.status, 1);
    EXPECT_EQ(tarvo("testprint").status, 2);
    EXPECT_TRUE(printer->printedLabels().empty());

    const Outcome font = tarvo("testprint font 'Swiss 721 BT'");
    ASSERT_EQ(font.status, 0) << font.err;
    EXPECT_EQ(printer->printedLabels().size(), 1u);
}

}  // namespace
}  // namespace tarvo
