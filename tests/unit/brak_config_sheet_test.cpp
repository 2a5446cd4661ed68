// The printer's file system, clock and start-up program on a recording port: listings parsed
// and read to their closing line, the exact delete, clock and RUN lines, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brakenholm/brak_clock.h"
#include "brakenholm/brak_files.h"
#include "brakenholm/brak_startup.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

class BrakConfigSheet : public test::BrakTest {};

constexpr const char* kFiles = "FILES \"c:\"";
constexpr const char* kFilesAll = "FILES \"c:\",A";

std::string Closing(int count) {
    return "   " + std::to_string(count) +
           " File(s)        1234 bytes used     1047342 bytes free\r\n";
}

std::string ManyFiles(int count) {
    std::string text;
    char line[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "FILE%04d.DAT                   %10d\r\n", i, i);
        text += line;
    }
    return text + Closing(count);
}

TEST(FilesListing, LinesGiveNameExtensionAndSize) {
    struct Case {
        std::string line;
        std::string name, extension, size;
    } const cases[] = {
        {"HELLO.PRG   1234", "HELLO", "PRG", "1234"},
        {"  README        7", "README", "", "7"},
        {".setup.saved 2048", ".setup", "saved", "2048"},
        {"A.B.C 5", "A", "B.C", "5"},
    };
    for (const Case& c : cases) {
        for (const char* end : {"\r\n", "\n", "\r"}) {
            const BrakFilesListing listing = ParseFilesListing(c.line + end + Closing(1));
            ASSERT_EQ(listing.entries.size(), 1u) << c.line;
            EXPECT_EQ(listing.entries[0].name, c.name);
            EXPECT_EQ(listing.entries[0].extension, c.extension);
            EXPECT_EQ(listing.entries[0].size, c.size);
            EXPECT_TRUE(listing.complete);
            EXPECT_EQ(listing.freeBytes, 1047342);
        }
    }
}

TEST(FilesListing, WithoutClosingLineOrAnswerNothingIsMadeUp) {
    const BrakFilesListing empty = ParseFilesListing("");
    EXPECT_FALSE(empty.answered);
    EXPECT_TRUE(empty.entries.empty()) << "never a negative count";

    const BrakFilesListing garbage = ParseFilesListing("Syntax error\r\nx y z\r\nA.B 12\r\n");
    EXPECT_TRUE(garbage.answered);
    EXPECT_FALSE(garbage.complete);
    ASSERT_EQ(garbage.entries.size(), 1u) << "only lines that are entries";
    EXPECT_EQ(garbage.skippedLines, 2);

    const BrakFilesListing error = ParseFilesListing("Error: no device \"card1:\"\r\n");
    EXPECT_TRUE(error.entries.empty());
    EXPECT_EQ(error.error, "Error: no device \"card1:\"");

    const BrakFilesListing none = ParseFilesListing("No files on c:\r\nOk\r\n");
    EXPECT_TRUE(none.complete);
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.skippedLines, 0);
}

TEST_F(BrakConfigSheet, ThreeHundredFilesAreReadToTheClosingLine) {
    CBrakPrinter& p = MakePrinter(40);
    const std::string reply = ManyFiles(300);
    ASSERT_GT(reply.size(), 3 * 4096u);
    port->Answer(kFiles, reply);
    port->Answer("PRINT 1", "1\r\n");
    const BrakFilesListing listing = ListDirectory(p, "c:", false);
    EXPECT_TRUE(listing.complete);
    EXPECT_FALSE(listing.truncated);
    ASSERT_EQ(listing.entries.size(), 300u);
    EXPECT_EQ(listing.entries[299].FileName(), "FILE0299.DAT");
    EXPECT_EQ(p.QueryLine("PRINT 1").text, "1\r\n") << "no tail answers the next question";
}

// The room check and the presence check read a long directory to its closing line, where the
// free figure stands, and take a name whole.
TEST_F(BrakConfigSheet, RoomAndPresenceReadALongDirectoryToItsEnd) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFiles, ManyFiles(300));
    EXPECT_TRUE(p.HasRoomFor("c:", 1047342));
    EXPECT_FALSE(p.HasRoomFor("c:", 1047343));
    EXPECT_TRUE(p.FileExists("c:", "/home/op/file0299.dat"));
    EXPECT_FALSE(p.FileExists("c:", "ILE0299.DAT")) << "a part of another name is not the file";
}

