// The .ibf font image of a double-byte font: text lines of <STX>, a tag, hexadecimal data and
// <ETX>, holding a header, an offset per character slot, the lead- and trail-byte index tables
// and one record per character. Built in memory from rendered characters; nothing here touches
// FreeType or files, so the layout can be checked byte for byte.
//
// Offsets count binary bytes (two hexadecimal digits each) from ten bytes before the font
// header: the offset table starts at 28, the lead table at 28 + S, the trail table at 540 + S
// and the records at 1052 + S, with S = 4 * slots.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fonts/rendered_font.h"
#include "tarvo/base/dbcs_ranges.h"
#include "tarvo/directory.h"

namespace tarvo::fonts {

inline constexpr std::size_t kMaxIbfSlots = 65534;
inline constexpr long kMaxIbfHeaderValue = 99999999;  // what "%8ld" holds

struct ByteRange {
    std::uint8_t first = 0;
    std::uint8_t last = 0;
};

struct DbcsRanges {
    std::vector<ByteRange> lead;
    std::vector<ByteRange> trail;
};

// True when the entry's ranges are present (the flag byte is set).
bool DbcsRangesPresent(const unsigned char (&raw)[PCU_DBCS_RANGES_SIZE]);

// Reads the ranges of a FontInfo.dbcsRanges. Returns 0, or PCU_ERR_DBCS_RANGES when they are not
// present or not usable: 1 to 6 ranges of each kind, each with first <= last, ascending and
// disjoint, lead bytes above 0, and at most kMaxIbfSlots slots.
int ParseDbcsRanges(const unsigned char (&raw)[PCU_DBCS_RANGES_SIZE], DbcsRanges* out);

// The slots of the image: codes 0..255 take the slot of their value; a double-byte code the
// slot lead[lead byte] + trail[trail byte]. The trail span runs from the first trail range's
// first byte to the last range's last; each of its bytes gets its distance from the span's
// start. Lead bytes get 256 + (their position among all lead bytes) * span. Bytes no range
// sets are 0xFFFF in both tables.
class IbfIndex {
  public:
    explicit IbfIndex(const DbcsRanges& ranges);

    // 256 + lead bytes * span + 1.
    std::size_t slots() const { return slots_; }
    const std::array<std::uint16_t, 256>& leadTable() const { return lead_; }
    const std::array<std::uint16_t, 256>& trailTable() const { return trail_; }

    // The slot of a code; none for a double-byte code outside the tables.
    std::optional<std::size_t> slotOf(unsigned code) const;

    // Every double-byte code of the ranges: each lead byte of each lead range, with each trail
    // byte of each trail range, in that order.
    std::vector<unsigned> doubleByteCodes() const;

  private:
    std::array<std::uint16_t, 256> lead_{};
    std::array<std::uint16_t, 256> trail_{};
    std::size_t slots_ = 0;
    std::vector<unsigned> codes_;
};

// One character record: five 16-bit values (A width, offset of the glyph's lower edge above the
// cell's bottom, rows, columns, C width as the printer's quarter-turned glyph has them) and the
// bitmap.
struct IbfRecord {
    std::array<std::int16_t, 5> values{};
    std::vector<std::uint8_t> bitmap;

    // Bytes the record takes in the image: the bitmap (made even) and 12.
    std::size_t size() const { return bitmap.size() + bitmap.size() % 2 + 12; }
};

// The record every slot without a character of its own points at: values 0, 0, average width,
// ascent, 0 and ceiling(ascent / 8) * average width zero bytes.
IbfRecord BlankRecord(const TextMetrics& metrics);

// A rendered glyph turned a quarter: with W columns and H rows, output row x (0..W-1) is
// ((H + 31) / 32) * 4 bytes, whose byte b bit k (least significant first) is the pixel at column
// x, row H - 1 - (8b + k). Values: A, descent + top - H, W, H, C.
IbfRecord GlyphRecord(const Glyph& glyph, const TextMetrics& metrics);

// Collects the records and writes the image's text.
class IbfBuilder {
  public:
    IbfBuilder(const IbfIndex& index, const TextMetrics& metrics);

    // Adds the record of `code` (after the records of lower codes). Returns false, adding
    // nothing, when the code has no slot or the image would outgrow the header's numbers.
    bool add(unsigned code, IbfRecord record);

    // The image size the header states: 1042 + S plus the sizes of all records.
    long imageSize() const;

    // The whole file.
    std::string text() const;

  private:
    const IbfIndex& index_;
    int maxWidth_;
    int cellHeight_;
    std::vector<IbfRecord> records_;
    std::vector<std::uint32_t> slotOffsets_;
    long recordBytes_ = 0;
};

}  // namespace tarvo::fonts
