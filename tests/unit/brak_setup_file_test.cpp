// The setup file: exact contents, a save and reload that reproduces every setting each
// generation writes, and loads that are refused without touching the record or the host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_model.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

using FileOutcome = FileChoice::Outcome;

// Every field with a value that differs from the cleared record, valid for `generation`.
BrakSetup Filled(int generation) {
    BrakSetup s;
    s.portIndex = 0;
    s.baud = 3;  // 57600
    s.charLength = 7;
    s.parity = 4;  // SPACE
    s.stopBits = 2;
    s.rtsCts = true;
    s.xonXoffToHost = true;
    s.xonXoffFromHost = false;
    s.newLine = 1;  // LF
    s.imageBufferSize = 70000;
    s.receiveBuffer = 2048;
    s.transmitBuffer = 1024;
    s.startAdjust = -114;
    s.stopAdjust = 33;
    s.lssAdjust = -7;
    s.xStart = 16;
    s.width = 1216;
    s.length = 1824;
    s.mediaType = 4;  // VAR LENGTH STRIP
    s.paperType = UsesNewTree(generation) ? 1 : 17;
    s.labelConstant = 51;
    s.labelFactor = 11;
    s.ribbonConstant = 52;
    s.ribbonFactor = 13;
    s.labelOffset = -2;
    s.contrast = UsesNewTree(generation) ? 9 : -3;
    s.headResistance = 1180;
    s.printSpeed = 125;
    s.newSupplies1 = generation == 0 ? 5 : 1;  // GZ6 starts a pair; generation 1 takes any
    s.newSupplies2 = 24;                       // GJ118
    s.performance = 1;                         // HIGH
    return s;
}

class BrakSetupFile : public test::BrakTest {
  protected:
    std::string Path(const std::string& name) const { return env.root() + "/" + name; }
    void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
};

TEST_F(BrakSetupFile, SaveAndReloadReproducesEverySettingOfEachGeneration) {
    for (const int model : {27, 26, 32, 40}) {
        const int generation = SetupGenerationOf(model);
        const std::string path = Path("setup-" + std::to_string(model) + ".txt");
        MakePrinter(model).SetSetup(Filled(generation));
        ASSERT_TRUE(printer->SaveSetupFileTo(path).ok()) << model;

        CBrakPrinter& fresh = MakePrinter(model);
        ASSERT_TRUE(fresh.LoadSetupFileFrom(path).ok()) << model;
        // Every value the file carries came back: the reloaded record writes the same file.
        EXPECT_EQ(fresh.BuildSetupLines(), BuildSetupLines(Filled(generation), generation))
            << "model " << model;
        EXPECT_EQ(fresh.GetSetup().imageBufferSize, generation == 1 ? 70000 : 0);
        EXPECT_EQ(fresh.GetSetup().newSupplies2, generation == 0 ? 24 : kNoIndex);
        EXPECT_EQ(port->Wire(), "") << "a file load talks to no printer";
    }
}

TEST_F(BrakSetupFile, FileHoldsTheLinesEndedByCrLf) {
    CBrakPrinter& p = MakePrinter(26);
    p.SetSetup(Filled(1));
    const std::string path = Path("g1.txt");
    ASSERT_TRUE(p.SaveSetupFileTo(path).ok());
    std::string expected;
    for (const std::string& line : BuildSetupLines(Filled(1), 1))
        expected += line + "\r\n";
    EXPECT_EQ(test::ReadFile(path), expected);
    EXPECT_NE(expected.find("SERVICE,MEMORY ALLOC,IMAGE BUF SIZE,70000\r\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::others_write,
              std::filesystem::perms::none);
}

TEST_F(BrakSetupFile, LoadingAFileLeavesTheHostLineSettingsAlone) {
    env.setProfile("Baud", "9600");
    env.setProfile("Parity", "Even");
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled(3));
    const std::string path = Path("other-printer.txt");
    ASSERT_TRUE(p.SaveSetupFileTo(path).ok());
    ASSERT_TRUE(MakePrinter(40).LoadSetupFileFrom(path).ok());
    EXPECT_EQ(printer->GetSetup().baud, 3);
    EXPECT_EQ(Profile("Baud"), "9600");
    EXPECT_EQ(Profile("Parity"), "Even");
    EXPECT_EQ(Profile("DataBits"), "");
    ASSERT_FALSE(prompt.Notices().empty());
    EXPECT_EQ(prompt.Notices().back(),
              "Tarvo settings may not match printer configuration.\nYou may select the Send to "
              "Printer button at any time\n to update your printer.");
}