TEST_F(BrakConfigSheet, ListingBeyondTheBoundIsReportedTruncated) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFiles, ManyFiles(7000));
    port->Answer("PRINT 1", "1\r\n");
    const BrakFilesListing listing = ListDirectory(p, "c:", false);
    EXPECT_TRUE(listing.truncated);
    EXPECT_FALSE(listing.complete);
    EXPECT_GT(listing.entries.size(), 5000u);
    EXPECT_EQ(p.QueryLine("PRINT 1").text, "1\r\n") << "the tail was drained";
}

TEST_F(BrakConfigSheet, ListingCommandAndRefusedDevice) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFilesAll, Closing(0));
    EXPECT_TRUE(ListDirectory(p, "C:", true).complete);
    EXPECT_EQ(port->Commands(), std::vector<std::string>{kFilesAll});
    port->ClearRecord();
    const BrakFilesListing refused = ListDirectory(p, "c:\" ,A", false);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_EQ(port->Wire(), "") << "nothing sent";
}

TEST_F(BrakConfigSheet, DeleteSendsKillOrChdirByGenerationAndRemovesImages) {
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ.PR";  // 29 characters
    const std::string name30 = longName + "G";
    struct Case {
        int model;
        std::string device, name;
        std::vector<std::string> lines;
    } const cases[] = {
        {40, "c:", name30, {"CHDIR \"C:\"", "KILL \"" + name30 + "\""}},
        {40, "ram:", name30, {"CHDIR \"RAM:\"", "KILL \"" + name30 + "\""}},
        {32, "c:", name30, {"CHDIR \"C:\"", "KILL \"" + name30 + "\""}},
        {26, "ram:", name30, {"KILL \"ram:/" + name30 + "\""}},
        {40, "c:", "HELLO.PRG", {"KILL \"c:/HELLO.PRG\""}},
        {40, "c:", "LOGO.PCX", {"KILL \"c:/LOGO.PCX\"", "REMOVE IMAGE \"LOGO.PCX\""}},
    };
    for (const Case& c : cases) {
        CBrakPrinter& p = MakePrinter(c.model);
        const std::string files = "FILES \"" + c.device + "\",A";
        port->Answer(files, Closing(0));
        const DeleteReport report = DeleteFiles(p, c.device, {c.name});
        std::vector<std::string> expected = c.lines;
        expected.push_back(files);
        EXPECT_EQ(port->Commands(), expected) << c.model << " " << c.name;
        EXPECT_TRUE(report.AllDeleted());
        EXPECT_EQ(report.deleted, std::vector<std::string>{c.name});
    }
}

TEST_F(BrakConfigSheet, FileStillListedAfterKillIsASurvivor) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFilesAll, "HELLO.PRG  1234\r\n" + Closing(1));
    const DeleteReport report = DeleteFiles(p, "c:", {"HELLO.PRG", "GONE.DAT"});
    EXPECT_EQ(report.survivors, std::vector<std::string>{"HELLO.PRG"});
    EXPECT_EQ(report.deleted, std::vector<std::string>{"GONE.DAT"});
    EXPECT_FALSE(report.AllDeleted());
}

TEST_F(BrakConfigSheet, UnsafeAndSystemNamesAreRefusedUnsent) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFilesAll, Closing(0));
    const std::vector<std::string> bad = {"A\"B",
                                          std::string("A\x01"
                                                      "B"),
                                          "A B",
                                          std::string(31, 'X'),
                                          ".setup.saved",
                                          ""};
    const DeleteReport report = DeleteFiles(p, "c:", bad);
    EXPECT_EQ(report.refused.size(), bad.size());
    EXPECT_EQ(port->Commands(), std::vector<std::string>{kFilesAll}) << "only the listing";
    port->ClearRecord();
    DeleteFiles(p, "rom:", {"winxp.prg"});
    EXPECT_EQ(port->Commands(), std::vector<std::string>{"FILES \"rom:\",A"});
}

TEST_F(BrakConfigSheet, SendFailureAsksAndCancelStopsTheRest) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kFilesAll, "B.DAT 1\r\n" + Closing(1));
    port->FailWritesContaining("KILL \"c:/A.DAT\"", 5);
    std::vector<std::string> asked;
    const DeleteReport report = DeleteFiles(p, "c:", {"A.DAT", "B.DAT"}, [&](const std::string& n) {
        asked.push_back(n);
        return false;
    });
    EXPECT_EQ(asked, std::vector<std::string>{"A.DAT"});
    EXPECT_EQ(report.survivors, std::vector<std::string>{"A.DAT"});
    EXPECT_EQ(report.notTried, std::vector<std::string>{"B.DAT"});
}

