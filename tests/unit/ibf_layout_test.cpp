// The .ibf image of a double-byte font: the index tables and slots, the quarter-turned glyph
// records, a real conversion of IPAGothic read back line by line, and the ranges and names a
// conversion refuses.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "fonts/dbcs_font.h"
#include "fonts/ibf_layout.h"
#include "objects/transfers.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo::fonts {
namespace {

struct Line {
    char tag;
    std::string data;
};

// Splits an image into its lines, checking the frame of each.
std::vector<Line> Lines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        EXPECT_NE(end, std::string::npos);
        const std::string line = text.substr(at, end - at);
        EXPECT_GE(line.size(), 3u);
        EXPECT_EQ(line.front(), '\x02');
        EXPECT_EQ(line.back(), '\x03');
        EXPECT_LE(line.size(), 255u);
        lines.push_back({line[1], line.substr(2, line.size() - 3)});
        at = end + 1;
    }
    return lines;
}

std::vector<unsigned> Values(const std::string& hex, int digits) {
    std::vector<unsigned> out;
    for (std::size_t i = 0; i + digits <= hex.size(); i += digits)
        out.push_back(static_cast<unsigned>(std::stoul(hex.substr(i, digits), nullptr, 16)));
    return out;
}

void SetRanges(FontInfo& e, std::vector<ByteRange> lead, std::vector<ByteRange> trail) {
    std::memset(e.dbcsRanges, 0, sizeof e.dbcsRanges);
    e.dbcsRanges[kDbcsFlag] = 1;
    for (std::size_t i = 0; i < lead.size() && i < 6; ++i) {
        e.dbcsRanges[kDbcsLeadFirst + i] = lead[i].first;
        e.dbcsRanges[kDbcsLeadLast + i] = lead[i].last;
    }
    e.dbcsRanges[kDbcsLeadCount] = static_cast<unsigned char>(lead.size());
    for (std::size_t i = 0; i < trail.size() && i < 6; ++i) {
        e.dbcsRanges[kDbcsTrailFirst + i] = trail[i].first;
        e.dbcsRanges[kDbcsTrailLast + i] = trail[i].last;
    }
    e.dbcsRanges[kDbcsTrailCount] = static_cast<unsigned char>(trail.size());
}

FontInfo IpaGothic() {
    FontInfo e{};
    e.source = PCU_FONT_SOURCE_FACE;
    std::strcpy(e.faceName, "IPAGothic");
    e.kind = PCU_FONT_KIND_BITMAP;
    e.sizeMode = PCU_SIZE_BY_POINTS;
    e.pointSize = 12;  // 17 dots at emulation 0
    e.charRange = 4;   // code page 932
    e.id = 80;
    SetRanges(e, {{0x88, 0x88}}, {{0x9F, 0xA1}, {0xA3, 0xA4}});
    return e;
}

TEST(IbfLayout, IndexTablesGiveEachCodeItsSlot) {
    DbcsRanges ranges{{{0x81, 0x82}, {0x88, 0x88}}, {{0x40, 0x42}, {0x45, 0x46}}};
    const IbfIndex index(ranges);
    // Span 0x40..0x46 = 7; three lead bytes.
    EXPECT_EQ(index.slots(), 256u + 3 * 7 + 1);
    EXPECT_EQ(index.leadTable()[0x81], 256);
    EXPECT_EQ(index.leadTable()[0x82], 263);
    EXPECT_EQ(index.leadTable()[0x88], 270);
    EXPECT_EQ(index.leadTable()[0x83], 0xFFFF);
    EXPECT_EQ(index.trailTable()[0x40], 0);
    EXPECT_EQ(index.trailTable()[0x43], 3) << "bytes between trail ranges keep their distance";
    EXPECT_EQ(index.trailTable()[0x46], 6);
    EXPECT_EQ(index.trailTable()[0x47], 0xFFFF);
    EXPECT_EQ(index.slotOf(0x41), 0x41u);
    EXPECT_EQ(index.slotOf(0x8846), 276u);
    EXPECT_FALSE(index.slotOf(0x8340));
    EXPECT_FALSE(index.slotOf(0x8147));
    const std::vector<unsigned> codes = index.doubleByteCodes();
    ASSERT_EQ(codes.size(), 3u * 5);
    EXPECT_EQ(codes[0], 0x8140u);
    EXPECT_EQ(codes[3], 0x8145u) << "the gap is skipped";
    EXPECT_EQ(codes.back(), 0x8846u);
}

