// Rendering a real face (DejaVu Sans) for the printer: metrics in dots, the A, B and C widths of
// glyphs, blank characters, the dot columns of the bitmap commands, sizes from font entries, and
// the host's font list and face resolution.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "fonts/bitmap_font.h"
#include "fonts/code_pages.h"
#include "fonts/font_size.h"
#include "fonts/rendered_font.h"
#include "tarvo/kernel.h"

namespace tarvo::fonts {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuOblique = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf";

std::unique_ptr<RenderedFont> Open(int dots, const std::string& file = kDejaVu,
                                   CharacterSet set = CharacterSet::Default) {
    auto font = RenderedFont::Open(file, 0, CharSize{dots, 0}, set);
    EXPECT_TRUE(font) << file;
    return font;
}

// The characters of each "u" column of a character's commands.
std::vector<std::string> Columns(const std::string& commands) {
    std::vector<std::string> columns;
    for (std::size_t at = commands.find(";u"); at != std::string::npos;
         at = commands.find(";u", at + 1)) {
        const std::size_t comma = commands.find(',', at);
        columns.push_back(commands.substr(comma + 1, commands.find(';', comma) - comma - 1));
    }
    return columns;
}

TEST(FontRender, MetricsAreTheFaceTablesScaledUp) {
    // DejaVu Sans: 2048 units per em, Windows ascent 1901, descent 483, average width 1038,
    // largest advance 3838.
    const auto font = Open(24);
    const TextMetrics& m = font->metrics();
    EXPECT_EQ(m.unitsPerEm, 2048);
    EXPECT_EQ(m.ascent, 23);  // ceiling(22.28)
    EXPECT_EQ(m.descent, 6);  // ceiling(5.66)
    EXPECT_EQ(m.height, 29);
    EXPECT_EQ(m.avgWidth, 13);  // ceiling(12.16)
    EXPECT_EQ(m.maxWidth, 45);  // ceiling(44.98)
    EXPECT_EQ(m.firstChar, 32);
    EXPECT_EQ(m.lastChar, 255);
}

TEST(FontRender, AbcWidthsAddUpToTheAdvance) {
    const auto font = Open(48);
    for (const unsigned code : {unsigned{'A'}, unsigned{'j'}, unsigned{'W'}, unsigned{'1'}}) {
        const auto glyph = font->renderCode(code);
        ASSERT_TRUE(glyph) << code;
        EXPECT_EQ(glyph->b, glyph->bitmap.width);
        EXPECT_GT(glyph->b, 0);
        EXPECT_EQ(glyph->bitmap.pitch % 4, 0) << "rows are 32-bit aligned";
        EXPECT_GE(glyph->bitmap.pitch * 8, glyph->bitmap.width);
        // The hinted advance of DejaVu Sans at 48 dots is a whole number of dots.
        const int advance = static_cast<int>((font->face()->glyph->advance.x + 32) >> 6);
        EXPECT_GT(advance, 0);
    }
    // 'j' hangs left of its origin: a negative A width.
    const auto j = font->renderCode('j');
    EXPECT_LT(j->a, 0);
    EXPECT_EQ(j->a + j->b + j->c, j->advance());
}

TEST(FontRender, NegativeAWidthIsSentWithAAndB) {
    const auto font = Open(48);
    const auto j = font->renderCode('j');
    ASSERT_TRUE(j);
    ASSERT_LT(j->a, 0);
    const std::string text = BitmapCharacterCommands('j', *j, font->metrics());
    const std::string head = "t106," + std::to_string(j->a) + ";Z" + std::to_string(j->b) + ";";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(Columns(text).size(), static_cast<std::size_t>(j->b));

    const auto a = font->renderCode('a');
    ASSERT_GE(a->a, 0);
    const std::string aText = BitmapCharacterCommands('a', *a, font->metrics());
    const std::string aHead = "t97;Z" + std::to_string(a->advance()) + ";u0,";
    EXPECT_EQ(aText.substr(0, aHead.size()), aHead);
}

TEST(FontRender, ASpaceIsSentAsBlankColumns) {
    const auto font = Open(24);
    const auto space = font->renderCode(' ');
    ASSERT_TRUE(space);
    EXPECT_TRUE(space->bitmap.empty());
    EXPECT_EQ(space->a, 0);
    EXPECT_EQ(space->b, 0);
    const int advance = space->c;
    ASSERT_GT(advance, 0);
    const std::string text = BitmapCharacterCommands(' ', *space, font->metrics());
    std::string expected = "t32;Z" + std::to_string(advance) + ";";
    for (int x = 0; x < advance; ++x)
        expected += "u" + std::to_string(x) + ",@@@@@;";  // 29 rows: 29 / 6 + 1 characters
    EXPECT_EQ(text, expected);

    Glyph nothing;  // no bitmap and no advance: not sent at all
    EXPECT_EQ(BitmapCharacterCommands(1, nothing, font->metrics()), "");
}

TEST(FontRender, CellHeightsTwelveAndThirteenGiveThreeCharactersPerColumn) {
    for (const auto& [dots, cell] : {std::pair{9, 12}, std::pair{10, 13}}) {
        const auto font = Open(dots);
        ASSERT_EQ(font->metrics().height, cell);
        const auto m = font->renderCode('M');
        const std::vector<std::string> columns =
            Columns(BitmapCharacterCommands('M', *m, font->metrics()));
        ASSERT_EQ(columns.size(), static_cast<std::size_t>(m->b));
        for (const std::string& c : columns) {
            EXPECT_EQ(c.size(), 3u) << cell;
            for (const char dots6 : c)
                EXPECT_TRUE(dots6 >= '@' && dots6 <= '\x7F');
        }
    }
}

TEST(FontRender, ColumnsCarryTheGlyphRowsBelowTheBlankOnes) {
    // A glyph of two columns and three rows whose top is 2 rows above the baseline, in a cell
    // of ascent 4 and descent 3: two blank rows above it.
    TextMetrics m;
    m.ascent = 4;
    m.descent = 3;
    m.height = 7;
    m.maxWidth = 5;
    Glyph g;
    g.a = 1;
    g.b = 2;
    g.c = 1;
    g.top = 2;
    g.bitmap.width = 2;
    g.bitmap.rows = 3;
    g.bitmap.pitch = 4;
    g.bitmap.bits = {0x80, 0, 0, 0,   // row 0: x
                     0x40, 0, 0, 0,   // row 1:  x
                     0xC0, 0, 0, 0};  // row 2: xx
    // Column 0 has rows 2 and 4 set: '@' | 4 | 16 = 'T', then row 6 starts the second character
    // (nothing set). Column 1: rows 3 and 4: '@' | 8 | 16 = 'X'.
    EXPECT_EQ(BitmapCharacterCommands(65, g, m), "t65;Z4;u0,T@;u1,X@;");
    // A negative A gives A and B instead of the advance.
    g.a = -1;
    EXPECT_EQ(BitmapCharacterCommands(65, g, m), "t65,-1;Z2;u0,T@;u1,X@;");
    // The advance is capped at the maximum width.
    g.a = 0;
    g.c = 9;
    EXPECT_EQ(BitmapCharacterCommands(66, g, m).substr(0, 8), "t66;Z5;u");
    // Rows outside the cell are cut: a glyph reaching above the ascent.
    g.top = 6;
    EXPECT_EQ(BitmapCharacterCommands(66, g, m), "t66;Z5;u0,A@;u1,A@;");
    // A height divisible by six still ends with a fresh character.
    m.height = 6;
    m.descent = 2;
    g.top = 4;
    EXPECT_EQ(BitmapCharacterCommands(66, g, m), "t66;Z5;u0,E@;u1,F@;");
}

TEST(FontRender, CharacterRangesChooseTheCodes) {
    TextMetrics m;
    m.firstChar = 0;
    m.lastChar = 255;
    EXPECT_EQ(BitmapFontCodes(1, m).size(), 62u);
    EXPECT_EQ(BitmapFontCodes(2, m),
              (std::vector<unsigned>{48, 49, 50, 51, 52, 53, 54, 55, 56, 57}));
    EXPECT_EQ(BitmapFontCodes(3, m).size(), 95u);
    EXPECT_EQ(BitmapFontCodes(0, m).size(), 224u) << "every character: 32..255";
    EXPECT_EQ(BitmapFontCodes(9, m).front(), 32u);
    m.firstChar = 40;
    m.lastChar = 60;
    EXPECT_EQ(BitmapFontCodes(2, m).size(), 10u);
    EXPECT_EQ(BitmapFontCodes(0, m).size(), 21u);
    EXPECT_EQ(BitmapFontProgressTotal(0, m), 21);
    EXPECT_EQ(BitmapFontProgressTotal(1, m), 62);
}

TEST(FontRender, SizesInDotsFromTheEntry) {
    FontInfo e{};
    e.sizeMode = PCU_SIZE_BY_POINTS;
    e.pointSize = 12;
    CharSize size;
    ASSERT_EQ(ComputeCharSize(e, 0, &size), 0);
    EXPECT_EQ(size.heightDots, 17);  // 4.23 mm at 0.25 mm
    EXPECT_EQ(size.widthDots, 0);
    ASSERT_EQ(ComputeCharSize(e, 1, &size), 0);
    EXPECT_EQ(size.heightDots, 34);  // at 0.125 mm
    e.pointSize = 72;
    ASSERT_EQ(ComputeCharSize(e, 4, &size), 0);
    EXPECT_EQ(size.heightDots, 300);  // 25.4 mm at 0.08475 mm: 299.7
    EXPECT_EQ(ComputeCharSize(e, 5, &size), PCU_ERR_ARGUMENT);
    e.pointSize = 0;
    EXPECT_EQ(ComputeCharSize(e, 0, &size), PCU_ERR_ARGUMENT);
    e.pointSize = -5;
    EXPECT_EQ(ComputeCharSize(e, 0, &size), PCU_ERR_ARGUMENT);

    e.sizeMode = 0;
    e.height = 0.5f;
    e.width = 0.25f;
    ASSERT_EQ(ComputeCharSize(e, 0, &size), 0);
    EXPECT_EQ(size.heightDots, 51);  // 12.7 mm: 50.8
    EXPECT_EQ(size.widthDots, 26);   // 6.35 mm: 25.4
    e.width = -1;
    EXPECT_EQ(ComputeCharSize(e, 0, &size), PCU_ERR_ARGUMENT);
    e.width = 0;
    e.height = 100;  // 10160 dots
    EXPECT_EQ(ComputeCharSize(e, 0, &size), PCU_ERR_ARGUMENT);
}

TEST(FontRender, AGivenWidthIsTheAverageCharacterWidth) {
    const auto font = RenderedFont::Open(kDejaVu, 0, CharSize{40, 30}, CharacterSet::Default);
    ASSERT_TRUE(font);
    // x ppem = round(30 * 2048 / 1038) = 59; the average width comes out at the width asked.
    EXPECT_EQ(font->face()->size->metrics.x_ppem, 59);
    EXPECT_EQ(font->metrics().avgWidth, 30);
    EXPECT_EQ(font->metrics().ascent, 38);  // the height stays 40 dots per em
}

TEST(FontRender, CodesAbove127FollowTheCharacterSet) {
    const auto western = Open(24);
    const auto greek = Open(24, kDejaVu, CharacterSet::Greek);
    // 0xE1 is a-acute in code page 1252 and alpha in 1253: different glyphs.
    ASSERT_TRUE(western->glyphIndex(0xE1));
    ASSERT_TRUE(greek->glyphIndex(0xE1));
    EXPECT_NE(*western->glyphIndex(0xE1), *greek->glyphIndex(0xE1));
    EXPECT_EQ(*greek->glyphIndex(0xE1), FT_Get_Char_Index(greek->face(), 0x03B1));
    EXPECT_FALSE(greek->glyphIndex(0xAA)) << "unassigned in code page 1253";
    EXPECT_EQ(*western->glyphIndex('A'), *greek->glyphIndex('A'));
}

TEST(FontRender, ListedNamesCarryTheirCharacterSets) {
    EXPECT_EQ(CharacterSetOfName("DejaVu Sans (Greek)"), CharacterSet::Greek);
    EXPECT_EQ(CharacterSetOfName("DejaVu Sans (Central European)"), CharacterSet::CentralEuropean);
    EXPECT_EQ(CharacterSetOfName("DejaVu Sans Mono Bold (Central E"), CharacterSet::CentralEuropean)
        << "a name cut to the entry's 32 characters";
    EXPECT_EQ(CharacterSetOfName("DejaVu Sans"), CharacterSet::Default);
    EXPECT_EQ(CharacterSetOfName("Odd (Thing)"), CharacterSet::Default);
    EXPECT_EQ(FaceNameOfListed("DejaVu Sans (Greek)"), "DejaVu Sans");
    EXPECT_EQ(FaceNameOfListed("DejaVu Sans"), "DejaVu Sans");
}

TEST(HostFonts, TheListHoldsTrueTypeFacesWithTheirSuffixes) {
    EXPECT_EQ(PCUGetHostFontList(nullptr), 0);
    HostFontList list{42, reinterpret_cast<char**>(&list)};
    ASSERT_EQ(PCUGetHostFontList(&list), 1);
    ASSERT_GT(list.count, 0);
    std::vector<std::string> names(list.names, list.names + list.count);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const std::string& n : names) {
        EXPECT_LE(n.size(), 64u) << n;
        EXPECT_NE(n.front(), '@') << n;
    }
    for (const char* expected : {"DejaVu Sans", "DejaVu Sans (Greek)", "DejaVu Sans (Russian)",
                                 "DejaVu Sans Oblique", "IPAGothic"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    PCUFreeHostFontList(&list);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.names, nullptr);
    PCUFreeHostFontList(&list);  // a second release does nothing
}

TEST(HostFonts, ListedNamesAndFilesResolveToFaces) {
    PCULogicalFont lf{};
    PCUTextMetrics tm{};
    ASSERT_EQ(fonGetFontStructs(nullptr, "dejavu sans (Greek)", &lf, &tm), 1);
    EXPECT_STREQ(lf.filePath, kDejaVu.c_str());
    EXPECT_STREQ(lf.fullName, "DejaVu Sans");
    EXPECT_EQ(lf.charSet, PCU_CHARSET_GREEK);
    EXPECT_EQ(lf.weight, 400);
    EXPECT_EQ(lf.height, -2048);
    EXPECT_EQ(tm.ascent, 1901);
    EXPECT_EQ(tm.descent, 483);
    EXPECT_EQ(tm.height, 2384);
    EXPECT_EQ(tm.avgCharWidth, 1038);
    EXPECT_EQ(tm.maxCharWidth, 3838);
    EXPECT_EQ(tm.unitsPerEm, 2048);

    // A file resolves to its own face by family name and style.
    ASSERT_EQ(fonGetFontStructs(kDejaVuOblique.c_str(), nullptr, &lf, &tm), 1);
    EXPECT_STREQ(lf.filePath, kDejaVuOblique.c_str());
    EXPECT_STREQ(lf.faceName, "DejaVu Sans");
    EXPECT_STREQ(lf.fullName, "DejaVu Sans Oblique");
    EXPECT_EQ(lf.italic, 1);
    EXPECT_EQ(lf.charSet, PCU_CHARSET_DEFAULT);

    const PCULogicalFont before = lf;
    EXPECT_EQ(fonGetFontStructs(nullptr, "No Such Face", &lf, &tm), 0);
    EXPECT_EQ(fonGetFontStructs("/etc/hostname", nullptr, &lf, &tm), 0);
    EXPECT_EQ(fonGetFontStructs("/no/such/file.ttf", nullptr, &lf, &tm), 0);
    EXPECT_EQ(fonGetFontStructs(nullptr, nullptr, &lf, &tm), 0);
    EXPECT_EQ(fonGetFontStructs(nullptr, "", &lf, &tm), 0);
    EXPECT_EQ(fonGetFontStructs(nullptr, "DejaVu Sans", nullptr, &tm), 0);
    EXPECT_EQ(fonGetFontStructs(nullptr, "DejaVu Sans", &lf, nullptr), 0);
    EXPECT_EQ(std::memcmp(&before, &lf, sizeof lf), 0) << "untouched on failure";
}

}  // namespace
}  // namespace tarvo::fonts
