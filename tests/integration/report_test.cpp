// The configuration report of a simulated 6220E: the whole log file, files that cannot be
// written, the save dialog through the host hooks, and the print road against a recording
// print system.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "services/report/report_cups.h"
#include "services/report/report_run.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

// The report of the simulated 6220E with a graphic and a format stored, blanks at the line ends
// left out: two pages, the font directory running over the page break.
constexpr const char* kExpectedReport =
    R"(--------------------------------------------------------------------------------
   Tarvo Configuration Report   Thu Jan  7 09:30:00 1999      Page 1
--------------------------------------------------------------------------------


Communication Settings

    Port         COM1
    Baud rate    9600
    Parity       Even
    Data bits    7
    Stop bits    1
    Protocol     XON/XOFF
    Preamble     NULL
    Postamble    NULL
    Printer      6220E

Configuration Parameters

    Printer Configuration Options:
      Model                          6220E
      Firmware                       1.13
      Print speed                    3.0 in/sec
      Character set                  USA
      Image bands                    3
      Memory size                    1024 KB
      Memory available               984 KB
      Image size                     512 KB
      Selfstrip enabled              FALSE
      Cutter enabled                 N/A
      Audible alarm                  N/A
      Online on power up             N/A
      Printer emulate                200 dpi (5.0  mil)

    Paper Type Options:
      Media type                     Direct Thermal
      Label stock                    Gap
      Media sensitivity #            420
      Darkness                       0
      Label length                   4.92 in
      Label width                    4.00 in

    Paper Handling Options:
      Paper handle option            Batch
      Retract enabled                FALSE
      Top of form                    0.10 in
      Trail margin                   0.00 in
      Rest adjust                    0.00 in

    Printer Communications Options:
      Media status                   DISABLED
      Buffer status                  DISABLED
      Memory status                  DISABLED
      IBM Language translation       DISABLED
      Message delay                  0 msec
      Inter-character delay          0 msec

Directory Listing -- Fonts

    Font ID     Description    Size(bytes)     Type
--------------------------------------------------------------------------------
   Tarvo Configuration Report   Thu Jan  7 09:30:00 1999      Page 2
--------------------------------------------------------------------------------

        0       7x9 std            0           Bitmap
        1       7x11 OCR           0           Bitmap
        2       10x14 std          0           Bitmap
        7       5x7 std            0           Bitmap
       20       8 pt std           0           Bitmap
       21       12 pt std          0           Bitmap
       22       20 pt std          0           Bitmap
       23       fntOCRA            0           Bitmap
       24       fntOCRB            0           Bitmap
       25       821 Std            0           Speedo
       26       821 Bld            0           Speedo
       28       DtchRmn801         0           Speedo
       30       6 pt bld           0           Bitmap
       31       8 pt bld           0           Bitmap
       32       10 pt std          0           Bitmap
       33       10 pt bld          0           Bitmap
       34       12 pt bld          0           Bitmap
       35       16 pt std          0           Bitmap
       36       16 pt bld          0           Bitmap
       37       20 pt bld          0           Bitmap
       38       24 pt std          0           Bitmap
       39       24 pt bld          0           Bitmap
       40       30 pt bld          0           Bitmap
       41       36 pt bld          0           Bitmap

Directory Listing -- Graphics

    Graphic ID  Description    Size(bytes)
        5       LOGO            1234

Directory Listing -- Formats

    Format ID   Description    Size(bytes)
       19       SHIP              88
)";

// Thu Jan  7 09:30:00 1999
std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 99;
    t.tm_mon = 0;
    t.tm_mday = 7;
    t.tm_wday = 4;
    t.tm_hour = 9;
    t.tm_min = 30;
    return t;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The expected report as the file holds it: every line 80 wide and ended by a line feed.
std::string ExpectedFile() {
    std::string file;
    for (std::string line : SplitLines(kExpectedReport)) {
        line.resize(80, ' ');
        file += line + '\n';
    }
    return file;
}

std::set<std::string> FilesIn(const std::string& directory) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(directory.c_str())) {
        while (const dirent* e = ::readdir(d))
            names.insert(e->d_name);
        ::closedir(d);
    }
    return names;
}

