// Reading the few tables of a TrueType font file that name and describe its faces: the table
// directory, the family names of the `name` table and the style of the `OS/2` table. Pure
// functions over the file's bytes: every offset is checked against the bytes given, so a
// truncated or hostile file yields fewer names, never a read outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::fonts {

using Bytes = std::span<const std::uint8_t>;

// Directory entries examined per face, and family-name candidates kept per file.
inline constexpr std::size_t kMaxDirectoryEntries = 40;
inline constexpr std::size_t kMaxFamilyCandidates = 20;

// The four-byte tag "name", "OS/2", "glyf" as a number, first character most significant.
constexpr std::uint32_t Tag(const char (&text)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[3]));
}

// What the first four bytes of a file say it is.
enum class SfntKind {
    NotSfnt,     // no font file this reader knows
    TrueType,    // 0x00010000 or "true": glyph outlines in a glyf table
    Cff,         // "OTTO": PostScript outlines, not TrueType
    Collection,  // "ttcf": several faces sharing one file
};
SfntKind ClassifySfnt(Bytes file);

// Offset of the first face's offset table: 0 for a single font, the collection's first face
// offset for a collection; none when the file is too short or not an sfnt.
std::optional<std::size_t> FirstFaceOffset(Bytes file);

struct TableRecord {
    std::uint32_t tag = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The table directory of the face whose offset table starts at `faceOffset`: the count is the
// big-endian word at faceOffset + 4, at most kMaxDirectoryEntries entries of 16 bytes are
// examined, and entries whose table does not lie wholly inside `file` are dropped.
std::vector<TableRecord> ReadTableDirectory(Bytes file, std::size_t faceOffset);

// The bytes of the first table tagged `tag` of `directory`; none when it is not listed.
std::optional<Bytes> FindTable(Bytes file, const std::vector<TableRecord>& directory,
                               std::uint32_t tag);

// Weight class, with any value other than 100, 200, ..., 900 taken as 400.
int NormalizedWeight(int weightClass);

// The style an OS/2 table states.
struct FaceStyle {
    int weight = 400;
    bool italic = false;     // fsSelection bit 0
    bool underline = false;  // bit 1
    bool strikeOut = false;  // bit 4

    bool operator==(const FaceStyle&) const = default;
};

// The style of an OS/2 table; none when the table is too short to hold fsSelection.
std::optional<FaceStyle> ReadStyle(Bytes os2Table);

// Family-name candidates of a name table, in record order, at most kMaxFamilyCandidates: every
// record with name ID 1, platform 1 records as they are, platform 3 records with their zero
// bytes removed except those with encoding 1, which are skipped. Other platforms, empty names
// and records that point outside the table are skipped.
std::vector<std::string> FamilyCandidates(Bytes nameTable);

// Every name with `nameId` readable as text: platform 1 records as they are, platform 0 and 3
// records decoded from UTF-16 big-endian into UTF-8 (an unpaired surrogate becomes U+FFFD).
// Empty names and records outside the table are skipped; at most kMaxFamilyCandidates.
std::vector<std::string> DecodedNames(Bytes nameTable, std::uint16_t nameId);

// What a font file says about the face it holds (the first face of a collection).
struct FontFileNames {
    std::vector<std::string> candidates;  // FamilyCandidates of the name table
    std::optional<FaceStyle> style;       // none without a readable OS/2 table
};
FontFileNames ReadFontFileNames(Bytes file);

}  // namespace tarvo::fonts
