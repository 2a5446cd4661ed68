// The media pages' rules and the sample-label programs, without a printer or on a recording
// port: the adjust pairs of every model row, the mode a pair names, the paper-type checks, the
// page sends and the programs' value lines.
#include <gtest/gtest.h>

#include <cerrno>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_test_label.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

constexpr int kTq8e = 40;
constexpr int k780 = 30;

struct AutosetRow {
    MediaModel model;
    AdjustPair peel, tear, cut, cutStrip;
};

TEST(BrakMediaRules, AutosetGivesEachModelRowsPairs) {
    const AutosetRow rows[] = {
        {{0, "730", "8"}, {-88, -48}, {-152, 0}, {-252, 100}, {-252, 100}},
        {{1, "780", "8"}, {-90, -24}, {-114, 0}, {-114, 70}, {-294, 250}},
        {{1, "780", "12"}, {-135, -36}, {-171, 0}, {-171, 105}, {-441, 375}},
        {{2, "880KS", "8"}, {-115, -60}, {-175, 0}, {-425, 250}, {-425, 250}},
        // G3 and G5 cut off by their own row at either resolution, peel and tear as the rest.
        {{3, "G3", "8"}, {-56, -44}, {-100, 0}, {-240, 160}, {-250, 275}},
        {{3, "G5", "12"}, {-84, -66}, {-150, 0}, {-240, 160}, {-250, 275}},
        {{3, "TQ8e", "8"}, {-90, -24}, {-114, 0}, {-294, 180}, {-294, 250}},
        {{3, "TQ5e", "12"}, {-137, -37}, {-174, 0}, {-448, 275}, {-448, 381}},
        {{3, "TG5e", "8"}, {-56, -44}, {-100, 0}, {-240, 160}, {-250, 275}},
        {{3, "TG3e", "12"}, {-84, -66}, {-150, 0}, {-360, 240}, {-375, 412}},
    };
    for (const AutosetRow& r : rows) {
        SCOPED_TRACE(r.model.modelText + " res " + r.model.resolution);
        for (bool strip : {false, true}) {
            EXPECT_EQ(AutosetAdjust(FeedMode::PeelOff, r.model, strip), r.peel);
            EXPECT_EQ(AutosetAdjust(FeedMode::TearOff, r.model, strip), r.tear);
            EXPECT_EQ(AutosetAdjust(FeedMode::TearOff, r.model, strip).stop, 0);
        }
        EXPECT_EQ(AutosetAdjust(FeedMode::CutOff, r.model, false), r.cut);
        EXPECT_EQ(AutosetAdjust(FeedMode::CutOff, r.model, true), r.cutStrip);
    }
}

TEST(BrakMediaRules, CurrentSettingNamesTheMatchingModeOrCustom) {
    const MediaModel g1{1, "780", "8"};
    EXPECT_EQ(CurrentSettingName({-114, 70}, g1, false), "Cut off");
    EXPECT_EQ(CurrentSettingName({-294, 250}, g1, true), "Cut off");
    EXPECT_EQ(CurrentSettingName({-294, 250}, g1, false), "Custom");
    EXPECT_EQ(CurrentSettingName({-90, -24}, g1, false), "Peel off");
    EXPECT_EQ(CurrentSettingName({-114, 0}, g1, true), "Tear off");
    EXPECT_EQ(CurrentSettingName({0, 0}, g1, false), "Custom");
}

TEST(BrakMediaRules, ContrastAndSpeedTexts) {
    EXPECT_EQ(ContrastText(0), "-10%");
    EXPECT_EQ(ContrastText(5), "0%");
    EXPECT_EQ(ContrastText(10), "10%");
    // mm/s inside; inches per second shown unless metric.
    EXPECT_EQ(SpeedSpinValue(150, false), 6);
    EXPECT_EQ(SpeedSpinValue(150, true), 150);
    EXPECT_EQ(SpeedFromSpin(4, false), 100);
    EXPECT_EQ(SpeedFromSpin(175, true), 175);
    EXPECT_EQ(SpeedSpinValue(1000, true), kMaxPrintSpeed) << "clamped to the spin's range";
    EXPECT_EQ(SpeedCaption(false), "Print Speed (in/sec.):");
}

TEST(BrakTestLabel, NewTreeProgramFillsItsValueLines) {
    SampleValues dt{false, 75, 20, 9, 0, 0};
    const BrakTestLabel label = NewTreeTestLabel({3, "TQ8e", "8"}, dt, 150, false);
    ASSERT_GT(label.program.size(), 13u);
    const std::vector<std::string> head(label.program.begin(), label.program.begin() + 13);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "NEW", "10 NCONSTANT$=\"075\"", "20 NFACTOR$=\"020\"", "30 NOFFSET$=\"\"",
                        "40 NSPEED$=\"6.0 ips\"", "50 NCONTRAST$=\"-10%\"", "60 TYPE$=\"Label\"",
                        "70 SSPEED$=\"Print Speed\"", "80 SCONSTANT$=TYPE$+\" Constant\"",
                        "90 SFACTOR$=TYPE$+\" Factor\"", "100 SOFFSET$=\"Label Offset\"",
                        "110 DIR 1 : ALIGN 7", "120 PRPOS 25,25 : PRBOX 1000,767,2"}));
    EXPECT_EQ(label.program.back().substr(label.program.back().find(' ') + 1), "PRINTFEED");
    EXPECT_EQ(label.run, std::vector<std::string>{"RUN"});

    const SampleValues tt{true, 120, 7, 3, 0, 10};
    const BrakTestLabel fine = NewTreeTestLabel({3, "TQ8e", "12"}, tt, 125, true);
    EXPECT_EQ(fine.program[3], "30 NOFFSET$=\"003\"");
    EXPECT_EQ(fine.program[4], "40 NSPEED$=\"125 mps\"");
    EXPECT_EQ(fine.program[6], "60 TYPE$=\"Ribbon\"");
    EXPECT_EQ(fine.program[12], "120 PRPOS 35,35 : PRBOX 1488,1144,3");
}

