#include "fonts/bitmap_font.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <new>

#include "config/command_writer.h"
#include "fonts/font_resolve.h"
#include "objects/progress_window.h"
#include "objects/transfers.h"
#include "platform/clock.h"
#include "tarvo/downloads.h"

namespace tarvo::fonts {
namespace {

constexpr int kRowsPerCharacter = 6;

// One dot column over the whole cell, six rows to a character. A new character begins after
// every sixth row, the last one included, so a column always has cell / 6 + 1 characters.
// Only the glyph's own rows are looked at; the rest of the cell stays blank.
void AppendColumn(std::string& out, int x, const Glyph& glyph, const TextMetrics& metrics,
                  std::string& column) {
    column.assign(static_cast<std::size_t>(metrics.height / kRowsPerCharacter + 1), '@');
    const GlyphBitmap& bitmap = glyph.bitmap;
    if (!bitmap.empty() && x < bitmap.width) {
        const int blankAbove = metrics.ascent - glyph.top;
        const int first = std::max(0, -blankAbove);
        const int last = std::min(bitmap.rows, metrics.height - blankAbove);
        const std::uint8_t* byte = bitmap.bits.data() + x / 8;
        const auto mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
        for (int y = first; y < last; ++y) {
            if ((byte[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.pitch)] &
                 mask) != 0) {
                const int row = y + blankAbove;
                column[static_cast<std::size_t>(row / kRowsPerCharacter)] |=
                    static_cast<char>(1 << (row % kRowsPerCharacter));
            }
        }
    }
    std::array<char, 16> number{};
    const auto written = std::to_chars(number.data(), number.data() + number.size(), x);
    out += 'u';
    out.append(number.data(), written.ptr);
    out += ',';
    out += column;
    out += ';';
}

std::string EntryText(const char* field, std::size_t size) {
    return std::string(field, ::strnlen(field, size));
}

// The character's text goes out in one message when it fits the protocol's limit; a longer one
// (and every text bound for a file) is split into its commands.
int SendCharacter(Connection* conn, std::string* file, const std::string& text) {
    if (conn == nullptr)
        return SendCommandList(conn, file, true, nullptr, text);
    const std::size_t limit = conn->table == ProtocolTable::XonXoff ? 4096 : 256;
    if (text.size() >= limit)
        return SendCommandList(conn, file, true, nullptr, text);
    return SendCommand(conn, file, kCommandSingle, text);
}

}  // namespace

std::string BitmapFontHeader(const FontInfo& entry, const TextMetrics& metrics) {
    return "T" + std::to_string(entry.id) + "," +
           EntryText(entry.newDescription, sizeof entry.newDescription) + ";x" +
           std::to_string(metrics.maxWidth) + ";y" + std::to_string(metrics.height) + ";";
}

std::vector<unsigned> BitmapFontCodes(int charRange, const TextMetrics& metrics) {
    std::vector<unsigned> codes;
    for (int code = std::max(metrics.firstChar, 32); code <= metrics.lastChar; ++code) {
        const bool keep = charRange == 1   ? std::isalnum(code) && code < 128
                          : charRange == 2 ? std::isdigit(code) && code < 128
                          : charRange == 3 ? code >= 32 && code <= 126
                                           : true;
        if (keep)
            codes.push_back(static_cast<unsigned>(code));
    }
    return codes;
}

int BitmapFontProgressTotal(int charRange, const TextMetrics& metrics) {
    switch (charRange) {
        case 1:
            return 62;
        case 2:
            return 10;
        case 3:
            return 95;
        default:
            return std::max(0, metrics.lastChar - metrics.firstChar + 1);
    }
}

std::string BitmapCharacterCommands(unsigned code, const Glyph& glyph, const TextMetrics& metrics) {
    const int advance = std::min(glyph.advance(), metrics.maxWidth);
    const bool blank = glyph.bitmap.empty();
    if (blank && advance < 1)
        return {};
    std::string out = "t" + std::to_string(code);
    if (glyph.a < 0) {
        out += "," + std::to_string(glyph.a) + ";Z" + std::to_string(glyph.b) + ";";
    } else {
        out += ";Z" + std::to_string(advance) + ";";
    }
    const int columns = blank ? advance : glyph.b;
    out.reserve(out.size() + static_cast<std::size_t>(columns) *
                                 (static_cast<std::size_t>(metrics.height) / 6 + 9));
    std::string column;
    for (int x = 0; x < columns; ++x)
        AppendColumn(out, x, glyph, metrics, column);
    return out;
}

std::vector<std::string> BuildBitmapFontCommands(const FontInfo& entry, RenderedFont& font) {
    std::vector<std::string> commands{BitmapFontHeader(entry, font.metrics())};
    for (const unsigned code : BitmapFontCodes(entry.charRange, font.metrics())) {
        const std::optional<Glyph> glyph = font.renderCode(code);
        if (!glyph)
            continue;
        std::string text = BitmapCharacterCommands(code, *glyph, font.metrics());
        if (!text.empty())
            commands.push_back(std::move(text));
    }
    return commands;
}

}  // namespace tarvo::fonts

namespace tarvo {

int SendBitmapFont(Connection* conn, std::string* file, const FontInfo& entry, int emulation) {
    using namespace fonts;
    CharSize size;
    if (const int status = ComputeCharSize(entry, emulation, &size); status != 0)
        return status;
    try {
        const std::optional<ResolvedFace> face = ResolveEntry(entry);
        if (!face)
            return PCU_ERR_FACE;
        const auto font = RenderedFont::Open(face->file, face->index, size, face->charSet);
        if (!font)
            return PCU_ERR_FACE;
        const TextMetrics& metrics = font->metrics();
        if (const int status =
                SendCommand(conn, file, kCommandSingle, BitmapFontHeader(entry, metrics));
            status != 0) {
            return status;
        }
        ProgressWindow progress(entry.charRange < 4 ? "Downloading fonts" : "Converting DBCS font",
                                BitmapFontProgressTotal(entry.charRange, metrics));
        int sent = 0;
        for (const unsigned code : BitmapFontCodes(entry.charRange, metrics)) {
            const std::optional<Glyph> glyph = font->renderCode(code);
            if (!glyph)
                continue;
            const std::string text = BitmapCharacterCommands(code, *glyph, metrics);
            if (text.empty())
                continue;
            // A failed send ends the conversion: the printer holds a partial font, which the
            // caller must hear about.
            if (const int status = SendCharacter(conn, file, text); status != 0)
                return status;
            progress.moveTo(++sent);
            platform::PumpMessages();
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

}  // namespace tarvo
