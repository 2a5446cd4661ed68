// Measures the bitmap conversion of a font: building the commands of the 95 printable
// characters of DejaVu Sans at 72 points (emulation 1, 0.125 mm dots: 204 dots per em) against
// the time FreeType alone needs to load and render the same glyphs, so the share of the
// conversion's own work (metrics, ABC widths, bitmap copies, dot columns, text) shows.
// The font page's preview of the same characters (PCURenderFontPreview, which also resolves the
// face and opens it) is timed against that conversion.
// Prints one line per figure; scripts/run-bench collects them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fonts/bitmap_font.h"
#include "fonts/rendered_font.h"
#include "tarvo/directory.h"
#include "tarvo/fonts.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kDots = 204;  // 72 points at 0.125 mm
constexpr int kRounds = 20;

std::unique_ptr<fonts::RenderedFont> OpenFace() {
    auto font = fonts::RenderedFont::Open(kFace, 0, fonts::CharSize{kDots, 0},
                                          fonts::CharacterSet::Default);
    if (!font) {
        std::fprintf(stderr, "bench: cannot open %s\n", kFace);
        std::exit(1);
    }
    return font;
}

template <class Body>
double MillisecondsPerRound(Body body) {
    body();  // warm caches and FreeType's glyph loader
    const auto start = SteadyClock::now();
    for (int i = 0; i < kRounds; ++i)
        body();
    const std::chrono::duration<double, std::milli> spent = SteadyClock::now() - start;
    return spent.count() / kRounds;
}

}  // namespace

int main() {
    FontInfo entry{};
    entry.id = 1;
    entry.charRange = 3;
    std::strcpy(entry.newDescription, "Bench");
    const auto font = OpenFace();

    std::size_t bytes = 0;
    std::size_t characters = 0;
    const double conversion = MillisecondsPerRound([&] {
        const std::vector<std::string> commands = fonts::BuildBitmapFontCommands(entry, *font);
        characters = commands.size() - 1;
        bytes = 0;
        for (const std::string& c : commands)
            bytes += c.size();
    });

    std::vector<unsigned> glyphs;
    for (const unsigned code : fonts::BitmapFontCodes(3, font->metrics())) {
        if (const auto index = font->glyphIndex(code))
            glyphs.push_back(*index);
    }
    FT_Face face = font->face();
    const double freetype = MillisecondsPerRound([&] {
        for (const unsigned g : glyphs) {
            if (FT_Load_Glyph(face, g, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0 ||
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
                std::fprintf(stderr, "bench: FreeType failed on glyph %u\n", g);
                std::exit(1);
            }
        }
    });

    // The page's entry: the same face by its file, 72 points on 0.125 mm dots.
    FontInfo page = entry;
    std::strcpy(page.path, kFace);
    page.kind = PCU_FONT_KIND_BITMAP;
    page.sizeMode = PCU_SIZE_BY_POINTS;
    page.pointSize = 72;
    std::string printable;
    for (char c = 32; c < 127; ++c)
        printable += c;
    int drawn = 0;
    const double preview = MillisecondsPerRound([&] {
        PCUFontPreview strip{};
        if (PCURenderFontPreview(&page, 1, printable.c_str(), &strip) != 0 ||
            strip.height != font->metrics().height) {
            std::fprintf(stderr, "bench: the preview failed\n");
            std::exit(1);
        }
        drawn = strip.characters;
        PCUFreeFontPreview(&strip);
    });

    std::printf(
        "bitmap font conversion, %zu printable characters at %d dots: %.2f ms "
        "(%zu bytes of commands)\n",
        characters, kDots, conversion, bytes);
    std::printf("FreeType load and render of the same glyphs: %.2f ms\n", freetype);
    std::printf("font page preview of the same %d characters: %.2f ms (%.2f x the conversion)\n",
                drawn, preview, preview / conversion);
    std::printf("conversion's own share: %.0f %%\n", 100.0 * (conversion - freetype) / conversion);
    return 0;
}
