// The paths a user takes first, through the real `tarvo` against a simulated printer that
// plays the part: a printer that dies mid-way, questions off a terminal, the administrator's
// password, output for scripts, and errors that say what failed and where.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliEndToEndTest : public test::SimTest {
  protected:
    // `tarvo` on the in-process printer that the profile's COM1 names.
    Outcome tarvo(const std::string& args, const std::string& input = {}) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args, input);
    }
    // `tarvo` with a simulated printer of its own, remembered in this test's state directory.
    Outcome simulated(const std::string& model, const std::string& args) {
        return tarvo("--simulate " + model + " " + args);
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }

    // The Standard protocol answers the identification's first greeting, so each run spends
    // no time on the XON/XOFF greeting's waits.
    static sim::Options Standard() {
        sim::Options o;
        o.line.protocol = sim::Protocol::Standard;
        return o;
    }

    static sim::Options Brakenholm() {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e
        o.line.dataBits = 8;
        o.line.parity = 'N';
        return o;
    }
    void startBrakenholm(const sim::Options& options) {
        startPrinter(options);
        env.setProfile("Family", "Brakenholm");
    }
};

// A paced printer that takes the whole graphic and the closing R, then dies: the download must
// not pass for done, since nothing confirms the printer kept it.
TEST_F(CliEndToEndTest, APrinterThatDiesAfterTheLastByteIsNeverDone) {
    sim::Options o;
    o.pace = true;
    o.line.baud = 115200;
    o.faults.silentAfterMessage = "R";
    startPrinter(o);
    const std::string logo =
        write("logo.bmp", test::MonoBmp(std::vector<std::string>(60, std::string(40, '#'))));
    const Outcome r = tarvo("objects add-graphic " + logo + " --id 5 --name LOGO --scale 4");
    EXPECT_NE(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("Done"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("stopped answering"), std::string::npos) << r.err;
    const auto heard = printer->receivedMessages();
    EXPECT_NE(std::find(heard.begin(), heard.end(), "R"), heard.end())
        << "the printer heard the whole download";
}

// The paced printer on XON/XOFF holds the host back while its receive buffer is full; the
// download still arrives whole and is confirmed by the listing.
TEST_F(CliEndToEndTest, APacedPrinterHoldsTheHostBackAndKeepsEveryByte) {
    sim::Options o;
    o.pace = true;
    o.line.baud = 38400;
    startPrinter(o);
    const std::string logo =
        write("logo.bmp", test::MonoBmp(std::vector<std::string>(120, std::string(96, '#'))));
    const Outcome r = tarvo("objects add-graphic " + logo + " --id 5 --name LOGO --scale 4");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("      5  LOGO "), std::string::npos) << r.out;
    const std::string transcript = printer->transcriptText();
    EXPECT_NE(transcript.find("< <DC3>"), std::string::npos) << "the buffer filled";
    EXPECT_NE(transcript.find("< <DC1>"), std::string::npos) << "and drained";
    const auto image = printer->graphicImage(5);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 96 * 4);
    EXPECT_EQ(image->height, 120 * 4);
}

// The command line decides a program-number mismatch by its option, never by --yes alone.
TEST_F(CliEndToEndTest, FirmwareForAnotherModelGoesOnlyWithIgnoreMismatch) {
    env.setProfile("Protocol", "Standard");
    const std::string fw = env.root() + "/fw";
    ASSERT_EQ(test::RunProgram(env, "tarvo-printersim", "--make-firmware " + fw + " --version 1.20")
                  .status,
              0);  // an image for the 6220E
    const Outcome refused =
        simulated("6240 --simulate-fresh", "firmware download " + fw + " --yes");
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.out.find("Image program number: FT066197"), std::string::npos) << refused.out;
    EXPECT_NE(refused.err.find("PROGRAM NUMBER MISMATCH: this firmware is for a \"6220\"; "
                               "--ignore-mismatch downloads it anyway"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out.find("Sending"), std::string::npos) << refused.out;

    const Outcome taken = simulated("6240", "firmware download " + fw + " --yes --ignore-mismatch");
    EXPECT_EQ(taken.status, 0) << taken.err;
    EXPECT_NE(taken.out.find("Sending firmware to printer...\nFirmware downloaded. The printer "
                             "(6240) now runs firmware 1.20."),
              std::string::npos)
        << taken.out;
}

