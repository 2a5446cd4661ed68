// The Brakenholm print quality wizard against the simulated TQ8e with the shipped media tables:
// the sample size set at the start and given back however the wizard ends, and Finish sending
// only what changed, in order, by the setup tree's own commands.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "brakenholm/brak_pqw_session.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

class BrakPQWSimTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e
        o.line.dataBits = 8;
        o.line.parity = 'N';
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        env.setEnv("TARVO_HOME", TARVO_SOURCE_DIR "/data");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        brak = std::make_unique<CBrakPrinter>(session, prompt, 40, MakeRawScriptPort(ctx));
        ASSERT_TRUE(brak->ReadSetupListing().parsed);
        before = printer->setupListing();
    }
    void TearDown() override {
        brak.reset();
        SimTest::TearDown();
    }
    // A value of the printer's setup once it has taken in every line written to it.
    std::string value(const std::string& path) {
        settlePrinter();
        return printer->setupValue(path).value_or("(none)");
    }
    std::vector<std::string> listing() {
        settlePrinter();
        return printer->setupListing();
    }
    // The SETUP lines the printer heard since the transcript was cleared.
    std::vector<std::string> setupLines() {
        settlePrinter();
        std::vector<std::string> lines;
        for (const std::string& m : printer->receivedMessages()) {
            if (m.rfind("SETUP \"", 0) == 0)
                lines.push_back(m);
        }
        return lines;
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CBrakPrinter> brak;
    std::vector<std::string> before;
};

TEST_F(BrakPQWSimTest, CancelGivesThePrinterItsSizeBackAndSendsNothingElse) {
    {
        BrakPQWSession wizard(*brak, prompt, true);
        ASSERT_TRUE(wizard.Start()) << testing::PrintToString(prompt.Notices());
        EXPECT_EQ(value("MEDIA,MEDIA SIZE,WIDTH"), "1244");
        EXPECT_EQ(value("MEDIA,MEDIA SIZE,LENGTH"), "1800");
        wizard.Open(kPQWContrastPage);
        wizard.page().SetValue("contrast", 9);
        EXPECT_TRUE(wizard.Cancel().ok());
    }
    EXPECT_EQ(listing(), before);
    EXPECT_TRUE(prompt.Notices().empty());
}

// A printer that stops answering mid-way: the wizard goes without Finish or Cancel, and the
// printer still gets its size back after the bounded wait.
TEST_F(BrakPQWSimTest, AWizardThatEndsOnAnErrorStillGivesTheSizeBack) {
    {
        BrakPQWSession wizard(*brak, prompt, true);
        ASSERT_TRUE(wizard.Start());
        sim::Faults silent;
        silent.silent = true;
        printer->setFaults(silent);
    }
    EXPECT_EQ(listing(), before);
}

TEST_F(BrakPQWSimTest, FinishSendsOnlyWhatChangedInOrderAndKeepsTheSize) {
    BrakPQWSession wizard(*brak, prompt, true);
    ASSERT_TRUE(wizard.Start());
    ASSERT_EQ(wizard.current(), kPQWPaperPage);
    ASSERT_TRUE(wizard.Next());  // direct thermal, as the printer is
    ASSERT_TRUE(wizard.Next());  // the media is known
    ASSERT_EQ(wizard.current(), kPQWLabelPage);
    wizard.page().Choose("media", 2);  // DT-30: 78, 30, at most 175 mm/s
    wizard.page().Choose("speed", 2);  // 150 mm/s
    ASSERT_TRUE(wizard.Next());
    wizard.page().SetValue("contrast", 7);
    ASSERT_TRUE(wizard.Next());
    ASSERT_TRUE(wizard.atEnd());
    printer->clearTranscript();
    const PQWFinish finish = wizard.Finish();
    EXPECT_TRUE(finish.ok()) << testing::PrintToString(finish.failed);
    EXPECT_EQ(setupLines(), (std::vector<std::string>{
                                "SETUP \"MEDIA,MEDIA SIZE,WIDTH,1216\"",
                                "SETUP \"MEDIA,MEDIA SIZE,LENGTH,1824\"",
                                "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,78\"",
                                "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR,30\"",
                                "SETUP \"PRINT DEFS,PRINT SPEED,150\"",
                                "SETUP \"MEDIA,CONTRAST,+4%\"",
                            }));
    EXPECT_EQ(value("MEDIA,MEDIA SIZE,WIDTH"), "1216");
    EXPECT_EQ(value("MEDIA,MEDIA SIZE,LENGTH"), "1824");
    EXPECT_EQ(value("MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT"), "78");
    const BrakSetup record = brak->GetSetup();
    EXPECT_EQ(record.labelConstant, 78);
    EXPECT_EQ(record.printSpeed, 150);
    EXPECT_EQ(record.contrast, 7);
}

// The program's record is what the wizard starts from and compares with, even where the
// printer holds something else (a setup loaded from a file and not sent yet).
TEST_F(BrakPQWSimTest, TheProgramsRecordSeedsTheWizardAndSurvivesTheSizeRead) {
    BrakSetup held = brak->GetSetup();
    held.labelConstant = 94;
    held.labelFactor = 38;
    brak->SetSetup(held);
    BrakPQWSession wizard(*brak, prompt, true);
    ASSERT_TRUE(wizard.Start());
    EXPECT_EQ(brak->GetSetup(), held);
    EXPECT_EQ(wizard.entry, 5);  // DT-60: 94, 38
    wizard.Cancel();
}

// The shipped tables are read whole, without a correction or a skipped line.
TEST(BrakMediaTables, TheShippedTablesReadWithoutNotes) {
    for (MediaKind kind : {MediaKind::DirectThermal, MediaKind::ThermalTransfer}) {
        const std::string path =
            std::string(TARVO_SOURCE_DIR "/data/") + std::string(MediaTableFileName(kind));
        std::ifstream file(path);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        const auto table = BrakMediaTable::Parse(text, kind, false);
        EXPECT_GE(table.entries().size(), 5u) << path;
        EXPECT_TRUE(table.notes().empty()) << path;
    }
}

}  // namespace
}  // namespace tarvo::app
