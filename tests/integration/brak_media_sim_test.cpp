// Sample labels and paper-type checks against the simulated Tallyscript printer: the values a
// label carries as the printer ran them, the setup left as it was, and a silent sensor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_test_label.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

class BrakMediaSim : public test::SimTest {
  protected:
    void Start(int model) {
        brak.reset();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = model;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        brak = std::make_unique<CBrakPrinter>(session, prompt, model, MakeRawScriptPort(ctx));
        const OpResult read = brak->ReadPrinterIdentity();
        ASSERT_TRUE(read.ok()) << Describe(read);
        printer->clearTranscript();
    }
    void TearDown() override {
        brak.reset();
        SimTest::TearDown();
    }

    // Where `line` was received, or -1.
    long IndexOf(const std::string& line) const {
        const auto lines = printer->receivedMessages();
        const auto at = std::find(lines.begin(), lines.end(), line);
        return at == lines.end() ? -1 : at - lines.begin();
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CBrakPrinter> brak;
};

TEST_F(BrakMediaSim, DirectThermalSampleCarriesItsValuesAndLeavesTheSetup) {
    Start(40);  // TQ8e
    const std::vector<std::string> listing = printer->setupListing();
    const BrakSetup record = brak->GetSetup();
    const OpResult r = SendSample(*brak, {false, 75, 20, 0, 0, 5}, true);
    ASSERT_TRUE(r.ok()) << Describe(r);

    const long constant = IndexOf("10 NCONSTANT$=\"075\"");
    const long run = IndexOf("RUN");
    ASSERT_GE(constant, 0);
    EXPECT_EQ(IndexOf("20 NFACTOR$=\"020\""), constant + 1);
    EXPECT_EQ(IndexOf("30 NOFFSET$=\"\""), constant + 2);
    EXPECT_GT(run, constant);
    const long tried = IndexOf("SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,75\"");
    const long restored = IndexOf("SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,50\"");
    EXPECT_TRUE(tried >= 0 && tried < constant) << "the value is tried before the label";
    EXPECT_GT(restored, run) << "and the printer's own value put back after it";
    EXPECT_EQ(IndexOf("SETUP \"MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,0\""), -1)
        << "a direct-thermal sample leaves the offset alone";

    const std::vector<std::string> printed = printer->printedLabels();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_TRUE(printed[0].starts_with(
        "program: NCONSTANT$=\"075\"; NFACTOR$=\"020\"; NOFFSET$=\"\"; NSPEED$=\"100 mps\"; "
        "NCONTRAST$=\"0%\"; TYPE$=\"Label\""))
        << printed[0];
    EXPECT_NE(printed[0].find("SCONSTANT$=\"Label Constant\""), std::string::npos);
    EXPECT_EQ(printer->setupListing(), listing);
    EXPECT_EQ(brak->GetSetup(), record);
}

TEST_F(BrakMediaSim, ClassicSamplesRunAsProgramOrLayout) {
    Start(30);  // 780, generation 1
    ASSERT_TRUE(SendClassicSample(*brak, {false, 3, kNoIndex, 4}).ok());
    ASSERT_EQ(printer->printedLabels().size(), 1u);
    EXPECT_EQ(printer->printedLabels()[0],
              "program: NTYPE$=\"GRADE 02\"; NSPEED$=\"NORMAL\"; NCONTRAST$=\"4\"");

    Start(27);  // 730, generation 0
    const std::vector<std::string> listing = printer->setupListing();
    ASSERT_TRUE(SendClassicSample(*brak, {false, 3, 1, 4}).ok());
    EXPECT_EQ(printer->printedLabels(),
              std::vector<std::string>{"layout TARVO730: NORMAL;GRADE 02;Ribbon Type:;GZ1;4;"});
    EXPECT_EQ(printer->setupListing(), listing);
}

TEST_F(BrakMediaSim, TransferIsRefusedWithoutARibbonAndSilenceIsNoAnswer) {
    Start(40);
    const PaperTypeCheck none = CheckPaperTypeChoice(*brak, session.scriptReply, true);
    EXPECT_FALSE(none.allowed);
    EXPECT_EQ(none.notice.substr(0, 30), "No ribbon detected in printer.");
    for (const std::string& line : printer->receivedMessages())
        EXPECT_EQ(line.find("SETUP"), std::string::npos) << line;

    sim::Faults silent;
    silent.silent = true;
    printer->setFaults(silent);
    const PaperTypeCheck quiet = CheckPaperTypeChoice(*brak, session.scriptReply, true);
    EXPECT_FALSE(quiet.allowed);
    EXPECT_EQ(quiet.notice.substr(0, 9), "No answer");
    printer->clearTranscript();
    const OpResult sample = SendSample(*brak, {true, 50, 10, 0, 0, 5}, false);
    EXPECT_EQ(sample.status, OpStatus::NoAnswer);
    EXPECT_EQ(printer->receivedMessages(),
              (std::vector<std::string>{"SYSVAR(18)=0", "PRINT SYSVAR(23)"}))
        << "nothing is tried on a printer that does not answer";
}

}  // namespace
}  // namespace tarvo::app