// What the host hooks were asked, and what they answer.
struct HostRecord {
    std::vector<std::string> messages;  // "caption|text|style"
    int dialogAnswer = 1;
    std::string chosenPath;
    std::string dialogRequest;  // "title|filter|initial|extension"
    int cancelAfterPolls = -1;  // cancelRequested turns true on this poll; -1 never
    int polls = 0;
    int opened = 0;
    int closed = 0;
};

HostRecord* host = nullptr;

PCUHostHooks RecordingHooks() {
    PCUHostHooks hooks{};
    hooks.messageBox = [](void*, const char* caption, const char* text, int style) {
        host->messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
        return PCU_MB_ID_OK;
    };
    hooks.saveFileDialog = [](void*, const char* title, const char* filter, const char* initial,
                              const char* extension, char* path, int size) {
        host->dialogRequest = std::string(title) + "|" + filter + "|" + initial + "|" + extension;
        std::snprintf(path, static_cast<std::size_t>(size), "%s", host->chosenPath.c_str());
        return host->dialogAnswer;
    };
    hooks.openCancelWindow = [](void*, const char* caption, const char* text) -> void* {
        ++host->opened;
        EXPECT_STREQ(caption, "Print Report");
        EXPECT_STREQ(text, "Cancel Printing");
        return host;
    };
    hooks.cancelRequested = [](void*, void* window) {
        EXPECT_EQ(window, host);
        return ++host->polls == host->cancelAfterPolls ? 1 : 0;
    };
    hooks.closeCancelWindow = [](void*, void*) { ++host->closed; };
    return hooks;
}

// What the fake print system was given; the first failing step can be chosen.
struct SpoolRecord {
    bool hasDestination = true;
    bool startFails = false;
    int failWriteNumber = -1;  // the n-th write (from 1) fails
    std::string title;
    std::vector<std::string> writes;
    bool finished = false;
    bool cancelled = false;
};

SpoolRecord* spool = nullptr;

class FakeSpooler final : public report::PrintSpooler {
  public:
    bool openDefaultDestination() override { return spool->hasDestination; }
    bool startJob(const char* title) override {
        spool->title = title;
        return !spool->startFails;
    }
    bool write(std::string_view text) override {
        spool->writes.emplace_back(text);
        return static_cast<int>(spool->writes.size()) != spool->failWriteNumber;
    }
    bool finishJob() override {
        spool->finished = true;
        return true;
    }
    void cancelJob() override { spool->cancelled = true; }
};

class ReportTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Options o;
        o.objects = {{sim::ObjectKind::Graphic, {5, "LOGO", "", 1234}},
                     {sim::ObjectKind::Format, {19, "SHIP", "", 88}}};
        startPrinter(o);
        env.setProfile("Printer", "6220E");
        host = &hostRecord;
        spool = &spoolRecord;
        report::SetSpoolerFactory([]() -> std::unique_ptr<report::PrintSpooler> {
            return std::make_unique<FakeSpooler>();
        });
        const PCUHostHooks hooks = RecordingHooks();
        PCUSetHostHooks(&hooks);
    }

    void TearDown() override {
        PCUSetHostHooks(nullptr);
        report::SetSpoolerFactory(nullptr);
        host = nullptr;
        spool = nullptr;
        SimTest::TearDown();
    }

    void readPrinter() {
        char model[PCU_ID_MODEL_SIZE] = "";
        char number[PCU_ID_NUMBER_SIZE] = "";
        char firmware[PCU_ID_FIRMWARE_SIZE] = "";
        ASSERT_EQ(PCUGetPrinterID(ctx, model, number, firmware, 1), PCU_OK);
        std::uint16_t count = 0;
        ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
        ASSERT_EQ(PCUGetFonts(ctx, &count), PCU_OK);
        ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
        ASSERT_EQ(PCUGetFormats(ctx, &count), PCU_OK);
    }

    std::string path(const std::string& name) const { return env.root() + "/" + name; }

    int toFile(const std::string& file, int sections = PCU_REPORT_ALL) {
        return report::PrintReportToFileAt(ctx, sections, file.c_str(), FixedTime());
    }

    int print(int sections = PCU_REPORT_ALL) {
        return report::PrintReportAt(ctx, sections, false, FixedTime());
    }

    HostRecord hostRecord;
    SpoolRecord spoolRecord;
};