TEST(IbfLayout, GlyphsAreTurnedAQuarterWithTheBottomRowFirst) {
    // Two columns, three rows: column 0 has rows 0 and 2, column 1 row 1.
    Glyph g;
    g.a = -2;
    g.b = 2;
    g.c = 3;
    g.top = 5;
    g.bitmap.width = 2;
    g.bitmap.rows = 3;
    g.bitmap.pitch = 4;
    g.bitmap.bits = {0x80, 0, 0, 0, 0x40, 0, 0, 0, 0x80, 0, 0, 0};
    TextMetrics m;
    m.descent = 4;
    const IbfRecord r = GlyphRecord(g, m);
    EXPECT_EQ(r.values, (std::array<std::int16_t, 5>{-2, 6, 2, 3, 3}));
    // Output row x holds column x bottom-up, least significant bit first, 4 bytes a row.
    EXPECT_EQ(r.bitmap, (std::vector<std::uint8_t>{0x05, 0, 0, 0, 0x02, 0, 0, 0}));
    EXPECT_EQ(r.size(), 8u + 12);

    m.ascent = 9;
    m.avgWidth = 3;
    const IbfRecord blank = BlankRecord(m);
    EXPECT_EQ(blank.values, (std::array<std::int16_t, 5>{0, 0, 3, 9, 0}));
    EXPECT_EQ(blank.bitmap.size(), 6u);
    m.ascent = 8;
    EXPECT_EQ(BlankRecord(m).size(), 3u + 1 + 12) << "an odd bitmap gets one more byte";
}

TEST(IbfLayout, ConvertedImageReadsBackWithConsistentOffsets) {
    test::TestEnv env;
    const FontInfo e = IpaGothic();
    std::string path;
    ASSERT_EQ(ConvertDoubleByteFont(e, 0, &path), 0);
    EXPECT_EQ(path, env.root() + "/data/tarvo/IPAGothic.ibf");
    const std::vector<Line> lines = Lines(test::ReadFile(path));

    const std::size_t slots = 256 + 1 * 6 + 1;  // span 0x9F..0xA4
    const long s = 4 * static_cast<long>(slots);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].tag, '&');
    long image = 0, lead = 0, trail = 0;
    ASSERT_EQ(std::sscanf(lines[0].data.c_str(), "%8ld,%8ld,%8ld;", &image, &lead, &trail), 3);
    EXPECT_EQ(lines[0].data.size(), 27u);
    EXPECT_EQ(lead, 28 + s);
    EXPECT_EQ(trail, 540 + s);
    // Font header: 17 dots per em of a 2048-unit face.
    EXPECT_EQ(lines[1].tag, '$');
    EXPECT_EQ(Values(lines[1].data, 4),
              (std::vector<unsigned>{0, 17, 0, 19 /* ceil(14.96) + ceil(3.33) */, 1, 0, 0}));
    EXPECT_EQ(lines[2].data, "00000000");

    std::size_t at = 3;
    std::vector<unsigned> offsets;
    while (lines[at].tag == '%') {
        const auto v = Values(lines[at].data, 8);
        EXPECT_LE(v.size(), 25u);
        offsets.insert(offsets.end(), v.begin(), v.end());
        ++at;
    }
    ASSERT_EQ(offsets.size(), slots);
    std::vector<unsigned> tables;
    for (int i = 0; i < 16; ++i, ++at) {
        EXPECT_EQ(lines[at].tag, '$');
        const auto v = Values(lines[at].data, 4);
        EXPECT_EQ(v.size(), 32u);
        tables.insert(tables.end(), v.begin(), v.end());
    }
    EXPECT_EQ(tables[0x88], 256u);
    EXPECT_EQ(tables[0x87], 0xFFFFu);
    for (unsigned b = 0x9F; b <= 0xA4; ++b)
        EXPECT_EQ(tables[256 + b], b - 0x9F);
    EXPECT_EQ(tables[256 + 0xA5], 0xFFFFu);

    // Walk the records: each starts where the sizes before it end.
    std::vector<unsigned> recordOffsets;
    long offset = 1052 + s;
    while (at < lines.size()) {
        recordOffsets.push_back(static_cast<unsigned>(offset));
        ASSERT_EQ(lines[at].tag, '$');
        const auto values = Values(lines[at].data, 4);
        ASSERT_EQ(values.size(), 5u);
        ASSERT_EQ(lines[at + 1].data, "000C");
        at += 2;
        std::size_t bytes = 0;
        while (at < lines.size() && lines[at].tag == '@') {
            EXPECT_LE(lines[at].data.size(), 200u);
            bytes += lines[at].data.size() / 2;
            ++at;
        }
        if (recordOffsets.size() == 1) {
            EXPECT_EQ(values, (std::vector<unsigned>{0, 0, 9, 15, 0})) << "the blank record";
            EXPECT_EQ(bytes, 2u * 9);
        } else if (values[2] > 0) {
            const unsigned h = values[3];
            EXPECT_EQ(bytes, values[2] * ((h + 31) / 32 * 4));
        }
        offset += static_cast<long>(bytes) + 12;
    }
    EXPECT_EQ(image, offset - 10);
    // Blank record first, then codes 32..255 with glyphs, then the five double-byte codes.
    EXPECT_EQ(offsets[0], recordOffsets[0]) << "codes without glyphs show the blank record";
    EXPECT_EQ(offsets[0x41], recordOffsets[1 + 0x41 - 32]);
    const std::size_t dbcsFirst = recordOffsets.size() - 5;
    EXPECT_EQ(offsets[256 + 0], recordOffsets[dbcsFirst]);      // 0x889F
    EXPECT_EQ(offsets[256 + 2], recordOffsets[dbcsFirst + 2]);  // 0x88A1
    EXPECT_EQ(offsets[256 + 3], recordOffsets[0]) << "0x88A2 lies in the gap";
    EXPECT_EQ(offsets[256 + 5], recordOffsets[dbcsFirst + 4]);  // 0x88A4
    EXPECT_EQ(offsets[slots - 1], recordOffsets[0]);
}

