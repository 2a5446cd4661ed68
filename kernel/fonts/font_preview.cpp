// The font page's preview: the characters of a bitmap download drawn as the printer receives
// them. It renders through the same face, size, code page and cell as the download
// (bitmap_font.cpp), so what the page shows is what the printer stores.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "fonts/bitmap_font.h"
#include "fonts/font_resolve.h"
#include "tarvo/downloads.h"
#include "tarvo/fonts.h"

namespace tarvo::fonts {
namespace {

// One character's columns: the glyph's as sent, then blanks up to the advance the download
// states ("Z"). A negative A width states the bitmap width instead, so nothing is added.
struct PlacedGlyph {
    Glyph glyph;
    int columns = 0;
};

bool Sent(const Glyph& glyph, const TextMetrics& metrics) {
    return !glyph.bitmap.empty() || std::min(glyph.advance(), metrics.maxWidth) >= 1;
}

int ColumnsOf(const Glyph& glyph, const TextMetrics& metrics) {
    const int advance = std::min(glyph.advance(), metrics.maxWidth);
    if (glyph.bitmap.empty())
        return advance;
    return glyph.a < 0 ? glyph.b : std::max(glyph.b, advance);
}

// The glyph's dots in the cell, rows placed from the ascent as the download's columns place
// them; rows outside the cell are not sent.
void Draw(const Glyph& glyph, const TextMetrics& metrics, int left, int stripWidth,
          std::uint8_t* dots) {
    const GlyphBitmap& bitmap = glyph.bitmap;
    if (bitmap.empty())
        return;
    const int blankAbove = metrics.ascent - glyph.top;
    const int first = std::max(0, -blankAbove);
    const int last = std::min(bitmap.rows, metrics.height - blankAbove);
    for (int y = first; y < last; ++y) {
        std::uint8_t* row = dots + static_cast<std::size_t>(y + blankAbove) * stripWidth + left;
        for (int x = 0; x < bitmap.width; ++x)
            row[x] = bitmap.pixel(x, y) ? 1 : 0;
    }
}

int Render(const FontInfo& entry, int emulation, const char* text, PCUFontPreview* preview) {
    CharSize size;
    if (const int status = ComputeCharSize(entry, emulation, &size); status != 0)
        return status;
    const std::optional<ResolvedFace> face = ResolveEntry(entry);
    if (!face)
        return PCU_ERR_FACE;
    const auto font = RenderedFont::Open(face->file, face->index, size, face->charSet);
    if (!font)
        return PCU_ERR_FACE;
    const TextMetrics& metrics = font->metrics();
    const std::vector<unsigned> codes = BitmapFontCodes(entry.charRange, metrics);
    std::vector<PlacedGlyph> placed;
    long long width = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const auto code = static_cast<unsigned char>(*c);
        if (!std::binary_search(codes.begin(), codes.end(), code))
            continue;
        std::optional<Glyph> glyph = font->renderCode(code);
        if (!glyph || !Sent(*glyph, metrics))
            continue;
        const int columns = ColumnsOf(*glyph, metrics);
        placed.push_back({std::move(*glyph), columns});
        width += columns;
    }
    if (width * metrics.height > (1LL << 28))
        return PCU_ERR_ARGUMENT;
    const std::size_t bytes = static_cast<std::size_t>(width * metrics.height);
    auto* dots = static_cast<std::uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
    if (dots == nullptr)
        return PCU_ERR_NO_MEMORY;
    int left = 0;
    for (const PlacedGlyph& p : placed) {
        Draw(p.glyph, metrics, left, static_cast<int>(width), dots);
        left += p.columns;
    }
    *preview = PCUFontPreview{static_cast<std::int32_t>(width), metrics.height, metrics.ascent,
                              static_cast<std::int32_t>(placed.size()), dots};
    return PCU_OK;
}

}  // namespace
}  // namespace tarvo::fonts

TARVO_API int PCURenderFontPreview(const FontInfo* entry, int emulation, const char* text,
                                   PCUFontPreview* preview) {
    if (entry == nullptr || text == nullptr || preview == nullptr)
        return PCU_ERR_ARGUMENT;
    *preview = PCUFontPreview{};
    try {
        return tarvo::fonts::Render(*entry, emulation, text, preview);
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

TARVO_API void PCUFreeFontPreview(PCUFontPreview* preview) {
    if (preview == nullptr)
        return;
    std::free(preview->dots);
    *preview = PCUFontPreview{};
}
