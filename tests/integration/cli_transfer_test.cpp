// Files and firmware to a Brakenholm printer through the real `tarvo`, as a user runs it: a
// font stored byte for byte, a large file through the printer's real receiver without pacing,
// and a firmware file from the simulator's generator that the printer runs after the reboot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

std::string Content(std::size_t size) {
    std::mt19937 random(9);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

class CliTransferTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        if (::access("/usr/bin/rz", X_OK) != 0)
            GTEST_SKIP() << "lrzsz is not installed (scripts/install-deps)";
    }

    Outcome tarvo(const std::string& args) {
        return test::RunProgram(env, "tarvo", "--profile " + env.profilePath() + " " + args);
    }
    Outcome simulated(const std::string& model, const std::string& args) {
        return tarvo("--simulate " + model + " " + args);
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(CliTransferTest, FilesPutStoresTheFontByteForByteOnAnOddParityLine) {
    sim::Options o;
    o.family = sim::Family::Brakenholm;
    o.model = 40;
    o.line = {19200, 8, 'O', 1, sim::Protocol::XonXoff};
    startPrinter(o);
    env.setProfile("Family", "Brakenholm");
    const std::string content = Content(40000);
    const Outcome put = tarvo("files put " + write("sans.ttf", content) + " --as SANS.TTF --yes");
    ASSERT_EQ(put.status, 0) << put.err;
    EXPECT_EQ(put.out, "Stored SANS.TTF on the TQ8e.\n");
    EXPECT_TRUE(printer->fileContent("c:", "SANS.TTF") == content);
    EXPECT_EQ(printer->line(), o.line) << "the printer's own line settings are back";
    const Outcome list = tarvo("files list");
    EXPECT_NE(list.out.find("SANS.TTF                            40000"), std::string::npos)
        << list.out;
}

TEST_F(CliTransferTest, AQuarterMegabyteGoesThroughTheRealReceiverUnpaced) {
    const Outcome put = simulated("TQ8e --simulate-fresh",
                                  "files put " + write("BIG.BIN", Content(256 * 1024)) + " --yes");
    ASSERT_EQ(put.status, 0) << put.err;
    EXPECT_NE(simulated("TQ8e", "files list").out.find("BIG.BIN"), std::string::npos);
}

TEST_F(CliTransferTest, FirmwareFromTheGeneratorRunsAfterTheReboot) {
    const std::string fw = env.root() + "/fw.bin";
    const Outcome made = test::RunShell(env, test::ProgramPath("tarvo-printersim") +
                                                 " --family brakenholm --make-firmware " + fw +
                                                 " --firmware-version 7.31");
    ASSERT_EQ(made.status, 0) << made.err;
    const Outcome download =
        simulated("TQ8e --simulate-fresh", "firmware download " + fw + " --yes");
    ASSERT_EQ(download.status, 0) << download.err;
    // A fresh simulated printer reports firmware "1.13", not Tallyscript: a change of kind, after
    // which the reboot does not wait for an "ok" that such a change never brings.
    EXPECT_NE(download.out.find("runs the other language's firmware"), std::string::npos)
        << download.out;
    EXPECT_NE(simulated("TQ8e", "identify").out.find("Firmware:       Tallyscript 7.31"),
              std::string::npos);
}

TEST_F(CliTransferTest, RebootWaitsUntilThePrinterAnswers) {
    const Outcome reboot = simulated("TQ8e --simulate-fresh", "reboot --yes");
    EXPECT_EQ(reboot.status, 0) << reboot.err;
    EXPECT_EQ(reboot.out, "Rebooting the printer...\nThe printer is back.\n");
}

TEST_F(CliTransferTest, FirmwareOffATerminalNeedsYesAndAnExePackageIsRefused) {
    EXPECT_EQ(simulated("TQ8e --simulate-fresh", "firmware download " + write("a.bin", "x")).status,
              2);
    const Outcome exe = simulated("TQ8e", "firmware download " + write("fw.exe", "MZ") + " --yes");
    EXPECT_EQ(exe.status, 1);
    EXPECT_NE(exe.err.find("self-extracting"), std::string::npos) << exe.err;
}

// The escape-language firmware on script hardware takes the file over Zmodem with no command
// before it: the simulated printer's receiver starts on the sender's request.
class CliEscapeFirmwareTest : public CliTransferTest {
  protected:
    void SetUp() override {
        CliTransferTest::SetUp();
        if (IsSkipped())
            return;
        sim::Options o;
        o.family = sim::Family::Lanmere;
        o.model = 15;  // G5-QEL
        o.line = {19200, 8, 'N', 1, sim::Protocol::XonXoff};
        startPrinter(o);
        env.setProfile("Baud", "19200");
        env.setProfile("DataBits", "8");
        env.setProfile("Parity", "None");
    }
    std::string firmwareFile() {
        const std::string fw = env.root() + "/fw.bin";
        EXPECT_EQ(test::RunShell(env, test::ProgramPath("tarvo-printersim") +
                                          " --family brakenholm --make-firmware " + fw +
                                          " --firmware-version 7.31")
                      .status,
                  0);
        return fw;
    }
};

TEST_F(CliEscapeFirmwareTest, TheFileGoesOverZmodemAndThePrinterIsRestartedByHand) {
    const std::string fw = firmwareFile();
    const Outcome download = tarvo("firmware download " + fw + " --yes");
    ASSERT_EQ(download.status, 0) << download.err;
    EXPECT_NE(download.out.find("Switch the printer off and on again to run it.\nThe printer "
                                "will then speak the other language: run Autoconnect"),
              std::string::npos)
        << download.out;
    EXPECT_TRUE(printer->fileContent("", "fw.bin") == test::ReadFile(fw));
    std::string heard;
    for (const sim::TranscriptEntry& entry : printer->transcript()) {
        if (entry.direction == sim::Direction::HostToPrinter)
            heard += entry.bytes;
    }
    EXPECT_EQ(heard.find("RUN"), std::string::npos) << "no command starts the receiver";
}

TEST_F(CliEscapeFirmwareTest, OffATerminalWithoutYesOrForAnExePackageNothingIsSent) {
    const std::string fw = firmwareFile();
    const Outcome refused = tarvo("firmware download " + fw);
    EXPECT_EQ(refused.status, 2) << refused.err;
    const Outcome exe = tarvo("firmware download " + write("fw.exe", "MZ") + " --yes");
    EXPECT_EQ(exe.status, 1);
    EXPECT_NE(exe.err.find("self-extracting"), std::string::npos) << exe.err;
    EXPECT_FALSE(printer->fileContent("", "fw.bin"));
    EXPECT_FALSE(printer->fileContent("", "fw.exe"));
}

}  // namespace
}  // namespace tarvo
