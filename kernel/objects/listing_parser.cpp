#include "objects/listing_parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

#include "port/bounded_copy.h"

namespace tarvo {
namespace {

constexpr char kCr = '\r';
constexpr char kDc1 = 0x11;
constexpr char kDc2 = 0x12;

enum class LineResult { Good, Cut, Bad };

using Fields = std::array<std::string_view, 4>;

// The first four comma-separated fields; nullopt when the line has fewer than three commas.
std::optional<Fields> FirstFourFields(std::string_view line) {
    Fields fields;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    fields[3] = line.substr(0, line.find(','));
    return fields;
}

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// A field of digits as a number of type T; empty gives 0. Nullopt for anything else, and for a
// value T cannot hold: a cut number would name another object.
template <class T>
std::optional<T> Number(std::string_view text) {
    if (!AllDigits(text))
        return std::nullopt;
    T value = 0;
    if (text.empty())
        return value;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A field that must hold at least one digit.
template <class T>
std::optional<T> RequiredNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    return Number<T>(text);
}

// Copies a description of bytes from 32 up into a field; longer text is cut (and reported).
LineResult CopyDescription(std::string_view text, char (&out)[PCU_DESCRIPTION_SIZE]) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            return LineResult::Bad;
    }
    CopyBounded(text, out, sizeof out);
    return text.size() < sizeof out ? LineResult::Good : LineResult::Cut;
}

// A type field: all digits, at least one. Values too large for any type are simply "other".
std::optional<std::uint64_t> FontTypeCode(std::string_view text) {
    if (text.empty() || !AllDigits(text))
        return std::nullopt;
    const std::size_t first = text.find_first_not_of('0');
    if (first == std::string_view::npos)
        return 0;
    if (text.size() - first > 9)
        return std::numeric_limits<std::uint64_t>::max();
    return Number<std::uint64_t>(text.substr(first));
}

LineResult ParseFontLine(std::string_view line, FontInfo& font) {
    const auto fields = FirstFourFields(line);
    if (!fields)
        return LineResult::Bad;
    const auto id = Number<std::uint16_t>((*fields)[0]);
    const auto type = FontTypeCode((*fields)[2]);
    const auto size = RequiredNumber<std::uint32_t>((*fields)[3]);
    if (!id || !type || !size)
        return LineResult::Bad;
    const LineResult text = CopyDescription((*fields)[1], font.description);
    if (text == LineResult::Bad)
        return text;
    font.id = *id;
    switch (*type) {
        case 300:
            font.fontType = PCU_FONT_TYPE_SPEEDO;
            font.kind = PCU_FONT_KIND_OUTLINE;
            break;
        case 301:
        case 400:
            font.fontType = PCU_FONT_TYPE_TRUETYPE;
            font.kind = PCU_FONT_KIND_OUTLINE;
            break;
        default:
            font.fontType = PCU_FONT_TYPE_BITMAP;
            font.kind = PCU_FONT_KIND_BITMAP;
            break;
    }
    font.size = *size;
    font.status = *size != 0 ? PCU_STATUS_STORED : PCU_STATUS_EMPTY;
    font.pending = PCU_PENDING_NONE;
    return text;
}

// Graphics and formats share one line shape: number, description, ignored, size.
template <class Record>
LineResult ParseNamedObjectLine(std::string_view line, Record& record) {
    const auto fields = FirstFourFields(line);
    if (!fields)
        return LineResult::Bad;
    const auto id = Number<std::uint16_t>((*fields)[0]);
    const auto size = Number<std::uint32_t>((*fields)[3]);
    if (!id || !size)
        return LineResult::Bad;
    const LineResult text = CopyDescription((*fields)[1], record.description);
    if (text == LineResult::Bad)
        return text;
    record.id = *id;
    record.size = *size;
    record.status = PCU_STATUS_STORED;
    record.pending = PCU_PENDING_NONE;
    return text;
}

LineResult ParseGraphicLine(std::string_view line, GraphicInfo& graphic) {
    return ParseNamedObjectLine(line, graphic);
}

LineResult ParseFormatLine(std::string_view line, FormatInfo& format) {
    return ParseNamedObjectLine(line, format);
}

LineResult ParsePageLine(std::string_view line, PageInfo& page) {
    const auto fields = FirstFourFields(line);
    if (!fields)
        return LineResult::Bad;
    const auto id = Number<std::uint16_t>((*fields)[0]);
    if (!id)
        return LineResult::Bad;
    page.id = *id;
    page.status = PCU_STATUS_STORED;
    page.pending = PCU_PENDING_NONE;
    return LineResult::Good;
}

template <class Record>
Listing<Record> ParseListing(std::string_view reply, std::size_t lineStep,
                             LineResult (*parseLine)(std::string_view, Record&)) {
    Listing<Record> listing;
    for (const std::string_view line : SplitListing(reply, lineStep)) {
        Record record{};  // fields a line does not set start at zero, texts empty
        const LineResult result = parseLine(line, record);
        if (result != LineResult::Good)
            ++listing.badLines;
        if (result != LineResult::Bad)
            listing.entries.push_back(record);
    }
    return listing;
}

}  // namespace

std::size_t ListingLineStep(bool preamble, bool postamble) {
    return 2 + (preamble ? 1 : 0) + (postamble ? 1 : 0);
}

std::vector<std::string_view> SplitListing(std::string_view reply, std::size_t lineStep) {
    std::vector<std::string_view> lines;
    if (!reply.empty() && (reply.front() == kDc1 || reply.front() == kDc2))
        reply.remove_prefix(1);
    // A step of 0 would find the same CR forever.
    lineStep = std::max<std::size_t>(lineStep, 1);
    std::size_t start = 0;
    while (start < reply.size()) {
        const std::size_t cr = reply.find(kCr, start);
        if (cr == std::string_view::npos)
            break;
        lines.push_back(reply.substr(start, cr - start));
        start = cr + lineStep;
    }
    return lines;
}

Listing<FontInfo> ParseFontListing(std::string_view reply, std::size_t lineStep) {
    return ParseListing<FontInfo>(reply, lineStep, ParseFontLine);
}

Listing<GraphicInfo> ParseGraphicListing(std::string_view reply, std::size_t lineStep) {
    return ParseListing<GraphicInfo>(reply, lineStep, ParseGraphicLine);
}

Listing<FormatInfo> ParseFormatListing(std::string_view reply, std::size_t lineStep) {
    return ParseListing<FormatInfo>(reply, lineStep, ParseFormatLine);
}

Listing<PageInfo> ParsePageListing(std::string_view reply, std::size_t lineStep) {
    return ParseListing<PageInfo>(reply, lineStep, ParsePageLine);
}

}  // namespace tarvo
