// A TrueType face at a size in dots, as a thermal printer needs it: text metrics, the widths of
// each character and its one-bit bitmap, all from FreeType's monochrome rendering.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fonts/code_pages.h"
#include "fonts/font_size.h"
#include "fonts/ft_library.h"

namespace tarvo::fonts {

// Metrics in dots. Ascent and descent are ceiling(usWinAscent or usWinDescent * y ppem / units
// per em); the widths ceiling(xAvgCharWidth or advanceWidthMax * x ppem / units per em). A face
// without an OS/2 table uses its horizontal header's ascender, descender and the maximum
// advance for the average too.
struct TextMetrics {
    int height = 0;  // cell height: ascent + descent
    int ascent = 0;
    int descent = 0;
    int avgWidth = 0;
    int maxWidth = 0;
    int firstChar = 32;  // lowest code 0..255 with a glyph, through the face's code page
    int lastChar = 31;   // highest; below firstChar when the face maps none
    int unitsPerEm = 0;
};

// A glyph's one-bit bitmap: rows top-down, each `pitch` bytes (a multiple of 4), the leftmost
// pixel in the most significant bit of a row's first byte.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    int pitch = 0;
    std::vector<std::uint8_t> bits;

    bool empty() const { return width == 0 || rows == 0; }
    bool pixel(int x, int y) const {
        return (bits[static_cast<std::size_t>(y * pitch + x / 8)] >> (7 - x % 8) & 1) != 0;
    }
};

// One rendered character. A = bitmap_left, B = bitmap width, C = advance - A - B (advance in
// whole dots from the hinted advance); a glyph without a bitmap has A = B = 0, C = advance.
struct Glyph {
    int a = 0;
    int b = 0;
    int c = 0;
    int top = 0;  // rows from the baseline up to the bitmap's first row (bitmap_top)
    GlyphBitmap bitmap;

    int advance() const { return a + b + c; }
};

class RenderedFont {
  public:
    // Opens face `index` of `file` at `size`, mapping codes through `set` (and, for codes above
    // 255, through `doubleBytePage` when not null). Returns null when FreeType cannot open the
    // face or set the size. May throw std::bad_alloc.
    static std::unique_ptr<RenderedFont> Open(const std::string& file, long index,
                                              const CharSize& size, CharacterSet set,
                                              const char* doubleBytePage = nullptr);
    ~RenderedFont();
    RenderedFont(const RenderedFont&) = delete;
    RenderedFont& operator=(const RenderedFont&) = delete;

    const TextMetrics& metrics() const { return metrics_; }

    // The glyph index of a character code; none for a code the code pages do not map or the
    // face has no glyph for.
    std::optional<unsigned> glyphIndex(unsigned code);

    // Renders the glyph; none when FreeType fails on it.
    std::optional<Glyph> render(unsigned glyphIndex);

    // Glyph index lookup and rendering of a code in one; none as for either.
    std::optional<Glyph> renderCode(unsigned code);

    // The face (for measurements beside the conversion, e.g. timing FreeType alone).
    FT_Face face() const { return face_.get(); }

  private:
    RenderedFont(CharacterSet set, const char* doubleBytePage);
    bool setSize(const CharSize& size);
    void measure();

    FtLibrary library_;
    FtFace face_;
    CodeMapper codes_;
    TextMetrics metrics_;
};

}  // namespace tarvo::fonts
