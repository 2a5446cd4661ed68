// Test prints and the configuration report of a Brakenholm printer against the simulated one:
// the exact lines of each sample, the sample size and the printer's own size put back, names
// refused before anything is sent, the listings the report reads, and its print job.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "brakenholm/brak_report.h"
#include "brakenholm/brak_test_print.h"
#include "fwxfer/gf_monitor.h"
#include "services/report/report_cups.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/context.h"
#include "tarvo/report.h"

namespace tarvo::app {
namespace brak_print_test {

class BrakPrintTest : public test::SimTest {
  protected:
    void TearDown() override {
        brak.reset();
        SimTest::TearDown();
    }

    void start(int model, int headDots = 0, const sim::Faults& faults = {}) {
        brak.reset();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = model;
        o.firmware = "Tallyscript 7.30";
        o.headDots = headDots;
        o.line = {9600, 8, 'N', 1, sim::Protocol::XonXoff};
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        ReadSettings(session, prompt);
        brak = std::make_unique<CBrakPrinter>(session, prompt, model, MakeRawScriptPort(ctx));
        brak->ReadPrinterIdentity();
        printer->setFaults(faults);
        printer->clearTranscript();
    }

    // The lines the printer heard from the first `from` on, up to and including `to`.
    std::vector<std::string> heardBetween(const std::string& from, const std::string& to) {
        const std::vector<std::string> all = printer->receivedMessages();
        auto first = std::find(all.begin(), all.end(), from);
        auto last = std::find(first, all.end(), to);
        return {first, last == all.end() ? last : last + 1};
    }

    std::vector<std::string> heardSizeLines() {
        std::vector<std::string> lines;
        for (const std::string& m : printer->receivedMessages()) {
            if (m.find("MEDIA SIZE") != std::string::npos)
                lines.push_back(m);
        }
        return lines;
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CBrakPrinter> brak;
};

TEST_F(BrakPrintTest, GenerationOneSizesTheSampleByItsHeadAndPutsTheSizeBack) {
    struct Case {
        int headDots;
        const char* width;
        const char* length;
    };
    // The "780" (model 30) with a 1280-dot head has the fine head: the wider sample.
    for (const Case c : {Case{1280, "1296", "9996"}, Case{1400, "1400", "10000"}}) {
        start(30, c.headDots);
        const std::vector<std::string> setupBefore = printer->setupListing();
        const std::string width = *printer->setupValue("SERVICE,MEDIA SIZE,WIDTH");
        const std::string length = *printer->setupValue("SERVICE,MEDIA SIZE,LENGTH");

        const OpResult r =
            RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Symbology, "CODE128"});
        ASSERT_TRUE(r.ok()) << Describe(r);
        const std::vector<std::string> expected = {
            "SETUP \"SERVICE,MEDIA SIZE,WIDTH," + std::string(c.width) + "\"",
            "SETUP \"SERVICE,MEDIA SIZE,LENGTH," + std::string(c.length) + "\"",
            "SETUP \"SERVICE,MEDIA SIZE,WIDTH," + width + "\"",
            "SETUP \"SERVICE,MEDIA SIZE,LENGTH," + length + "\"",
        };
        EXPECT_EQ(heardSizeLines(), expected) << c.headDots;
        EXPECT_EQ(printer->setupListing(), setupBefore) << "the setup tree is as it was";
        const std::vector<std::string> head =
            heardBetween("FUNCTEST \"HEAD\",WHEAD$", "PRINT WHEAD$");
        EXPECT_EQ(head.size(), 3u) << "FUNCTEST, then the verbosity prefix and the question";
        ASSERT_EQ(printer->printedLabels().size(), 1u);
        EXPECT_EQ(printer->printedLabels()[0].rfind("label: BT \"CODE128\" | ", 0), 0u)
            << printer->printedLabels()[0];
    }
}

TEST_F(BrakPrintTest, SymbologySamplesSendTheirSixteenLines) {
    start(40);
    ASSERT_TRUE(RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Symbology, "pdf417"}).ok());
    const std::vector<std::string> pdf = {"CLL",
                                          "BT \"PDF417\"",
                                          "BF \"Swiss 721 BT\",8 ON",
                                          "BM 2",
                                          "BH 100",
                                          "PP 50,20",
                                          "DIR 4",
                                          "FONT \"Swiss 721 BT\",10",
                                          "PT \"PDF417\"",
                                          "PP 100,20",
                                          "DIR 1",
                                          "PB \"123456\"",
                                          "DIR 4",
                                          "PP 500,400",
                                          "PB \"567890\"",
                                          "PF"};
    EXPECT_EQ(heardBetween("CLL", "PF"), pdf);

    printer->clearTranscript();
    ASSERT_TRUE(RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Symbology, "MAXICODE"}).ok());
    const std::string structured =
        "PB \"12345\";CHR$(10);\"6789\";CHR$(10);\"008\";CHR$(10);\"840\";CHR$(10);"
        "\"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"";
    const std::vector<std::string> maxi = heardBetween("CLL", "PF");
    ASSERT_EQ(maxi.size(), 16u);
    EXPECT_EQ(maxi[3], "BM 1");
    EXPECT_EQ(maxi[4], "BH 150");
    EXPECT_EQ(maxi[8], "PT \"MaxiCode\"");
    EXPECT_EQ(maxi[11], structured);
    EXPECT_EQ(maxi[14], structured);
    EXPECT_EQ(printer->printedLabels().size(), 2u);
    EXPECT_EQ(
        heardSizeLines(),
        (std::vector<std::string>{
            "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"", "SETUP \"MEDIA,MEDIA SIZE,LENGTH,2000\"",
            "SETUP \"MEDIA,MEDIA SIZE,WIDTH,1216\"", "SETUP \"MEDIA,MEDIA SIZE,LENGTH,1824\""}))
        << "generation 3: the head's dots by 2000";
}

