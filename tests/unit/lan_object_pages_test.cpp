// The Font and Graphics Setup pages without widgets or printer: the character sets a locale
// offers and the ranges they carry, the files and descriptions the pages refuse, and the View
// pages' buttons acting only at OK.
#include <gtest/gtest.h>

#include "desk/desk.h"
#include "lanmere/font_pages.h"
#include "lanmere/graphic_pages.h"
#include "support/scripted_prompt.h"
#include "tarvo/base/dbcs_ranges.h"

namespace tarvo::app::lanmere {
namespace {

class ObjectPages : public ::testing::Test {
  protected:
    void SetUp() override {
        session.model = 18;  // 6220E
        for (int i = 0; i < PROP_SETTING_COUNT; ++i)
            propGetCfgDefault(18, i, &desk.config.values[static_cast<std::size_t>(i)]);
    }
    // The Select page of a font sheet for `localeId` with file `path` chosen.
    CFontPage1& FontFromFile(CFontSheet& sheet, const std::string& path) {
        sheet.Load();
        prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, path});
        auto& page = static_cast<CFontPage1&>(*sheet.pages()[0]);
        page.Press("path");
        return page;
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST(FontLocales, LocaleNamesGiveTheirDoubleByteSets) {
    struct Case {
        const char* name;
        int id;
        int set;
        const char* entry;
    };
    for (const Case& c :
         {Case{"ja_JP", 0x411, 4, "Japanese"}, Case{"zh_TW", 0x404, 5, "Traditional Chinese"},
          Case{"zh_HK", 0xC04, 5, "Traditional Chinese"},
          Case{"zh_SG", 0x1004, 5, "Traditional Chinese"},
          Case{"zh_CN", 0x804, 6, "Simplified Chinese"}, Case{"ko_KR", 0x412, 7, "Korean"},
          Case{"en_US", 0, 0, ""}, Case{"de", 0, 0, ""}}) {
        EXPECT_EQ(LocaleIdOf(c.name), c.id) << c.name;
        EXPECT_EQ(DoubleByteSet(c.id), c.set) << c.name;
        EXPECT_EQ(DoubleByteEntry(c.id), c.entry) << c.name;
    }
}

TEST_F(ObjectPages, JapaneseLocaleOffersJapaneseLastWithItsLeadRanges) {
    CFontSheet sheet(desk, 0x411, nullptr);
    CFontPage1& page = FontFromFile(sheet, "/fonts/sans.ttf");
    const auto& sets = page.field("charset").choices;
    ASSERT_EQ(sets.size(), 5u);
    EXPECT_EQ(sets.back(), "Japanese");
    page.Choose("storage", 1);
    page.Choose("charset", 4);
    const FontInfo request = page.Request();
    EXPECT_EQ(request.charRange, 4);
    const unsigned char* r = request.dbcsRanges;
    EXPECT_EQ(r[kDbcsFlag], 1);
    EXPECT_EQ(r[4], 0x81);
    EXPECT_EQ(r[kDbcsLeadLast], 0x9F);
    EXPECT_EQ(r[5], 0xE0);
    EXPECT_EQ(r[kDbcsLeadLast + 1], 0xFC);
    EXPECT_EQ(r[kDbcsLeadCount], 2);
    EXPECT_EQ(r[kDbcsTrailFirst], 0x40);
    EXPECT_EQ(r[kDbcsTrailLast + 1], 0xFC);
    EXPECT_EQ(r[kDbcsTrailCount], 2);
}

TEST_F(ObjectPages, FontFilesAreKnownByTheirExtensionInAnyCase) {
    CFontSheet sheet(desk, 0, nullptr);
    EXPECT_EQ(FontFromFile(sheet, "/fonts/a.TTF").Request().fontType, PCU_FONT_TYPE_TRUETYPE);
    CFontPage1& speedo = FontFromFile(sheet, "/fonts/b.Spd");
    EXPECT_EQ(speedo.Request().fontType, PCU_FONT_TYPE_SPEEDO);
    // FreeType cannot render Speedo: the printer must scale it itself.
    EXPECT_EQ(speedo.field("storage").choiceEnabled, (std::vector<bool>{true, false}));
    EXPECT_EQ(speedo.Request().kind, PCU_FONT_KIND_OUTLINE);
    EXPECT_TRUE(prompt.Notices().empty());

    CFontPage1& refused = FontFromFile(sheet, "/fonts/c.fon");
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_EQ(prompt.Notices()[0],
              "You are attempting to open an unrecognizable file. Please select a TrueType or "
              "Speedo font file to open.");
    EXPECT_EQ(prompt.shown.back().caption, "Error!");
    EXPECT_FALSE(refused.field("storage").enabled);

    FontFromFile(sheet, "/" + std::string(300, 'f') + ".ttf");
    EXPECT_EQ(prompt.Notices().size(), 2u);
    EXPECT_FALSE(sheet.pages()[0]->field("storage").enabled);
}

TEST_F(ObjectPages, DescriptionsThatWouldStartAnotherCommandAreRefused) {
    CFontSheet sheet(desk, 0, nullptr);
    CFontPage1& page = FontFromFile(sheet, "/fonts/sans.ttf");
    EXPECT_EQ(page.field("description").text, "sans");
    for (const char* text : {"A;B", "A,B", "A<B", "A\tB"}) {
        page.SetText("description", text);
        EXPECT_NE(page.Validate(), "") << text;
    }
    EXPECT_EQ(sheet.Accept(prompt), 0);
    EXPECT_EQ(desk.config.fonts.Count(), 0);
    page.SetText("description", "A B");
    EXPECT_EQ(sheet.Accept(prompt), -1);
    EXPECT_EQ(desk.config.fonts.Count(), 1);
    EXPECT_TRUE(session.flags.modified);
}

TEST_F(ObjectPages, BitmapsOtherThanBmpAreRefused) {
    CGraphicSheet sheet(desk);
    sheet.Load();
    PageModel& page = *sheet.pages()[0];
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, "/pictures/logo.png"});
    page.Press("path");
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_EQ(prompt.Notices()[0],
              "You are attempting to open an unrecognizable file. Please select a bitmap file "
              "(.BMP) to open.");
    EXPECT_FALSE(page.field("rotation").enabled);
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, "/pictures/a-long-file-title.BMP"});
    page.Press("path");
    EXPECT_TRUE(page.field("rotation").enabled);
    EXPECT_EQ(page.field("description").text, "a-long-fil");
}

TEST_F(ObjectPages, TakingBackAQueuedFontWaitsForOk) {
    CFontSheet sheet(desk, 0, nullptr);
    FontFromFile(sheet, "/fonts/sans.ttf");
    ASSERT_EQ(sheet.Accept(prompt), -1);
    PageModel& view = *sheet.pages()[1];
    ASSERT_EQ(view.field("queued").rows.size(), 1u);
    EXPECT_EQ(view.field("queued").rows[0][2], "/fonts/sans.ttf");
    view.Choose("queued", 0);
    view.Press("delete");
    EXPECT_TRUE(view.field("queued").rows.empty());
    sheet.Discard();
    EXPECT_EQ(desk.config.fonts.Count(), 1);
    view.Choose("queued", 0);
    view.Press("delete");
    ASSERT_EQ(sheet.Accept(prompt), -1);
    EXPECT_EQ(desk.config.fonts.Count(), 0);
}

}  // namespace
}  // namespace tarvo::app::lanmere
