#include "fonts/ibf_layout.h"

#include <cstdio>

#include "tarvo/downloads.h"

namespace tarvo::fonts {
namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr std::size_t kOffsetsPerLine = 25;
constexpr std::size_t kIndexValuesPerLine = 32;
constexpr std::size_t kBitmapBytesPerLine = 100;
constexpr long kLeadTableStart = 28;    // + S
constexpr long kTrailTableStart = 540;  // + S
constexpr long kRecordsStart = 1052;    // + S
constexpr long kImageBase = 1042;       // + S: the image counts from the font header

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kDigits[value >> shift & 0x0F];
}

void AppendLine(std::string& out, char tag, const std::string& data) {
    out += kStx;
    out += tag;
    out += data;
    out += kEtx;
    out += '\n';
}

std::string Words(const std::uint16_t* values, std::size_t count) {
    std::string data;
    for (std::size_t i = 0; i < count; ++i)
        AppendHex(data, values[i], 4);
    return data;
}

void AppendBitmap(std::string& out, std::vector<std::uint8_t> bytes) {
    if (bytes.size() % 2 != 0)
        bytes.push_back(0);
    for (std::size_t at = 0; at < bytes.size(); at += kBitmapBytesPerLine) {
        std::string data;
        for (std::size_t i = at; i < bytes.size() && i < at + kBitmapBytesPerLine; ++i)
            AppendHex(data, bytes[i], 2);
        AppendLine(out, '@', data);
    }
}

bool ReadRanges(const unsigned char* first, const unsigned char* last, signed char count,
                std::vector<ByteRange>* out) {
    if (count < 1 || count > kMaxDbcsRanges)
        return false;
    for (int i = 0; i < count; ++i) {
        const ByteRange r{first[i], last[i]};
        if (r.first > r.last || (!out->empty() && r.first <= out->back().last))
            return false;
        out->push_back(r);
    }
    return true;
}

std::size_t ByteCount(const std::vector<ByteRange>& ranges) {
    std::size_t n = 0;
    for (const ByteRange& r : ranges)
        n += static_cast<std::size_t>(r.last - r.first + 1);
    return n;
}

std::size_t Span(const std::vector<ByteRange>& trail) {
    return static_cast<std::size_t>(trail.back().last - trail.front().first + 1);
}

}  // namespace

bool DbcsRangesPresent(const unsigned char (&raw)[PCU_DBCS_RANGES_SIZE]) {
    return raw[kDbcsFlag] != 0;
}

int ParseDbcsRanges(const unsigned char (&raw)[PCU_DBCS_RANGES_SIZE], DbcsRanges* out) {
    DbcsRanges ranges;
    if (!DbcsRangesPresent(raw) ||
        !ReadRanges(raw + kDbcsLeadFirst, raw + kDbcsLeadLast,
                    static_cast<signed char>(raw[kDbcsLeadCount]), &ranges.lead) ||
        !ReadRanges(raw + kDbcsTrailFirst, raw + kDbcsTrailLast,
                    static_cast<signed char>(raw[kDbcsTrailCount]), &ranges.trail) ||
        ranges.lead.front().first == 0) {
        return PCU_ERR_DBCS_RANGES;
    }
    if (256 + ByteCount(ranges.lead) * Span(ranges.trail) + 1 > kMaxIbfSlots)
        return PCU_ERR_DBCS_RANGES;
    *out = std::move(ranges);
    return 0;
}

IbfIndex::IbfIndex(const DbcsRanges& ranges) {
    lead_.fill(0xFFFF);
    trail_.fill(0xFFFF);
    const std::size_t span = Span(ranges.trail);
    const unsigned spanStart = ranges.trail.front().first;
    // Bytes between two trail ranges keep their distance too: no code uses them.
    for (unsigned b = spanStart; b <= ranges.trail.back().last; ++b)
        trail_[b] = static_cast<std::uint16_t>(b - spanStart);
    std::size_t position = 0;
    for (const ByteRange& r : ranges.lead) {
        for (unsigned b = r.first; b <= r.last; ++b)
            lead_[b] = static_cast<std::uint16_t>(256 + position++ * span);
    }
    slots_ = 256 + position * span + 1;
    for (const ByteRange& l : ranges.lead) {
        for (unsigned lead = l.first; lead <= l.last; ++lead) {
            for (const ByteRange& t : ranges.trail) {
                for (unsigned trail = t.first; trail <= t.last; ++trail)
                    codes_.push_back(lead << 8 | trail);
            }
        }
    }
}

std::optional<std::size_t> IbfIndex::slotOf(unsigned code) const {
    if (code < 256)
        return code;
    if (code > 0xFFFF)
        return std::nullopt;
    const std::uint16_t lead = lead_[code >> 8];
    const std::uint16_t trail = trail_[code & 0xFF];
    if (lead == 0xFFFF || trail == 0xFFFF)
        return std::nullopt;
    return std::size_t{lead} + trail;
}