TEST_F(BrakPrintTest, AnImageFromThePrintersMemoryPrints) {
    start(40);
    const std::string file = env.root() + "/logo.pcx";
    std::ofstream(file, std::ios::binary) << "PCX";
    ASSERT_TRUE(brak->LoadImage(file, "LOGO").ok());
    printer->clearTranscript();
    ASSERT_TRUE(RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Image, "LOGO"}).ok());
    const std::vector<std::string> heard = printer->receivedMessages();
    EXPECT_NE(std::find(heard.begin(), heard.end(), "PRPOS 20,20 : DIR 1 : PRIMAGE \"LOGO\" : PF"),
              heard.end());
    EXPECT_EQ(printer->printedLabels(),
              (std::vector<std::string>{"label: PRPOS 20,20 | DIR 1 | PRIMAGE \"LOGO\""}));

    printer->clearTranscript();
    const OpResult missing = RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Image, "ARROW"});
    EXPECT_EQ(missing.detail, "the printer holds no image \"ARROW\"");
    EXPECT_EQ(printer->receivedMessages(), (std::vector<std::string>{"SYSVAR(18)=0", "IMAGES"}))
        << "only the listing was asked";
}

TEST_F(BrakPrintTest, NamesThatWouldBreakTheQuotedArgumentSendNothing) {
    start(40);
    const BrakTestPrintChoice refused[] = {
        {BrakTestPrintKind::Image, "LO\"GO"},
        {BrakTestPrintKind::Image, std::string("LO\x01GO")},
        {BrakTestPrintKind::Image, std::string(31, 'A')},
        {BrakTestPrintKind::Font, "Swiss\" : KILL \"c:X"},
        {BrakTestPrintKind::Font, std::string("Swiss\r\n721")},
        {BrakTestPrintKind::Font, std::string(31, 'F')},
        {BrakTestPrintKind::Font, ""},
        {BrakTestPrintKind::Symbology, "QRCODE"},
    };
    for (const BrakTestPrintChoice& c : refused) {
        EXPECT_FALSE(RunBrakTestPrint(*brak, prompt, c).ok()) << c.name;
        EXPECT_TRUE(printer->receivedMessages().empty()) << c.name;
    }
}

