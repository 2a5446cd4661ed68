// The font-file table reader over synthetic files: which name records become family-name
// candidates, the style of the OS/2 table, collections, and files cut short or lying about
// their sizes, which must give fewer names and never a read outside the bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fonts/sfnt_tables.h"

namespace tarvo::fonts {
namespace {

using ByteVector = std::vector<std::uint8_t>;

void Put16(ByteVector& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(ByteVector& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}

struct Name {
    unsigned platform, encoding, nameId;
    std::string text;  // raw bytes as stored
};

std::string Utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += '\0';
        out += c;
    }
    return out;
}

ByteVector NameTable(const std::vector<Name>& names) {
    ByteVector t;
    Put16(t, 0);
    Put16(t, static_cast<unsigned>(names.size()));
    Put16(t, static_cast<unsigned>(6 + 12 * names.size()));
    std::string storage;
    for (const Name& n : names) {
        Put16(t, n.platform);
        Put16(t, n.encoding);
        Put16(t, 0x409);
        Put16(t, n.nameId);
        Put16(t, static_cast<unsigned>(n.text.size()));
        Put16(t, static_cast<unsigned>(storage.size()));
        storage += n.text;
    }
    t.insert(t.end(), storage.begin(), storage.end());
    return t;
}

ByteVector Os2(unsigned weight, unsigned selection, std::size_t length = 78) {
    ByteVector t(length, 0);
    if (length >= 6) {
        t[4] = static_cast<std::uint8_t>(weight >> 8);
        t[5] = static_cast<std::uint8_t>(weight);
    }
    if (length >= 64) {
        t[62] = static_cast<std::uint8_t>(selection >> 8);
        t[63] = static_cast<std::uint8_t>(selection);
    }
    return t;
}

struct Table {
    std::string tag;
    ByteVector data;
};

// An sfnt with `tables` laid out after the directory; `base` is where the file will sit in a
// larger one (collections).
ByteVector Sfnt(const std::vector<Table>& tables, std::uint32_t version = 0x00010000,
                std::size_t base = 0) {
    ByteVector out;
    Put32(out, version);
    Put16(out, static_cast<unsigned>(tables.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    std::size_t offset = base + 12 + 16 * tables.size();
    for (const Table& t : tables) {
        for (char c : t.tag)
            out.push_back(static_cast<std::uint8_t>(c));
        Put32(out, 0);
        Put32(out, static_cast<std::uint32_t>(offset));
        Put32(out, static_cast<std::uint32_t>(t.data.size()));
        offset += t.data.size();
    }
    for (const Table& t : tables)
        out.insert(out.end(), t.data.begin(), t.data.end());
    return out;
}

FontFileNames Read(const ByteVector& file) {
    return ReadFontFileNames(file);
}

TEST(SfntTables, FamilyCandidatesFollowThePlatformRules) {
    const ByteVector file = Sfnt({{"name", NameTable({
                                               {1, 0, 1, "Mac Family"},
                                               {3, 1, 1, Utf16("Unicode Family")},
                                               {3, 0, 1, Utf16("Symbol Family")},
                                               {3, 10, 1, std::string("\0\0\0W\0\0\0X", 8)},
                                               {1, 0, 2, "Regular"},
                                               {1, 0, 4, "Mac Family Regular"},
                                               {2, 0, 1, "ISO Family"},
                                           })}});
    const FontFileNames names = Read(file);
    // Platform 1 as stored; platform 3 with zero bytes dropped, its encoding 1 skipped; other
    // name IDs and platforms never.
    EXPECT_EQ(names.candidates, (std::vector<std::string>{"Mac Family", "Symbol Family", "WX"}));
    EXPECT_FALSE(names.style) << "no OS/2 table";
}

TEST(SfntTables, AtMostTwentyCandidatesAndNoEmptyOnes) {
    std::vector<Name> many{{1, 0, 1, ""}, {3, 0, 1, std::string(4, '\0')}};
    for (int i = 0; i < 25; ++i)
        many.push_back({1, 0, 1, "F" + std::to_string(i)});
    const FontFileNames names = Read(Sfnt({{"name", NameTable(many)}}));
    ASSERT_EQ(names.candidates.size(), kMaxFamilyCandidates);
    EXPECT_EQ(names.candidates.front(), "F0");
    EXPECT_EQ(names.candidates.back(), "F19");
}

TEST(SfntTables, StyleComesFromWeightClassAndThreeSelectionBits) {
    struct Case {
        unsigned weight, selection;
        FaceStyle style;
    };
    const Case cases[] = {
        {700, 0x0000, {700, false, false, false}},  {100, 0x0001, {100, true, false, false}},
        {900, 0x0002, {900, false, true, false}},   {400, 0x0010, {400, false, false, true}},
        {350, 0x0013, {400, true, true, true}},     {0, 0x0020, {400, false, false, false}},
        {1000, 0x0040, {400, false, false, false}}, {65535, 0xFFEC, {400, false, false, false}},
    };
    for (const Case& c : cases) {
        const FontFileNames names =
            Read(Sfnt({{"OS/2", Os2(c.weight, c.selection)}, {"name", NameTable({})}}));
        ASSERT_TRUE(names.style) << c.weight;
        EXPECT_EQ(*names.style, c.style) << c.weight << " " << c.selection;
    }
    // An OS/2 table too short to hold fsSelection states no style.
    EXPECT_FALSE(Read(Sfnt({{"OS/2", Os2(700, 1, 63)}})).style);
    EXPECT_TRUE(Read(Sfnt({{"OS/2", Os2(700, 1, 64)}})).style);
}

TEST(SfntTables, OnlyTheFirstFortyDirectoryEntriesAreExamined) {
    std::vector<Table> tables;
    for (int i = 0; i < 39; ++i)
        tables.push_back({"x" + std::string(i < 10 ? "00" : "0") + std::to_string(i), {0}});
    tables.push_back({"name", NameTable({{1, 0, 1, "Fortieth"}})});
    EXPECT_EQ(Read(Sfnt(tables)).candidates, std::vector<std::string>{"Fortieth"});
    tables.insert(tables.begin(), {"pad ", {0}});  // now the name table is the 41st entry
    EXPECT_TRUE(Read(Sfnt(tables)).candidates.empty());
    EXPECT_EQ(ReadTableDirectory(Sfnt(tables), 0).size(), kMaxDirectoryEntries);
}

TEST(SfntTables, TruncatedFilesGiveWhatLiesInside) {
    const ByteVector whole =
        Sfnt({{"OS/2", Os2(700, 1)}, {"name", NameTable({{1, 0, 1, "Kept"}, {1, 0, 1, "Cut"}})}});
    EXPECT_EQ(Read(whole).candidates, (std::vector<std::string>{"Kept", "Cut"}));
    // Every prefix of the file reads without touching bytes past its end.
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const ByteVector prefix(whole.begin(), whole.begin() + static_cast<long>(n));
        const FontFileNames names = Read(prefix);
        EXPECT_TRUE(names.candidates.empty()) << n << ": the name table lies past the end";
        if (n < whole.size() - NameTable({{1, 0, 1, "Kept"}, {1, 0, 1, "Cut"}}).size()) {
            EXPECT_FALSE(names.style) << n;
        }
    }
    // A name record whose text runs past its table is skipped; the others stay.
    ByteVector table = NameTable({{1, 0, 1, "Good"}, {1, 0, 1, "Long"}});
    table[6 + 12 + 8] = 0x7F;  // second record's length
    EXPECT_EQ(FamilyCandidates(table), std::vector<std::string>{"Good"});
    // A record count larger than the records there.
    ByteVector counted = NameTable({{1, 0, 1, "Only"}});
    counted[3] = 200;
    EXPECT_TRUE(FamilyCandidates(counted).empty() ||
                FamilyCandidates(counted) == std::vector<std::string>{"Only"});
}

TEST(SfntTables, DirectoryEntriesPointingOutsideAreDropped) {
    ByteVector file = Sfnt({{"name", NameTable({{1, 0, 1, "Fam"}})}});
    // Offset near 4 GiB: offset + length would wrap in 32 bits.
    file[12 + 8] = 0xFF;
    file[12 + 9] = 0xFF;
    file[12 + 10] = 0xFF;
    file[12 + 11] = 0xF0;
    EXPECT_TRUE(ReadTableDirectory(file, 0).empty());
    EXPECT_TRUE(Read(file).candidates.empty());
}

TEST(SfntTables, KindsOfFiles) {
    EXPECT_EQ(ClassifySfnt(Sfnt({})), SfntKind::TrueType);
    EXPECT_EQ(ClassifySfnt(Sfnt({}, 0x74727565)), SfntKind::TrueType);  // "true"
    EXPECT_EQ(ClassifySfnt(Sfnt({}, 0x4F54544F)), SfntKind::Cff);       // "OTTO"
    EXPECT_EQ(ClassifySfnt(Sfnt({}, 0x74746366)), SfntKind::Collection);
    const ByteVector text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(ClassifySfnt(text), SfntKind::NotSfnt);
    EXPECT_EQ(ClassifySfnt(ByteVector{0, 1, 0}), SfntKind::NotSfnt);
    EXPECT_FALSE(FirstFaceOffset(text));
}

TEST(SfntTables, ACollectionIsReadThroughItsFirstFace) {
    ByteVector file;
    Put32(file, 0x74746366);  // "ttcf"
    Put32(file, 0x00010000);
    Put32(file, 2);
    Put32(file, 20);  // first face
    Put32(file, 0);   // second face (never read)
    const ByteVector face =
        Sfnt({{"name", NameTable({{1, 0, 1, "Collected"}})}, {"OS/2", Os2(300, 1)}}, 0x00010000,
             file.size());
    file.insert(file.end(), face.begin(), face.end());
    const FontFileNames names = Read(file);
    EXPECT_EQ(names.candidates, std::vector<std::string>{"Collected"});
    ASSERT_TRUE(names.style);
    EXPECT_EQ(names.style->weight, 300);
    EXPECT_TRUE(names.style->italic);

    ByteVector noFaces(file.begin(), file.begin() + 12);
    noFaces[11] = 0;  // zero faces
    EXPECT_FALSE(FirstFaceOffset(noFaces));
    ByteVector pastEnd = file;
    pastEnd[12] = 0x7F;  // first face far past the end
    EXPECT_TRUE(Read(pastEnd).candidates.empty());
}

TEST(SfntTables, DecodedNamesReadUtf16) {
    const ByteVector table = NameTable({{3, 1, 4, Utf16("Full") + std::string("\x30\xB4", 2)},
                                        {1, 0, 4, "Mac Full"},
                                        {3, 1, 4, std::string("\xD8\x00", 2)},
                                        {3, 1, 1, Utf16("Family")}});
    EXPECT_EQ(DecodedNames(table, 4),
              (std::vector<std::string>{"Full\xE3\x82\xB4", "Mac Full", "\xEF\xBF\xBD"}));
    EXPECT_EQ(DecodedNames(table, 1), std::vector<std::string>{"Family"});
}

}  // namespace
}  // namespace tarvo::fonts
