#include "fonts/rendered_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include FT_TRUETYPE_TABLES_H

namespace tarvo::fonts {
namespace {

// ceiling(units * ppem / unitsPerEm) for non-negative units.
int Scaled(long units, int ppem, int unitsPerEm) {
    if (units <= 0 || unitsPerEm <= 0)
        return 0;
    const long long product = static_cast<long long>(units) * ppem;
    return static_cast<int>((product + unitsPerEm - 1) / unitsPerEm);
}

GlyphBitmap CopyBitmap(const FT_Bitmap& source) {
    GlyphBitmap out;
    out.width = static_cast<int>(source.width);
    out.rows = static_cast<int>(source.rows);
    out.pitch = (out.width + 31) / 32 * 4;
    out.bits.assign(static_cast<std::size_t>(out.pitch) * out.rows, 0);
    const int sourcePitch = std::abs(source.pitch);
    const int rowBytes = (out.width + 7) / 8;
    for (int y = 0; y < out.rows; ++y) {
        // A negative pitch stores the rows bottom-up.
        const int sourceRow = source.pitch >= 0 ? y : out.rows - 1 - y;
        const unsigned char* from =
            source.buffer + static_cast<std::ptrdiff_t>(sourceRow) * sourcePitch;
        std::copy(from, from + rowBytes, out.bits.begin() + y * out.pitch);
    }
    return out;
}

}  // namespace

RenderedFont::RenderedFont(CharacterSet set, const char* doubleBytePage)
    : codes_(set, doubleBytePage) {}

RenderedFont::~RenderedFont() = default;

std::unique_ptr<RenderedFont> RenderedFont::Open(const std::string& file, long index,
                                                 const CharSize& size, CharacterSet set,
                                                 const char* doubleBytePage) {
    std::unique_ptr<RenderedFont> font(new RenderedFont(set, doubleBytePage));
    font->face_ = OpenFace(font->library_, file, index);
    if (!font->face_ || !FT_IS_SCALABLE(font->face_.get()) || !font->setSize(size))
        return nullptr;
    font->measure();
    return font;
}

bool RenderedFont::setSize(const CharSize& size) {
    FT_Face face = face_.get();
    FT_UInt xppem = 0;  // the same as the height: the face's own proportion
    if (size.widthDots > 0) {
        // The width given is an average width: scale the em so that the face's average
        // character comes out that wide.
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const double average =
            os2 != nullptr && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face->units_per_EM;
        const double ppem = std::lround(size.widthDots * face->units_per_EM / average);
        xppem = static_cast<FT_UInt>(std::clamp(ppem, 1.0, 65535.0));
    }
    return FT_Set_Pixel_Sizes(face, xppem, static_cast<FT_UInt>(size.heightDots)) == 0;
}

void RenderedFont::measure() {
    FT_Face face = face_.get();
    const int upem = face->units_per_EM;
    const int yppem = face->size->metrics.y_ppem;
    const int xppem = face->size->metrics.x_ppem;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    long ascent = face->ascender;
    long descent = -face->descender;
    long average = face->max_advance_width;
    if (os2 != nullptr && os2->version != 0xFFFF) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        average = os2->xAvgCharWidth;
    }
    const long maximum = hhea != nullptr ? hhea->advance_Width_Max : face->max_advance_width;
    metrics_.unitsPerEm = upem;
    metrics_.ascent = Scaled(ascent, yppem, upem);
    metrics_.descent = Scaled(descent, yppem, upem);
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.avgWidth = Scaled(average, xppem, upem);
    metrics_.maxWidth = Scaled(maximum, xppem, upem);
    metrics_.firstChar = 32;
    metrics_.lastChar = 31;
    bool any = false;
    for (unsigned code = 0; code < 256; ++code) {
        if (!glyphIndex(code))
            continue;
        if (!any)
            metrics_.firstChar = static_cast<int>(code);
        metrics_.lastChar = static_cast<int>(code);
        any = true;
    }
}

std::optional<unsigned> RenderedFont::glyphIndex(unsigned code) {
    const std::optional<char32_t> unicode = codes_.toUnicode(code);
    if (!unicode)
        return std::nullopt;
    const FT_UInt index = FT_Get_Char_Index(face_.get(), *unicode);
    if (index == 0)
        return std::nullopt;
    return index;
}

std::optional<Glyph> RenderedFont::render(unsigned glyphIndex) {
    FT_Face face = face_.get();
    // Outlines only: an embedded bitmap strike would make a glyph's look depend on the size
    // chosen, and may be grey.
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0)
        return std::nullopt;
    const FT_GlyphSlot slot = face->glyph;
    Glyph glyph;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    // A glyph without contours (a space) has no bitmap, although the monochrome renderer would
    // give it one blank dot.
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points == 0) {
        glyph.c = advance;
        return glyph;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0 ||
        slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
        return std::nullopt;
    }
    if (slot->bitmap.width == 0 || slot->bitmap.rows == 0 || slot->bitmap.buffer == nullptr) {
        glyph.c = advance;
        return glyph;
    }
    glyph.bitmap = CopyBitmap(slot->bitmap);
    glyph.a = slot->bitmap_left;
    glyph.b = glyph.bitmap.width;
    glyph.c = advance - glyph.a - glyph.b;
    glyph.top = slot->bitmap_top;
    return glyph;
}

std::optional<Glyph> RenderedFont::renderCode(unsigned code) {
    const std::optional<unsigned> index = glyphIndex(code);
    if (!index)
        return std::nullopt;
    return render(*index);
}

}  // namespace tarvo::fonts
