// The Brakenholm configuration report as text: its lines, the log file byte for byte, the
// printed pages, the FONTS and IMAGES listings, and a log file that cannot be written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "brakenholm/brak_report.h"
#include "brakenholm/value_tables.h"
#include "support/test_env.h"

namespace tarvo::app {
namespace {

namespace fs = std::filesystem;

std::tm Tuesday() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_wday = 2;
    t.tm_hour = 0;
    t.tm_min = 29;
    t.tm_sec = 38;
    return t;
}

BrakReportData Data(unsigned sections, int generation = 3) {
    BrakReportData d;
    d.sections = sections;
    d.generation = generation;
    d.portName = "COM2";
    d.setup.baud = *FindInTable(BaudTable(), "19200");
    d.setup.parity = *FindInTable(ParityTable(), "NONE");
    d.setup.newLine = *FindInTable(NewLineTable(), "CR/LF");
    d.setup.charLength = 8;
    d.setup.stopBits = 1;
    d.setup.rtsCts = true;
    d.setup.receiveBuffer = 1024;
    d.setup.transmitBuffer = 512;
    d.identity.version1 = "TQ8e";
    d.identity.storageFree = "756432";
    d.identity.heapFree = "5767168";
    d.identity.sysvar21 = "8";
    d.identity.sysvar22 = "832";
    return d;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(BrakReport, CommunicationLinesAreLaidOutInTheirColumns) {
    const std::vector<std::string> lines = BrakReportLines(Data(kBrakReportComm));
    const std::vector<std::string> expected = {
        "*** Communication Settings",
        "    Baud rate                   19200",
        "    Parity                      NONE",
        "    Data bits                   8",
        "    Stop bits                   1",
        "    Input Channel               UART1",
        "    Output Channel              UART1",
        "    RTS/CTS                     Enabled",
        "    Xon/Xoff from Host          Disabled",
        "    Xon/Xoff to Host            Disabled",
        "    Receive buffer              1024 bytes",
        "    Transmit buffer             512 bytes",
        "    Port connection             COM2",
        "    New Line                    CR/LF",
        "",
    };
    EXPECT_EQ(lines, expected);
}

TEST(BrakReport, ValuesNeverReadSaySo) {
    BrakReportData d = Data(kBrakReportComm | kBrakReportConfig);
    MarkUnread(d.setup, BrakSetting::ReceiveBuffer);
    MarkUnread(d.setup, BrakSetting::Width);
    d.identity.version0.clear();
    const std::vector<std::string> lines = BrakReportLines(d);
    EXPECT_TRUE(Has(lines, "    Receive buffer              (not read)"));
    EXPECT_TRUE(Has(lines, "        Width                         (not read)"));
    EXPECT_TRUE(Has(lines, "        Firmware Version              (not read)"));
}

TEST(BrakReport, ConfigurationLinesFollowTheGeneration) {
    struct Case {
        int generation;
        bool dynamicMemory;
        const char* setupLine;
    };
    for (const Case c : {Case{0, false, "        Performance                   "},
                         Case{1, false, "        Performance                   "},
                         Case{2, true, "        Paper Type                    "},
                         Case{3, true, "        Paper Type                    "}}) {
        const std::vector<std::string> lines =
            BrakReportLines(Data(kBrakReportConfig, c.generation));
        EXPECT_EQ(Has(lines, "        Dynamic memory free           5767168 bytes"),
                  c.dynamicMemory)
            << c.generation;
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.rfind(c.setupLine, 0) == 0; }),
                  1)
            << c.generation;
    }
    const std::vector<std::string> lines = BrakReportLines(Data(kBrakReportConfig));
    EXPECT_TRUE(Has(lines, "        Permanent memory free         756432 bytes"));
    EXPECT_TRUE(Has(lines, "        Printhead Density             8 dots/mm"));
    EXPECT_TRUE(Has(lines, "        Media Status                  No ribbon"));
}