std::vector<unsigned> IbfIndex::doubleByteCodes() const {
    return codes_;
}

IbfRecord BlankRecord(const TextMetrics& metrics) {
    IbfRecord record;
    record.values = {0, 0, static_cast<std::int16_t>(metrics.avgWidth),
                     static_cast<std::int16_t>(metrics.ascent), 0};
    const int bytes = (metrics.ascent + 7) / 8 * metrics.avgWidth;
    record.bitmap.assign(static_cast<std::size_t>(std::max(bytes, 0)), 0);
    return record;
}

IbfRecord GlyphRecord(const Glyph& glyph, const TextMetrics& metrics) {
    const int w = glyph.bitmap.empty() ? 0 : glyph.bitmap.width;
    const int h = glyph.bitmap.empty() ? 0 : glyph.bitmap.rows;
    IbfRecord record;
    record.values = {static_cast<std::int16_t>(glyph.a),
                     static_cast<std::int16_t>(metrics.descent + glyph.top - h),
                     static_cast<std::int16_t>(w), static_cast<std::int16_t>(h),
                     static_cast<std::int16_t>(glyph.c)};
    const int stride = (h + 31) / 32 * 4;
    record.bitmap.assign(static_cast<std::size_t>(w) * stride, 0);
    for (int x = 0; x < w; ++x) {
        for (int i = 0; i < h; ++i) {
            if (glyph.bitmap.pixel(x, h - 1 - i))
                record.bitmap[static_cast<std::size_t>(x * stride + i / 8)] |=
                    static_cast<std::uint8_t>(1 << (i % 8));
        }
    }
    return record;
}

IbfBuilder::IbfBuilder(const IbfIndex& index, const TextMetrics& metrics)
    : index_(index), maxWidth_(metrics.maxWidth), cellHeight_(metrics.height) {
    const long start = kRecordsStart + 4 * static_cast<long>(index.slots());
    IbfRecord blank = BlankRecord(metrics);
    recordBytes_ = static_cast<long>(blank.size());
    records_.push_back(std::move(blank));
    // Every slot without a character of its own shows the blank record.
    slotOffsets_.assign(index.slots(), static_cast<std::uint32_t>(start));
}

bool IbfBuilder::add(unsigned code, IbfRecord record) {
    const std::optional<std::size_t> slot = index_.slotOf(code);
    if (!slot || *slot >= slotOffsets_.size())
        return false;
    const long offset = kRecordsStart + 4 * static_cast<long>(index_.slots()) + recordBytes_;
    if (imageSize() + static_cast<long>(record.size()) > kMaxIbfHeaderValue)
        return false;
    slotOffsets_[*slot] = static_cast<std::uint32_t>(offset);
    recordBytes_ += static_cast<long>(record.size());
    records_.push_back(std::move(record));
    return true;
}

long IbfBuilder::imageSize() const {
    return kImageBase + 4 * static_cast<long>(index_.slots()) + recordBytes_;
}

std::string IbfBuilder::text() const {
    const long s = 4 * static_cast<long>(index_.slots());
    std::string out;
    char header[64];
    std::snprintf(header, sizeof header, "%8ld,%8ld,%8ld;", imageSize(), kLeadTableStart + s,
                  kTrailTableStart + s);
    AppendLine(out, '&', header);
    const std::uint16_t fontHeader[7] = {
        0, static_cast<std::uint16_t>(maxWidth_), 0, static_cast<std::uint16_t>(cellHeight_), 1, 0,
        0};
    AppendLine(out, '$', Words(fontHeader, 7));
    AppendLine(out, '@', "00000000");
    for (std::size_t at = 0; at < slotOffsets_.size(); at += kOffsetsPerLine) {
        std::string data;
        for (std::size_t i = at; i < slotOffsets_.size() && i < at + kOffsetsPerLine; ++i)
            AppendHex(data, slotOffsets_[i], 8);
        AppendLine(out, '%', data);
    }
    for (const auto* table : {&index_.leadTable(), &index_.trailTable()}) {
        for (std::size_t at = 0; at < table->size(); at += kIndexValuesPerLine)
            AppendLine(out, '$', Words(table->data() + at, kIndexValuesPerLine));
    }
    for (const IbfRecord& record : records_) {
        std::uint16_t values[5];
        for (std::size_t i = 0; i < 5; ++i)
            values[i] = static_cast<std::uint16_t>(record.values[i]);
        AppendLine(out, '$', Words(values, 5));
        const std::uint16_t twelve = 12;
        AppendLine(out, '$', Words(&twelve, 1));
        AppendBitmap(out, record.bitmap);
    }
    return out;
}

}  // namespace tarvo::fonts