TEST_F(BrakPrintTest, ASilentPrinterGetsNoSampleAndKeepsItsSize) {
    sim::Faults silent;
    silent.silent = true;
    start(40, 0, silent);
    const OpResult r = RunBrakTestPrint(*brak, prompt, {BrakTestPrintKind::Label, ""});
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    EXPECT_TRUE(heardSizeLines().empty());
    EXPECT_TRUE(heardBetween("CLL", "PF").empty());
}

TEST_F(BrakPrintTest, ASilentFontsListingGivesTheErrorLine) {
    sim::Faults faults;
    faults.silentAfterMessage = "FONTS";
    start(40, 0, faults);
    const BrakReportData data =
        GatherBrakReport(*brak, session, kBrakReportFonts | kBrakReportImages);
    const std::vector<std::string> expected = {
        "*** Installed Fonts",  "*** ERROR:Cannot load font data from printer",  "",
        "*** Installed Images", "*** ERROR:Cannot load image data from printer", ""};
    EXPECT_EQ(BrakReportLines(data), expected);
}

TEST_F(BrakPrintTest, TheReportListsTheFontsTheFirmwareHolds) {
    start(40);
    const BrakReportData data = GatherBrakReport(*brak, session, kBrakReportAll);
    const std::vector<std::string> lines = BrakReportLines(data);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    Swiss 721 Bold BT"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "        Printer Model                 TQ8e"),
              lines.end());
    EXPECT_TRUE(BrakReportErrors(data).empty());
}

// The print road through a recording print system.
struct BrakSpool {
    bool destination = true;
    std::string title;
    std::string caption;
    std::vector<std::string> writes;
    bool cancelled = false;
    int cancelOnPoll = -1;
    int polls = 0;
};
BrakSpool* brakSpool = nullptr;

class BrakFakeSpooler final : public report::PrintSpooler {
  public:
    bool openDefaultDestination() override { return brakSpool->destination; }
    bool startJob(const char* title) override {
        brakSpool->title = title;
        return true;
    }
    bool write(std::string_view text) override {
        brakSpool->writes.emplace_back(text);
        return true;
    }
    bool finishJob() override { return true; }
    void cancelJob() override { brakSpool->cancelled = true; }
    std::string destinationName() const override { return "labels"; }
};

class BrakReportPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        brakSpool = &spool;
        report::SetSpoolerFactory([]() -> std::unique_ptr<report::PrintSpooler> {
            return std::make_unique<BrakFakeSpooler>();
        });
        PCUHostHooks hooks{};
        hooks.openCancelWindow = [](void*, const char* caption, const char*) -> void* {
            brakSpool->caption = caption;
            return brakSpool;
        };
        hooks.cancelRequested = [](void*, void*) {
            return ++brakSpool->polls == brakSpool->cancelOnPoll ? 1 : 0;
        };
        hooks.closeCancelWindow = [](void*, void*) {};
        PCUSetHostHooks(&hooks);
    }
    void TearDown() override {
        PCUSetHostHooks(nullptr);
        report::SetSpoolerFactory(nullptr);
        brakSpool = nullptr;
    }
    BrakSpool spool;
};

TEST_F(BrakReportPrintTest, PagesGoOutAsOneJobWithFormFeeds) {
    std::tm time{};
    time.tm_year = 126;
    const std::vector<std::string> lines(100, "    line");
    ASSERT_EQ(PrintBrakReport(lines, time), PCU_OK);
    EXPECT_EQ(spool.title, "Tarvo Report Log");
    EXPECT_EQ(spool.caption, "Print Log");
    const std::vector<std::string> pages = BrakReportPages(lines, time);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(spool.writes, (std::vector<std::string>{pages[0], "\f", pages[1]}));
    EXPECT_EQ(BrakReportPrinterName(), "labels");

    spool = {};
    spool.cancelOnPoll = 1;
    EXPECT_EQ(PrintBrakReport(lines, time), PCU_ERR_PRINT_CANCELLED);
    EXPECT_TRUE(spool.cancelled) << "the job is withdrawn from the queue";

    spool = {};
    spool.destination = false;
    EXPECT_EQ(PrintBrakReport(lines, time), PCU_ERR_NO_PRINTER);
    EXPECT_EQ(BrakReportPrinterName(), "Unknown");
}

}  // namespace brak_print_test
}  // namespace tarvo::app