TEST_F(ReportTest, LogFileHoldsTheWholeReport) {
    readPrinter();
    ASSERT_EQ(toFile(path("r.log")), PCU_OK);
    const std::vector<std::string> got = SplitLines(test::ReadFile(path("r.log")));
    const std::vector<std::string> want = SplitLines(ExpectedFile());
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(test::ReadFile(path("r.log")), ExpectedFile());
    EXPECT_TRUE(hostRecord.messages.empty());
}

TEST_F(ReportTest, MetricProfileShowsCentimetres) {
    readPrinter();
    env.setProfile("Measurements", "Metric");
    ASSERT_EQ(toFile(path("m.log"), PCU_REPORT_CONFIG), PCU_OK);
    const std::vector<std::string> lines = SplitLines(test::ReadFile(path("m.log")));
    ASSERT_EQ(lines.size(), 44u);
    auto trimmed = [&](std::size_t i) {
        return lines[4 + i].substr(0, lines[4 + i].find_last_not_of(' ') + 1);
    };
    EXPECT_EQ(trimmed(6), "      Print speed                    7.62 cm/sec");
    EXPECT_EQ(trimmed(23), "      Label length                   12.50 cm");
    EXPECT_EQ(trimmed(24), "      Label width                    10.16 cm");
    EXPECT_EQ(trimmed(29), "      Top of form                    0.25 cm");
    EXPECT_EQ(trimmed(31), "      Rest adjust                    0.00 mm");
}

TEST_F(ReportTest, ALogFileThatCannotBeWrittenLeavesNothingBehind) {
    readPrinter();
    ASSERT_EQ(::mkdir(path("taken").c_str(), 0755), 0);
    const std::set<std::string> before = FilesIn(env.root());

    EXPECT_EQ(toFile(path("taken")), PCU_ERR_LOG_FILE) << "a directory is in the way";
    EXPECT_EQ(toFile(path("missing/r.log")), PCU_ERR_LOG_FILE);
    EXPECT_EQ(FilesIn(env.root()), before) << "no temporary file stays";
    EXPECT_EQ(hostRecord.messages,
              std::vector<std::string>(2, "Error|Unable to open selected Log file|16"));

    // An existing report is replaced whole.
    {
        std::ofstream old(path("old.log"));
        old << "an earlier report\n";
    }
    ASSERT_EQ(toFile(path("old.log"), 0), PCU_OK);
    EXPECT_EQ(SplitLines(test::ReadFile(path("old.log"))).size(), 4u);
}

TEST_F(ReportTest, BadCallsAreRefused) {
    EXPECT_EQ(report::PrintReportToFileAt(ctx, 1, nullptr, FixedTime()), PCU_ERR_ARGUMENT);
    EXPECT_EQ(report::PrintReportToFileAt(ctx, 1, "", FixedTime()), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPrintReportToFile(0, 1, path("x.log").c_str()), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUPrintReportToFile(33, 1, nullptr), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUPrintReport(0, 1, 1), PCU_ERR_NO_CONTEXT);
    EXPECT_TRUE(FilesIn(env.root()).count("x.log") == 0);
}