TEST_F(BrakConfigSheet, SetDateAndTimeSendTheirLinesAndReadBack) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer("PRINT TIME$", "140709\r\n");
    port->Answer("PRINT DATE$", "310203\r\n");
    port->Answer("PRINT DATE$(\"F\")", "20310203\r\n");
    EXPECT_TRUE(SetPrinterDate(p, 2031, 2, 3).ok());
    EXPECT_EQ(port->Commands().front(), "DATE$=\"310203\"");
    port->ClearRecord();
    EXPECT_TRUE(SetPrinterTime(p, 14, 7, 9).ok());
    EXPECT_EQ(port->Commands().front(), "TIME$=\"140709\"");
    const auto clock = ReadClock(p);
    ASSERT_TRUE(clock);
    EXPECT_EQ(FormatClock(*clock), "2031-02-03 14:07:09");
}

TEST_F(BrakConfigSheet, ClockRefusalsAndAPrinterThatKeepsItsDate) {
    CBrakPrinter& p = MakePrinter(40);
    for (const auto& [y, m, d] :
         {std::tuple{2031, 2, 29}, {1999, 1, 1}, {2100, 1, 1}, {2031, 0, 1}})
        EXPECT_EQ(SetPrinterDate(p, y, m, d).status, OpStatus::Refused);
    EXPECT_EQ(SetPrinterTime(p, 24, 0, 0).status, OpStatus::Refused);
    EXPECT_EQ(SetPrinterTime(p, 0, 60, 0).status, OpStatus::Refused);
    EXPECT_EQ(port->Wire(), "");
    EXPECT_EQ(SetPrinterDate(p, 2031, 2, 3).status, OpStatus::NoAnswer) << "silence";
    port->Answer("PRINT TIME$", "140709\r\n");
    port->Answer("PRINT DATE$", "240305\r\n");
    port->Answer("PRINT DATE$(\"F\")", "20240305\r\n");
    EXPECT_EQ(SetPrinterDate(p, 2031, 2, 3).status, OpStatus::Failed);
}

TEST_F(BrakConfigSheet, ModeSwitchFollowsVersionZero) {
    for (const auto& [before, command] :
         {std::pair{"Swiftlane 7.31", "INPUT OFF"}, {"7.31 Tallyscript", "INPUT ON"}}) {
        CBrakPrinter& p = MakePrinter(40);
        p.NoteVersion0(before);
        port->Answer("PRINT VERSION$(0)", "  New   mode\r\n");
        const ModeSwitch outcome = SwitchCommandMode(p);
        EXPECT_TRUE(outcome.result.ok());
        EXPECT_EQ(port->Commands(),
                  (std::vector<std::string>{command, "VERBOFF", "PRINT VERSION$(0)"}));
        EXPECT_EQ(p.Identity().version0, "New mode");
    }
}

TEST_F(BrakConfigSheet, StartupProgramsAndCheckedApplicationNames) {
    struct Case {
        int generation;
        StartupProgram program;
        std::string application;
        std::optional<std::string> line;
    } const cases[] = {
        {3, StartupProgram::WindowsDriver, "", "RUN \"rom:winxp.prg\""},
        {2, StartupProgram::WindowsDriver, "", "RUN \"rom:winxp.prg\""},
        {1, StartupProgram::WindowsDriver, "", "RUN \"rom:win1.prg\""},
        {3, StartupProgram::Labelkit, "", "RUN \"rom:lblshtxt.prg\""},
        {3, StartupProgram::UserApplication, "SHOP.PRG", "RUN \"SHOP.PRG\""},
        {3, StartupProgram::UserApplication, "C:/SHOP.PRG", "RUN \"c:/SHOP.PRG\""},
        {3, StartupProgram::UserApplication, "SH\"OP.PRG", std::nullopt},
        {3, StartupProgram::UserApplication, "x:/SHOP.PRG", std::nullopt},
        {3, StartupProgram::UserApplication, "SHOP\r\nKILL", std::nullopt},
        {3, StartupProgram::UserApplication, std::string(31, 'A'), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartupRunLine(c.generation, c.program, c.application).line, c.line)
            << c.application;
    CBrakPrinter& p = MakePrinter(40);
    EXPECT_EQ(RunStartupProgram(p, StartupProgram::UserApplication, "A\"B").status,
              OpStatus::Refused);
    EXPECT_EQ(port->Wire(), "");
}

}  // namespace
}  // namespace tarvo::app