TEST(IbfLayout, OutputGoesBesideTarvofont) {
    test::TestEnv env;
    const std::string dir = env.root() + "/fonts";
    env.setEnv("TARVOFONT", (dir + "/any.name").c_str());
    FontInfo e = IpaGothic();
    e.source = 0;
    std::strcpy(e.path, "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    std::string path;
    const int status = ConvertDoubleByteFont(e, 0, &path);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(path, dir + "/ipag.ibf");
    EXPECT_FALSE(test::ReadFile(path).empty());
}

TEST(IbfLayout, UnusableRangesAndNamesAreRefused) {
    test::TestEnv env;
    std::string path = "unchanged";
    const auto refused = [&](const FontInfo& e) {
        return ConvertDoubleByteFont(e, 0, &path) == PCU_ERR_DBCS_RANGES;
    };
    FontInfo e = IpaGothic();
    e.dbcsRanges[kDbcsFlag] = 0;
    EXPECT_TRUE(refused(e)) << "no ranges";
    e = IpaGothic();
    SetRanges(e, {}, {{0x40, 0x7E}});
    EXPECT_TRUE(refused(e)) << "no lead range";
    SetRanges(e, {{0x81, 0x81}}, {});
    EXPECT_TRUE(refused(e)) << "no trail range";
    SetRanges(e, {{0x81, 0x81}}, {{0x40, 0x7E}});
    e.dbcsRanges[kDbcsLeadCount] = 7;
    EXPECT_TRUE(refused(e)) << "more than six";
    e.dbcsRanges[kDbcsTrailCount] = 0xFF;
    EXPECT_TRUE(refused(e)) << "a negative count";
    SetRanges(e, {{0x82, 0x81}}, {{0x40, 0x7E}});
    EXPECT_TRUE(refused(e)) << "first after last";
    SetRanges(e, {{0x81, 0x84}, {0x84, 0x85}}, {{0x40, 0x7E}});
    EXPECT_TRUE(refused(e)) << "overlapping";
    SetRanges(e, {{0x81, 0x81}}, {{0x80, 0xFC}, {0x40, 0x7E}});
    EXPECT_TRUE(refused(e)) << "descending";
    SetRanges(e, {{0x00, 0x01}}, {{0x40, 0x7E}});
    EXPECT_TRUE(refused(e)) << "lead byte 0 would collide with single-byte codes";
    SetRanges(e, {{0x01, 0xFF}}, {{0x00, 0xFF}});
    EXPECT_TRUE(refused(e)) << "65537 slots";
    SetRanges(e, {{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}});
    e.charRange = 3;
    EXPECT_TRUE(refused(e)) << "no double-byte code page for the ranges";
    EXPECT_EQ(path, "unchanged");

    EXPECT_TRUE(ValidIbfName("IPAGothic"));
    EXPECT_FALSE(ValidIbfName(""));
    EXPECT_FALSE(ValidIbfName("../escape"));
    EXPECT_FALSE(ValidIbfName("a/b"));

    e = IpaGothic();
    std::strcpy(e.faceName, "No Such Face");
    EXPECT_EQ(ConvertDoubleByteFont(e, 0, &path), PCU_ERR_FACE);
    e = IpaGothic();
    EXPECT_EQ(ConvertDoubleByteFont(e, 9, &path), PCU_ERR_ARGUMENT) << "unknown emulation";
    EXPECT_EQ(ConvertDoubleByteFont(e, 0, nullptr), PCU_ERR_ARGUMENT);
    e.source = 0;
    std::strcpy(e.path, "/etc/hostname");
    EXPECT_EQ(ConvertDoubleByteFont(e, 0, &path), PCU_ERR_FACE) << "not a font";
    EXPECT_EQ(path, "unchanged");
}

}  // namespace
}  // namespace tarvo::fonts