TEST(BrakTestLabel, ClassicProgramsNumberedOrAsTheStoredLayout) {
    const ClassicSampleValues values{false, 2, 0, 7};
    const BrakTestLabel numbered = ClassicTestLabel({1, "780", "8"}, values, 1);
    EXPECT_EQ(std::vector<std::string>(numbered.program.begin(), numbered.program.begin() + 4),
              (std::vector<std::string>{"NEW", "10 NTYPE$=\"GRADE 01\"", "20 NSPEED$=\"HIGH\"",
                                        "30 NCONTRAST$=\"7\""}));
    const BrakTestLabel layout = ClassicTestLabel({0, "730", "8"}, values, kNoIndex);
    EXPECT_EQ(layout.program.front(), "KILL \"TARVO730\"");
    EXPECT_EQ(layout.program[1], "LAYOUT INPUT \"TARVO730\"");
    EXPECT_EQ(layout.program.back(), "LAYOUT END");
    EXPECT_EQ(layout.run,
              (std::vector<std::string>{"FORMAT INPUT \"<\",\">\",\";\"", "LAYOUT RUN \"TARVO730\"",
                                        "<UNKNOWN;GRADE 01;Ribbon Type:;GZ0;7;>"}));
}

class BrakMediaPort : public test::BrakTest {};

TEST_F(BrakMediaPort, PaperTypeChecksAskTheRibbonSensor) {
    CBrakPrinter& brak = MakePrinter(kTq8e);  // never identified: SYSVAR(20) reads 0
    const PaperTypeCheck offline = CheckPaperTypeChoice(brak, false, true);
    EXPECT_FALSE(offline.allowed);
    EXPECT_EQ(offline.notice,
              "Printer not connected.\nCannot change paper type to thermal transfer.");
    EXPECT_TRUE(port->Commands().empty());

    const PaperTypeCheck silent = CheckPaperTypeChoice(brak, true, true);
    EXPECT_FALSE(silent.allowed) << "silence is no verdict on the ribbon";
    EXPECT_NE(silent.notice.find("No answer"), std::string::npos) << silent.notice;

    port->Answer("PRINT SYSVAR(23)", "0\r\n");
    const PaperTypeCheck none = CheckPaperTypeChoice(brak, true, true);
    EXPECT_FALSE(none.allowed);
    EXPECT_EQ(none.notice,
              "No ribbon detected in printer.\nCannot change paper type to thermal "
              "transfer.");
    port->Answer("PRINT SYSVAR(23)", "1\r\n");
    EXPECT_TRUE(CheckPaperTypeChoice(brak, true, true).allowed);
    EXPECT_TRUE(CheckPaperTypeChoice(brak, true, false).allowed) << "already direct thermal";
}

BrakSetup HandlingValues() {
    BrakSetup s;
    s.startAdjust = -114;
    s.stopAdjust = 70;
    s.xStart = 8;
    s.width = 832;
    s.length = 1200;
    return s;
}

TEST_F(BrakMediaPort, HandlingPageSendsInOrderOnBothTrees) {
    const std::pair<int, std::vector<std::string>> trees[] = {
        {kTq8e,
         {"SETUP \"FEEDADJ,STARTADJ,-114\"", "SETUP \"FEEDADJ,STOPADJ,70\"",
          "SETUP \"MEDIA,MEDIA SIZE,XSTART,8\"", "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
          "SETUP \"MEDIA,MEDIA SIZE,LENGTH,1200\""}},
        {k780,
         {"SETUP \"DETECTION,FEEDADJ,STARTADJ,-114\"", "SETUP \"DETECTION,FEEDADJ,STOPADJ,70\"",
          "SETUP \"SERVICE,MEDIA SIZE,XSTART,8\"", "SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"",
          "SETUP \"SERVICE,MEDIA SIZE,LENGTH,1200\""}},
    };
    for (const auto& [model, expected] : trees) {
        CBrakPrinter& brak = MakePrinter(model);
        const OpResult r = StoreAndSend(brak, HandlingValues(), HandlingPageSettings());
        EXPECT_TRUE(r.ok()) << Describe(r);
        EXPECT_EQ(port->Commands(), expected);
        EXPECT_EQ(brak.GetSetup().width, 832);
    }
}

TEST_F(BrakMediaPort, AFailedWriteIsNamedAndLaterValuesStayOutOfTheRecord) {
    CBrakPrinter& brak = MakePrinter(kTq8e);
    port->FailWritesContaining("XSTART", EIO);
    const OpResult r = StoreAndSend(brak, HandlingValues(), HandlingPageSettings());
    EXPECT_EQ(r.status, OpStatus::Failed);
    EXPECT_EQ(r.setting, "x-start");
    EXPECT_EQ(brak.GetSetup().startAdjust, -114) << "sent before the failure";
    EXPECT_EQ(brak.GetSetup().xStart, 0);
    EXPECT_EQ(brak.GetSetup().width, 0) << "nothing after the failure is stored";
}

TEST_F(BrakMediaPort, ValuesNeverReadAreNotSent) {
    CBrakPrinter& brak = MakePrinter(kTq8e);
    BrakSetup page = HandlingValues();
    MarkUnread(page, BrakSetting::Width);
    EXPECT_TRUE(StoreAndSend(brak, page, HandlingPageSettings()).ok());
    EXPECT_EQ(port->Commands().size(), 4u);
}

}  // namespace
}  // namespace tarvo::app
