#include "fonts/sfnt_tables.h"

#include <algorithm>

namespace tarvo::fonts {
namespace {

std::optional<std::uint16_t> Word(Bytes data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(data[offset] << 8 | data[offset + 1]);
}

std::optional<std::uint32_t> Long(Bytes data, std::size_t offset) {
    const auto high = Word(data, offset);
    const auto low = Word(data, offset + 2);
    if (!high || !low)
        return std::nullopt;
    return static_cast<std::uint32_t>(*high) << 16 | *low;
}

// The bytes [offset, offset + length) of `data`, or none when they are not all there.
std::optional<Bytes> Slice(Bytes data, std::size_t offset, std::size_t length) {
    if (offset > data.size() || data.size() - offset < length)
        return std::nullopt;
    return data.subspan(offset, length);
}

struct NameRecord {
    std::uint16_t platform, encoding, nameId;
    Bytes text;
};

// The name records of a name table whose text lies inside it.
std::vector<NameRecord> NameRecords(Bytes table) {
    std::vector<NameRecord> records;
    const auto count = Word(table, 2);
    const auto storage = Word(table, 4);
    if (!count || !storage)
        return records;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = 6 + 12 * i;
        const auto platform = Word(table, at);
        const auto encoding = Word(table, at + 2);
        const auto nameId = Word(table, at + 6);
        const auto length = Word(table, at + 8);
        const auto offset = Word(table, at + 10);
        if (!offset)
            break;  // the record array itself is cut short
        const auto text = Slice(table, std::size_t{*storage} + *offset, *length);
        if (text)
            records.push_back({*platform, *encoding, *nameId, *text});
    }
    return records;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf16BeToUtf8(Bytes text) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        char32_t c = static_cast<char32_t>(text[i] << 8 | text[i + 1]);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 2] << 8 | text[i + 3]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string WithoutZeroBytes(Bytes text) {
    std::string out;
    for (const std::uint8_t b : text) {
        if (b != 0)
            out += static_cast<char>(b);
    }
    return out;
}

}  // namespace

SfntKind ClassifySfnt(Bytes file) {
    const auto tag = Long(file, 0);
    if (!tag)
        return SfntKind::NotSfnt;
    if (*tag == 0x00010000u || *tag == Tag("true"))
        return SfntKind::TrueType;
    if (*tag == Tag("OTTO"))
        return SfntKind::Cff;
    if (*tag == Tag("ttcf"))
        return SfntKind::Collection;
    return SfntKind::NotSfnt;
}

std::optional<std::size_t> FirstFaceOffset(Bytes file) {
    switch (ClassifySfnt(file)) {
        case SfntKind::TrueType:
        case SfntKind::Cff:
            return 0;
        case SfntKind::Collection: {
            const auto count = Long(file, 8);
            const auto first = Long(file, 12);
            if (!count || *count == 0 || !first)
                return std::nullopt;
            return *first;
        }
        case SfntKind::NotSfnt:
            break;
    }
    return std::nullopt;
}

std::vector<TableRecord> ReadTableDirectory(Bytes file, std::size_t faceOffset) {
    std::vector<TableRecord> directory;
    if (faceOffset > file.size())
        return directory;
    const auto count = Word(file, faceOffset + 4);
    if (!count)
        return directory;
    const std::size_t examined = std::min<std::size_t>(*count, kMaxDirectoryEntries);
    for (std::size_t i = 0; i < examined; ++i) {
        const std::size_t at = faceOffset + 12 + 16 * i;
        const auto tag = Long(file, at);
        const auto offset = Long(file, at + 8);
        const auto length = Long(file, at + 12);
        if (!length)
            break;
        if (Slice(file, *offset, *length))
            directory.push_back({*tag, *offset, *length});
    }
    return directory;
}

std::optional<Bytes> FindTable(Bytes file, const std::vector<TableRecord>& directory,
                               std::uint32_t tag) {
    for (const TableRecord& r : directory) {
        if (r.tag == tag)
            return Slice(file, r.offset, r.length);
    }
    return std::nullopt;
}

int NormalizedWeight(int weightClass) {
    if (weightClass >= 100 && weightClass <= 900 && weightClass % 100 == 0)
        return weightClass;
    return 400;
}

std::optional<FaceStyle> ReadStyle(Bytes os2Table) {
    const auto weight = Word(os2Table, 4);
    const auto selection = Word(os2Table, 62);
    if (!weight || !selection)
        return std::nullopt;
    FaceStyle style;
    style.weight = NormalizedWeight(*weight);
    style.italic = (*selection & 0x01) != 0;
    style.underline = (*selection & 0x02) != 0;
    style.strikeOut = (*selection & 0x10) != 0;
    return style;
}

std::vector<std::string> FamilyCandidates(Bytes nameTable) {
    std::vector<std::string> names;
    for (const NameRecord& r : NameRecords(nameTable)) {
        if (names.size() == kMaxFamilyCandidates)
            break;
        if (r.nameId != 1)
            continue;
        std::string name;
        if (r.platform == 1) {
            name.assign(r.text.begin(), r.text.end());
        } else if (r.platform == 3 && r.encoding != 1) {
            name = WithoutZeroBytes(r.text);
        }
        // A name with a zero byte inside could never be compared as text.
        name = name.substr(0, name.find('\0'));
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> DecodedNames(Bytes nameTable, std::uint16_t nameId) {
    std::vector<std::string> names;
    for (const NameRecord& r : NameRecords(nameTable)) {
        if (names.size() == kMaxFamilyCandidates)
            break;
        if (r.nameId != nameId)
            continue;
        std::string name;
        if (r.platform == 1) {
            name.assign(r.text.begin(), r.text.end());
        } else if (r.platform == 0 || r.platform == 3) {
            name = Utf16BeToUtf8(r.text);
        }
        name = name.substr(0, name.find('\0'));
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

FontFileNames ReadFontFileNames(Bytes file) {
    FontFileNames names;
    const auto face = FirstFaceOffset(file);
    if (!face)
        return names;
    const std::vector<TableRecord> directory = ReadTableDirectory(file, *face);
    if (const auto name = FindTable(file, directory, Tag("name")))
        names.candidates = FamilyCandidates(*name);
    if (const auto os2 = FindTable(file, directory, Tag("OS/2")))
        names.style = ReadStyle(*os2);
    return names;
}

}  // namespace tarvo::fonts