TEST_F(CliEndToEndTest, ErasuresOffATerminalNeedYesAndChangeNothing) {
    env.setProfile("Protocol", "Standard");
    const std::string fw = env.root() + "/fw";
    ASSERT_EQ(test::RunProgram(env, "tarvo-printersim", "--make-firmware " + fw + " --version 1.20")
                  .status,
              0);
    const Outcome firmware = simulated("6220E --simulate-fresh", "firmware download " + fw);
    EXPECT_EQ(firmware.status, 2) << firmware.err;
    EXPECT_NE(firmware.err.find("add --yes"), std::string::npos) << firmware.err;
    EXPECT_EQ(simulated("6220E", "identify").out.find("1.20"), std::string::npos)
        << "the printer keeps its firmware";

    const std::string logo = write("logo.bmp", test::MonoBmp({"##", "##"}));
    ASSERT_EQ(
        simulated("6220E", "objects add-graphic " + logo + " --id 5 --name L --scale 1").status, 0);
    const Outcome del = simulated("6220E", "objects delete graphic 5");
    EXPECT_EQ(del.status, 2) << del.err;
    EXPECT_NE(simulated("6220E", "objects list graphics").out.find("      5  L "),
              std::string::npos);
    EXPECT_EQ(simulated("6220E", "--yes objects delete graphic 5").status, 0);
    EXPECT_EQ(simulated("6220E", "objects list graphics").out, "graphics (0):\n");
}

TEST_F(CliEndToEndTest, TheAdministratorLogsInWithThePasswordKeptOutOfEveryLog) {
    sim::Options o = Brakenholm();
    o.adminPassword = "Pw4tarvo";
    o.transcriptPath = env.root() + "/printer.log";
    startBrakenholm(o);
    const std::string trace = env.root() + "/trace.log";
    const Outcome wrong = tarvo("user login --password-stdin", "guess\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("Is the password correct?"), std::string::npos) << wrong.err;

    ::setenv("TARVO_TRACE", trace.c_str(), 1);
    const Outcome login = tarvo("user login --password-stdin", "Pw4tarvo\n");
    ::unsetenv("TARVO_TRACE");
    ASSERT_EQ(login.status, 0) << login.err;
    EXPECT_EQ(tarvo("user whoami").out, "admin\n");
    ASSERT_EQ(tarvo("user su user").status, 0);
    EXPECT_EQ(tarvo("user whoami").out, "user\n");
    const std::string traced = test::ReadFile(trace);
    EXPECT_NE(traced.find("su -p "), std::string::npos) << traced;
    EXPECT_EQ(traced.find("Pw4tarvo"), std::string::npos) << traced;
    EXPECT_EQ(printer->transcriptText().find("Pw4tarvo"), std::string::npos);
    EXPECT_EQ(test::ReadFile(o.transcriptPath).find("Pw4tarvo"), std::string::npos);
}

// A Brakenholm printer restores its factory setup only when its shell confirms the commands.
TEST_F(CliEndToEndTest, ARestoreThePrinterDoesNotConfirmFails) {
    sim::Options o = Brakenholm();
    o.faults.silentAfterMessage = "FORMAT \"tmp:\"";
    startBrakenholm(o);
    const Outcome r = tarvo("--yes setup restore-defaults");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find("did not answer the restore commands"), std::string::npos) << r.err;
}

