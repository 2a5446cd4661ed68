// Moving a printer and this computer to another line, and undoing the last configuration
// send, through the real `tarvo` against a simulated printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliLineTest : public test::SimTest {
  protected:
    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
    std::string profile(const std::string& key) {
        std::string value = tarvo("profile get " + key).out;
        if (!value.empty())
            value.pop_back();
        return value;
    }
    bool heard(const std::string& message) const {
        const auto all = printer->receivedMessages();
        return std::find(all.begin(), all.end(), message) != all.end();
    }
    // A 6220 on 9600 baud, Even parity, 7 data bits, XON/XOFF.
    void start6220(const sim::Faults& faults = {}) {
        sim::Options o;
        o.model = 6;
        o.faults = faults;
        startPrinter(o);
    }
};

TEST_F(CliLineTest, ThePrinterAndThisComputerMoveTogether) {
    start6220();
    const Outcome r = tarvo("--yes line set baud=38400 parity=N data=8 stop=1 protocol=standard");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(heard("\x0fP5,0,1,2,0")) << printer->transcriptText();
    const sim::LineSettings line = printer->line();
    EXPECT_EQ(line.baud, 38400u);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.protocol, sim::Protocol::Standard);
    EXPECT_EQ(profile("Baud"), "38400");
    EXPECT_EQ(profile("Parity"), "None");
    EXPECT_EQ(profile("DataBits"), "8");
    EXPECT_EQ(profile("Protocol"), "Standard");
    EXPECT_EQ(profile("DefaultEnabled"), "OFF");
    const Outcome ping = tarvo("ping");
    EXPECT_EQ(ping.status, 0) << ping.out;
}

TEST_F(CliLineTest, APrinterThatFallsSilentLeavesThisComputerOnTheOldLine) {
    sim::Faults silent;
    silent.silentAfterMessage = "\x0fP5,0,1,2,0";
    start6220(silent);
    const Outcome r = tarvo("--yes line set baud=38400 parity=N data=8 protocol=standard");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("did not answer on COM1 38400 baud"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("back on COM1 9600 baud, 7 data bits, Even parity"), std::string::npos)
        << r.err;
    EXPECT_EQ(profile("Baud"), "9600");
    EXPECT_EQ(profile("Parity"), "Even");
    EXPECT_EQ(profile("Protocol"), "XON/XOFF");
}

// Rates below 1200 and stop bits are not in the printer's serial command: only this computer
// moves, nothing goes to the printer, and without an answer there it comes back.
TEST_F(CliLineTest, AMoveThePrinterCannotBeToldMovesOnlyThisComputer) {
    start6220();
    for (const char* args : {"baud=300", "stop=2"}) {
        const Outcome r = tarvo(std::string("--yes line set ") + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.out.find("only this computer moves"), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("where the printer still answers"), std::string::npos) << r.err;
        EXPECT_FALSE(heard("R")) << args << ": nothing was sent to the printer";
        EXPECT_EQ(profile("Baud"), "9600");
        EXPECT_EQ(profile("StopBits"), "1");
    }
}

TEST_F(CliLineTest, RefusalsAndAnUnchangedLineSendNothing) {
    start6220();
    const std::pair<const char*, const char*> cases[] = {
        {"baud=1000", "no rate 1000"},
        {"parity=M", "'parity=M' is not baud=N"},
        {"data=9", "the data bits must be 7 or 8"},
        {"speed=3", "'speed=3' is not baud=N"},
        {"", "usage: tarvo line set"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome r = tarvo(std::string("--yes line ") + (*args ? "set " : "") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
    }
    const Outcome same = tarvo("--yes line set baud=9600 parity=E");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("nothing changed"), std::string::npos) << same.out;
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(CliLineTest, UndoSendsBackWhatThePrinterHeldBeforeTheLastSend) {
    sim::Options o;
    o.line.protocol = sim::Protocol::Standard;
    startPrinter(o);
    env.setProfile("Protocol", "Standard");
    const Outcome none = tarvo("--yes config undo");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("nothing to undo: no send from this host to COM1 was recorded"),
              std::string::npos)
        << none.err;

    const Outcome set = tarvo("--yes config set darkness=5 label-width=3in");
    ASSERT_EQ(set.status, 0) << set.err;
    ASSERT_EQ(printer->configValue(14), 5);

    const Outcome undo = tarvo("--yes config undo");
    ASSERT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out,
              "Changes back to before the last send:\n"
              "  darkness               5 -> 0\n"
              "  label-width            3.00 in (610 dots) -> 4.00 in (813 dots)\n"
              "Sent.\n");
    EXPECT_EQ(printer->configValue(14), 0);
    EXPECT_EQ(printer->configValue(31), 813);
    // The undo was a send too: undoing it again brings the change back.
    ASSERT_EQ(tarvo("--yes config undo").status, 0);
    EXPECT_EQ(printer->configValue(14), 5);
}

}  // namespace
}  // namespace tarvo