TEST(BrakReport, ListingsThatCouldNotBeReadGiveTheErrorLine) {
    BrakReportData d = Data(kBrakReportFonts | kBrakReportImages);
    d.images.portBusy = true;
    const std::vector<std::string> expected = {
        "*** Installed Fonts",
        "*** ERROR:Cannot load font data from printer",
        "",
        "*** Installed Images",
        "*** ERROR:Cannot load image data from printer -- access denied to COM port",
        "",
    };
    EXPECT_EQ(BrakReportLines(d), expected);
    EXPECT_EQ(BrakReportErrors(d), (std::vector<std::string>{expected[1], expected[4]}));
    d.fonts = {true, false, true, {"Swiss 721 BT"}};
    const std::vector<std::string> lines = BrakReportLines(d);
    EXPECT_EQ(lines[1], "    Swiss 721 BT");
    EXPECT_EQ(lines[2], "    (the printer's list was too long; some font names are missing)");
}

TEST(BrakReport, NameListingsAreCutIntoNames) {
    struct Case {
        const char* reply;
        bool images;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"Swiss 721 BT\r\nZapf Dingbats BT\r\n", false, {"Swiss 721 BT", "Zapf Dingbats BT"}},
        {"  LOGO  1234\r\nARROW 56\r\nOk\r\n", true, {"LOGO", "ARROW"}},
        {"No images\r\n", true, {}},
        {"\r\n\r\n", false, {}},
        {"LAST WITHOUT END", false, {"LAST WITHOUT END"}},
        {"A\x01"
         "B\n",
         false,
         {"A B"}},
        {"\x0f\r\nLOGO\x1b  12\r\n", true, {"LOGO"}},  // noise is no name, nor part of one
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNameListing(c.reply, c.images), c.names) << c.reply;
}

TEST(BrakReport, TheLogFileIsWrittenWithItsHeaderAndCrLf) {
    const std::string text = BrakReportFileText({"*** Installed Fonts", "    SANS"}, Tuesday());
    EXPECT_EQ(
        text,
        "Tarvo Configuration Report                             Tue Dec  8 00:29:38 2026\r\n" +
            std::string(79, '-') +
            "\r\n"
            "\r\n"
            "*** Installed Fonts\r\n"
            "    SANS\r\n");
    EXPECT_EQ(BrakReportTitle(Tuesday()).find("Tue"), 55u);
}

TEST(BrakReport, PrintedPagesHoldSixtyLinesWithTheirHeader) {
    std::vector<std::string> lines;
    for (int i = 0; i < 120; ++i)
        lines.push_back("line " + std::to_string(i));
    lines.push_back(std::string(100, 'x'));
    const std::vector<std::string> pages = BrakReportPages(lines, Tuesday());
    ASSERT_EQ(pages.size(), 3u) << "57 lines below each page's header";
    EXPECT_EQ(pages[0].substr(0, pages[0].find('\n')),
              "Tarvo Configuration Report   Tue Dec  8 00:29:38 2026   Page 1");
    EXPECT_EQ(std::count(pages[0].begin(), pages[0].end(), '\n'), 60);
    EXPECT_EQ(std::count(pages[1].begin(), pages[1].end(), '\n'), 60);
    EXPECT_NE(pages[2].find("Page 3\n"), std::string::npos);
    EXPECT_NE(pages[2].find("\n" + std::string(80, 'x') + "\n"), std::string::npos)
        << "cut at 80 columns";
    EXPECT_EQ(BrakReportPages({}, Tuesday()).size(), 1u);
}

TEST(BrakReport, AnUnwritableDirectoryLeavesNoFile) {
    test::TestEnv env;
    const std::string dir = env.root() + "/out";
    fs::create_directory(dir);
    const std::string notADirectory = dir + "/plain";
    test::WriteFile(notADirectory, "a file");
    const OpResult failed =
        WriteBrakReportLog(notADirectory + "/Tarvo.log", {"*** Installed Fonts"}, Tuesday());
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.detail, "Unable to open file " + notADirectory + "/Tarvo.log");

    const std::string locked = dir + "/locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {  // the superuser writes anywhere
        EXPECT_FALSE(WriteBrakReportLog(locked + "/Tarvo.log", {"x"}, Tuesday()).ok());
        EXPECT_TRUE(fs::is_empty(locked)) << "no temporary file either";
    }
    fs::permissions(locked, fs::perms::owner_all);

    const std::string log = dir + "/Tarvo.log";
    test::WriteFile(log, "old report");
    ASSERT_TRUE(WriteBrakReportLog(log, {"new"}, Tuesday()).ok());
    EXPECT_EQ(test::ReadFile(log), BrakReportFileText({"new"}, Tuesday()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3)
        << "plain, locked and the log: nothing else";
}

}  // namespace
}  // namespace tarvo::app