TEST_F(BrakSetupFile, BadFilesAreRefusedAndTheRecordStays) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled(3));
    const std::pair<std::string, std::string> bad[] = {
        {"junk.txt", "this is not a setup file\r\nWIDTH,10\r\n"},
        {"cut.txt", "SER-COM,UART1,BAUDRATE,9600\r\nSER-COM,UART1,CHAR LENGTH,8\r\n"},
        {"empty.txt", ""},
        {"blank-lines.txt", "\r\n\n\r\n"},
        {"huge.txt", std::string(5000, 'x')},
        {"binary.txt", std::string("\0\xff\x01STOPBITS,1", 13)},
    };
    for (const auto& [name, text] : bad) {
        Write(Path(name), text);
        const OpResult r = p.LoadSetupFileFrom(Path(name));
        EXPECT_EQ(r.status, OpStatus::Refused) << name;
        EXPECT_TRUE(p.GetSetup() == Filled(3)) << name << ": the record must not change";
        ASSERT_FALSE(prompt.shown.empty());
        EXPECT_EQ(prompt.shown.back().caption, "Error") << name;
    }
    const OpResult missing = p.LoadSetupFileFrom(Path("missing.txt"));
    EXPECT_EQ(missing.status, OpStatus::Failed);
    EXPECT_EQ(prompt.shown.back().text, "Unable to open file " + Path("missing.txt"));
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Exclamation);
}

TEST_F(BrakSetupFile, LongLinesAreTakenInEightyCharacterPieces) {
    CBrakPrinter& p = MakePrinter(40);
    const std::string serial =
        "SER-COM,UART1,CHAR LENGTH,8\nSER-COM,UART1,STOPBITS,1\nMEDIA,MEDIA SIZE,XSTART,4\n";
    Write(Path("long.txt"), serial + std::string(61, 'A') + "MEDIA,MEDIA SIZE,WIDTH,5\n" +
                                std::string(160, 'B') + "MEDIA,MEDIA SIZE,LENGTH,6\n");
    ASSERT_TRUE(p.LoadSetupFileFrom(Path("long.txt")).ok());
    EXPECT_EQ(p.GetSetup().width, 0) << "the key was split between two pieces";
    EXPECT_EQ(p.GetSetup().length, 6);
    EXPECT_EQ(p.GetSetup().xStart, 4);
}

TEST_F(BrakSetupFile, ChoosersAndFailedWrites) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled(3));
    prompt.ExpectSaveFile({FileOutcome::Cancelled, {}});
    EXPECT_EQ(p.SaveSetupFile().status, OpStatus::Cancelled);
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_EQ(prompt.fileRequests[0].filter, " Text file (*.*)|*.txt||");
    EXPECT_EQ(prompt.fileRequests[0].defaultExtension, "txt");
    EXPECT_TRUE(prompt.fileRequests[0].confirmOverwrite);

    prompt.ExpectSaveFile({FileOutcome::Failed, {}});
    EXPECT_EQ(p.SaveSetupFile().status, OpStatus::Failed);
    EXPECT_EQ(prompt.shown.back().text, "Unable to access File SaveAs dialog box");

    prompt.ExpectOpenFile({FileOutcome::Failed, {}});
    EXPECT_EQ(p.LoadSetupFile().status, OpStatus::Failed);
    EXPECT_EQ(prompt.shown.back().text, "Unable to access File Open dialog box");
    EXPECT_TRUE(prompt.fileRequests.back().mustExist);

    const std::string nowhere = Path("no-such-dir/setup.txt");
    prompt.ExpectSaveFile({FileOutcome::Chosen, nowhere});
    EXPECT_EQ(p.SaveSetupFile().status, OpStatus::Failed);
    EXPECT_EQ(prompt.shown.back().text, "Unable to open file " + nowhere);
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);

    // A save that cannot replace the target leaves what was there.
    const std::string occupied = Path("occupied.txt");
    std::filesystem::create_directories(occupied + "/inside");
    prompt.ExpectSaveFile({FileOutcome::Chosen, occupied});
    EXPECT_EQ(p.SaveSetupFile().status, OpStatus::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(occupied + "/inside"));

    const std::string chosen = Path("chosen.txt");
    Write(chosen, std::string(9000, 'o'));
    prompt.ExpectSaveFile({FileOutcome::Chosen, chosen});
    EXPECT_TRUE(p.SaveSetupFile().ok());
    prompt.ExpectOpenFile({FileOutcome::Chosen, chosen});
    EXPECT_TRUE(p.LoadSetupFile().ok()) << "the longer old file was replaced whole";
}

}  // namespace
}  // namespace tarvo::app
