// The Lanmere configuration pages without widgets: what each control opens on, what the
// operator's edits do, and what reaches the configuration on OK or Cancel.
#include <gtest/gtest.h>

#include <algorithm>

#include "desk/desk.h"
#include "lanmere/media_pages.h"
#include "lanmere/printer_pages.h"
#include "lanmere/units.h"
#include "support/scripted_prompt.h"

namespace tarvo::app::lanmere {
namespace {

class LanPages : public ::testing::Test {
  protected:
    // Model `m` with its defaults in the values and firmware `fw`.
    void Use(int m, const char* fw = "9.9") {
        session.model = m;
        session.modelName = propGetPrinterStr(m, name) ? name : "";
        session.firmwareVersion = fw;
        for (int i = 0; i < PROP_SETTING_COUNT; ++i)
            propGetCfgDefault(m, i, &desk.config.values[static_cast<std::size_t>(i)]);
        session.flags.modified = false;
    }
    int& V(int index) { return desk.config.values[static_cast<std::size_t>(index)]; }
    static std::string Shown(const PageModel& page, const char* id) {
        const Field& f = page.field(id);
        return f.selected < 0 ? "(none)" : f.choices[static_cast<std::size_t>(f.selected)];
    }

    char name[PROP_NAME_SIZE] = "";
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST(PageUnits, LengthsShowAndReadInTheMeasurementMode) {
    struct Case {
        int units;
        double mmPerUnit;
        bool metric;
        const char* shown;
    };
    for (const Case& c : {Case{1016, 0.125, true, "12.7"}, Case{1016, 0.125, false, "5.00"},
                          Case{1001, 0.125, false, "4.93"}, Case{108, 0.125, true, "1.35"},
                          Case{-10, 0.125, false, "-0.05"}, Case{0, 0.125, false, "0.00"}}) {
        EXPECT_EQ(ShowLength(c.units, c.mmPerUnit, c.metric), c.shown) << c.units;
    }
    struct Read {
        const char* text;
        bool metric;
        std::optional<int> units;
    };
    for (const Read& r :
         {Read{"5.00", false, 1016}, Read{"5,00", false, 1016}, Read{" 12.7 ", true, 1016},
          Read{"-0.05", false, -10}, Read{"0.05", false, 10}, Read{"", false, std::nullopt},
          Read{"1.2.3", false, std::nullopt}, Read{"1,2.3", false, std::nullopt},
          Read{"5 in", false, std::nullopt}, Read{"-", false, std::nullopt}}) {
        EXPECT_EQ(ReadLength(r.text, 0.125, r.metric), r.units) << r.text;
    }
}

TEST_F(LanPages, StandardPageDomainsComeFromTheModelTables) {
    struct Case {
        int model;
        bool metric;
        int speed;
        const char* speedShown;
        std::size_t charSets;
    };
    for (const Case& c : {
             Case{0, false, 35, "3.0 in/sec", 10},    // 35 is no allowed speed: the one below
             Case{24, true, 120, "30.0 cm/sec", 21},  // TQ8e-QEL's fastest, metric
             Case{14, false, 30, "4.0 in/sec", 11},   // none allowed below: the lowest
             Case{25, false, 30, "2.0 in/sec", 11},   // DEFAULT: mask 0x7ff lists 0..10
         }) {
        Use(c.model);
        session.metric = c.metric;
        V(3) = c.speed;
        CCfgPrtPage1 page(desk);
        page.Load();
        EXPECT_EQ(Shown(page, "speed"), c.speedShown) << c.model;
        EXPECT_EQ(page.field("charset").choices.size(), c.charSets) << c.model;
    }
}

TEST_F(LanPages, OkTakesTheShownSpeedAndLeavesAnUnlistedEmulationAlone) {
    Use(15);  // G5-QEL: its stored default emulation lies outside its own mask
    V(3) = 35;
    CCfgPrtSheet sheet(desk);
    sheet.Load();
    EXPECT_EQ(sheet.pages()[0]->field("emulation").selected, -1);
    EXPECT_EQ(sheet.Accept(prompt), -1);
    EXPECT_EQ(V(2), 0);
    EXPECT_EQ(V(3), 40) << "no allowed speed at or below 3.5: the lowest";
    EXPECT_TRUE(session.flags.modified);
}

TEST_F(LanPages, AnotherCharacterSetClearsSlashedZero) {
    Use(16, "2.4.1");
    V(41) = 1;
    CCfgPrtSheet sheet(desk);
    sheet.Load();
    PageModel& standard = *sheet.pages()[0];
    const PageModel& options = *sheet.pages()[1];
    EXPECT_TRUE(options.field("slashed").enabled);
    EXPECT_EQ(options.field("slashed").value, 1);
    standard.Choose("charset", 4);  // France
    EXPECT_FALSE(options.field("slashed").enabled);
    EXPECT_EQ(options.field("slashed").value, 0);
    ASSERT_EQ(sheet.Accept(prompt), -1);
    EXPECT_EQ(V(4), 4);
    EXPECT_EQ(V(41), 0);

    Use(16, "2.4.0");  // the firmware before slashed zero
    CCfgPrtPage2 older(desk);
    older.Load();
    EXPECT_FALSE(older.field("slashed").enabled);
}

TEST_F(LanPages, VerifierUnavailableStaysUnavailable) {
    Use(18);
    V(42) = 99;
    CCfgPrtPage2 page(desk);
    page.Load();
    EXPECT_FALSE(page.field("verifier").enabled);
    EXPECT_EQ(Shown(page, "verifier"), "Disable Verifier");
    page.Choose("verifier", 0);  // refused: the control is disabled
    page.Save();
    EXPECT_EQ(V(42), 99);
    EXPECT_FALSE(session.flags.modified);
}

TEST_F(LanPages, LabelLengthRoundTripsOnlyWhenTyped) {
    Use(18);
    V(15) = 1016;
    session.metric = true;
    CMediaSetup page(desk);
    page.Load();
    EXPECT_EQ(page.field("length").text, "12.7");
    EXPECT_EQ(page.field("length").unit, "cm.");

    session.metric = false;
    V(15) = 1001;
    page.Load();
    EXPECT_EQ(page.field("length").text, "4.93");
    page.Save();
    EXPECT_EQ(V(15), 1001) << "an untouched 4.93 would store 1002";
    EXPECT_FALSE(session.flags.modified);

    page.SetText("length", "5.00");
    ASSERT_EQ(page.Validate(), "");
    page.Save();
    EXPECT_EQ(V(15), 1016);
    EXPECT_TRUE(session.flags.modified);
}

TEST_F(LanPages, OutOfRangeLengthsAreRefusedNamingTheRange) {
    Use(18);
    struct Case {
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{"30", "Label Length must be a number from 0.49 to 23.62 in."},
                          Case{"abc", "Label Length must be a number from 0.49 to 23.62 in."}}) {
        CMediaSheet sheet(desk);
        sheet.Load();
        sheet.pages()[0]->SetText("length", c.text);
        EXPECT_EQ(sheet.Accept(prompt), 0) << c.text;
        EXPECT_EQ(prompt.shown.back().text, c.message);
        EXPECT_EQ(V(15), 1000) << "nothing saved";
    }
}

TEST_F(LanPages, ContinuousStockIsBlockedWhileSelfStripIsOn) {
    Use(18);
    V(9) = 1;
    V(12) = 0;
    CMediaSetup page(desk);
    page.Load();
    EXPECT_EQ(Shown(page, "stock"), "Gap");
    page.Choose("stock", 0);
    EXPECT_EQ(Shown(page, "stock"), "Gap") << "continuous cannot be chosen";
}

TEST_F(LanPages, MediaHandlingOpensOnTheDerivedModeAndCommitsOnlyOnOk) {
    Use(6);  // 6220
    V(12) = 0;
    V(10) = 0;
    CMediaHandlingDlg dialog(desk);
    dialog.Load();
    PageModel& page = *dialog.pages()[0];
    EXPECT_EQ(Shown(page, "mode"), "Batch");
    EXPECT_EQ(page.field("mode").choiceEnabled, (std::vector<bool>{true, false, false, false}));

    V(12) = 1;  // gap stock, no skip distance stored
    V(19) = 0;
    V(16) = 0;
    dialog.Load();
    page.Choose("mode", 1);
    EXPECT_EQ(page.field("skip").text, "0.53");
    ASSERT_EQ(dialog.Accept(prompt), -1);
    EXPECT_EQ(V(16), 1);
    EXPECT_EQ(V(19), 108);

    V(19) = 19;
    session.flags.modified = false;
    dialog.Load();
    EXPECT_EQ(Shown(page, "mode"), "Tear off");
    page.Choose("mode", 0);
    EXPECT_EQ(page.field("skip").text, "");
    dialog.Discard();
    EXPECT_EQ(V(19), 19);
    EXPECT_EQ(V(16), 1);
    EXPECT_FALSE(session.flags.modified);
}

TEST_F(LanPages, MediaHandlingBoxes) {
    Use(6);
    V(12) = 1;
    V(38) = 1;
    V(21) = 30;  // a percentage the box cannot show
    CMediaHandlingDlg dialog(desk);
    dialog.Load();
    PageModel& page = *dialog.pages()[0];
    EXPECT_EQ(page.field("reprint").value, 0);
    EXPECT_EQ(page.field("hothumid").value, 2);
    page.SetValue("reprint", 1);
    ASSERT_EQ(dialog.Accept(prompt), -1);
    EXPECT_EQ(V(38), 0) << "reprint checked stores 0";
    EXPECT_EQ(V(21), 30) << "unchanged unless clicked";

    Use(18);  // 6220E: the printer does not receive the setting
    dialog.Load();
    EXPECT_FALSE(dialog.pages()[0]->field("hothumid").enabled);
}

}  // namespace
}  // namespace tarvo::app::lanmere