// A setup file that lacks most keys sends only what it holds, never zeros for the rest.
TEST_F(CliEndToEndTest, APartialSetupFileSendsOnlyItsOwnKeys) {
    startBrakenholm(Brakenholm());
    const std::string file = write("partial.txt",
                                   "SER-COM,UART1,CHAR LENGTH,8\r\nSER-COM,UART1,STOPBITS,1\r\n"
                                   "MEDIA,MEDIA SIZE,WIDTH,1000\r\n");
    const Outcome shown = tarvo("setup load " + file);
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("  length               (not read)\n"), std::string::npos)
        << shown.out;
    const auto length = printer->setupValue("MEDIA,MEDIA SIZE,LENGTH");
    printer->clearTranscript();
    const Outcome sent = tarvo("--yes setup load " + file + " --send");
    ASSERT_EQ(sent.status, 0) << sent.err;
    std::string setupLines;
    for (const std::string& m : printer->receivedMessages()) {
        if (m.rfind("SETUP \"", 0) == 0)
            setupLines += m + "\n";
    }
    EXPECT_EQ(setupLines,
              "SETUP \"MEDIA,MEDIA SIZE,WIDTH,1000\"\nSETUP \"SER-COM,UART1,STOPBITS,1\"\n"
              "SETUP \"SER-COM,UART1,CHAR LENGTH,8\"\n");
    EXPECT_EQ(printer->setupValue("MEDIA,MEDIA SIZE,LENGTH"), length) << "left as it was";
}

TEST_F(CliEndToEndTest, JsonStaysValidWhateverThePrinterSends) {
    sim::Options o = Standard();
    o.identReply = "066197,1.1\x01\x7f\xe9,6220E";
    startPrinter(o);
    const Outcome r = tarvo("config show --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"firmware\": \"1.1\\u0001\\u007f\\u00e9\""), std::string::npos) << r.out;
    for (const char c : r.out)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << static_cast<int>(c);
}

TEST_F(CliEndToEndTest, ErrorsNameWhatFailedAndWhere) {
    startPrinter(Standard());
    const std::string file = write("bad.tcf",
                                   "<ETX>6220E,1.13\r\n<STX>R<ETX>\r\n<STX><SI>d5<ETX>\r\n"
                                   "<STX><SI>Zqq<ETX>\r\n");
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"--yes config push " + file,
         "bad.tcf, line 4: a configuration command does not parse, a line is longer than 256 "
         "characters, or the configuration part is longer than 4096 bytes [code 12]"},
        {"--yes config push " + write("junk.tcf", "hello\n"),
         "junk.tcf, line 1: not a configuration file"},
        {"--yes config push " + env.root() + "/none.tcf",
         "none.tcf: No such file or directory [code 22]"},
        {"--port COM2 ping", "cannot open COM2 (/dev/ttyS1-missing): No such file or directory\n"},
    };
    env.setProfile("Device.COM2", "/dev/ttyS1-missing");
    for (const auto& c : cases) {
        const Outcome r = tarvo(c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
}

TEST_F(CliEndToEndTest, ASimulatedRunLeavesTheGivenProfileAsItWas) {
    env.setProfile("Device.COM1", "/dev/ttyUSB7");
    const std::string before = test::ReadFile(env.profilePath());
    ASSERT_EQ(simulated("6220E --simulate-fresh", "ping").status, 0);
    EXPECT_EQ(test::ReadFile(env.profilePath()), before);
}

// A file written from a printer carries that printer's model and pushes back onto it.
TEST_F(CliEndToEndTest, AnObjectFileIsWrittenForTheAttachedPrinter) {
    env.setProfile("Protocol", "Standard");
    const std::string file = env.root() + "/fleet.tcf";
    const std::string logo = write("logo.bmp", test::MonoBmp({"##", "##"}));
    const Outcome save =
        simulated("6220E --simulate-fresh",
                  "objects add-graphic " + logo + " --id 5 --name LOGO --scale 1 --to " + file);
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_TRUE(test::ReadFile(file).starts_with("<ETX>6220E,1.13\r\n")) << test::ReadFile(file);
    const Outcome push = simulated("6220E", "--yes config push " + file);
    EXPECT_EQ(push.status, 0) << push.err;

    env.setProfile("Device.COM1", "none");
    const Outcome none = tarvo("objects add-graphic " + logo + " --id 5 --name L --scale 1 --to " +
                               env.root() + "/other.tcf");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("COM1 maps to no device"), std::string::npos) << none.err;
}

}  // namespace
}  // namespace tarvo