TEST_F(ReportTest, TheSaveDialogNamesTheLogFile) {
    readPrinter();
    hostRecord.chosenPath = path("chosen.log");
    ASSERT_EQ(report::PrintReportAt(ctx, PCU_REPORT_ALL, true, FixedTime()), PCU_OK);
    EXPECT_EQ(hostRecord.dialogRequest, "Save Report|Log files (*.log)|*.log||report.log|log");
    EXPECT_EQ(test::ReadFile(path("chosen.log")), ExpectedFile());

    hostRecord.dialogAnswer = 0;
    EXPECT_EQ(report::PrintReportAt(ctx, PCU_REPORT_ALL, true, FixedTime()),
              PCU_ERR_SAVE_CANCELLED);
    EXPECT_TRUE(hostRecord.messages.empty()) << "a cancel is the operator's own choice";

    hostRecord.dialogAnswer = -1;
    EXPECT_EQ(PCUPrintReport(ctx, PCU_REPORT_ALL, 1), PCU_ERR_SAVE_DIALOG);
    hostRecord.dialogAnswer = 1;
    hostRecord.chosenPath.clear();
    EXPECT_EQ(PCUPrintReport(ctx, PCU_REPORT_ALL, 1), PCU_ERR_SAVE_DIALOG)
        << "a dialog that chose no path failed";
    PCUHostHooks noDialog = RecordingHooks();
    noDialog.saveFileDialog = nullptr;
    PCUSetHostHooks(&noDialog);
    EXPECT_EQ(PCUPrintReport(ctx, PCU_REPORT_ALL, 1), PCU_ERR_SAVE_DIALOG);
    EXPECT_EQ(hostRecord.messages,
              std::vector<std::string>(3, "Error|Unable to access File Save dialog box|16"));
}

TEST_F(ReportTest, PrintedReportIsOneTextJobWithAFormFeedBetweenPages) {
    readPrinter();
    ASSERT_EQ(print(), PCU_OK);
    EXPECT_EQ(spoolRecord.title, "Tarvo Report");
    std::string job;
    for (const std::string& w : spoolRecord.writes)
        job += w;
    std::string expected = ExpectedFile();
    const std::size_t secondPage = 60 * 81;
    expected.insert(secondPage, "\f");
    EXPECT_EQ(job, expected);
    EXPECT_TRUE(spoolRecord.finished);
    EXPECT_FALSE(spoolRecord.cancelled);
    EXPECT_EQ(hostRecord.opened, 1);
    EXPECT_EQ(hostRecord.polls, 1) << "asked once, between the two pages";
    EXPECT_EQ(hostRecord.closed, 1);
}

TEST_F(ReportTest, NoDefaultPrintQueue) {
    spoolRecord.hasDestination = false;
    EXPECT_EQ(print(), PCU_ERR_NO_PRINTER);
    EXPECT_TRUE(spoolRecord.writes.empty());
    EXPECT_EQ(hostRecord.opened, 0);
}

TEST_F(ReportTest, PrintFailuresWithdrawTheJob) {
    readPrinter();
    spoolRecord.startFails = true;
    EXPECT_EQ(print(), PCU_ERR_PRINT);
    EXPECT_EQ(
        hostRecord.messages,
        std::vector<std::string>{"Report Print Error|General error - can't start document|17"});
    EXPECT_TRUE(spoolRecord.writes.empty());
    EXPECT_EQ(hostRecord.closed, hostRecord.opened);

    spoolRecord = SpoolRecord{};
    spoolRecord.failWriteNumber = 2;  // the form feed before page 2
    EXPECT_EQ(print(), PCU_ERR_PRINT);
    EXPECT_EQ(spoolRecord.writes.size(), 2u);
    EXPECT_TRUE(spoolRecord.cancelled) << "half a report is not left to print";
    EXPECT_FALSE(spoolRecord.finished);
}

TEST_F(ReportTest, CancellingStopsAtThePageBreak) {
    readPrinter();
    hostRecord.cancelAfterPolls = 1;
    EXPECT_EQ(print(), PCU_ERR_PRINT_CANCELLED);
    ASSERT_EQ(spoolRecord.writes.size(), 1u) << "only page 1 was sent";
    EXPECT_EQ(spoolRecord.writes[0], ExpectedFile().substr(0, 60 * 81));
    EXPECT_TRUE(spoolRecord.cancelled);
    EXPECT_FALSE(spoolRecord.finished);
    EXPECT_EQ(hostRecord.closed, 1);

    // A log file is never cancelled.
    hostRecord.polls = 0;
    EXPECT_EQ(toFile(path("r.log")), PCU_OK);
    EXPECT_EQ(hostRecord.polls, 0);
}

}  // namespace
}  // namespace tarvo
