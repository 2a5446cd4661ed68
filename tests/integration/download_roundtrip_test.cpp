// What the printer receives, decoded back into pixels by the simulated printer, against the
// source: a bitmap font against FreeType's own rendering of the face, a graphic against the
// prepared image of its bitmap file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fonts/font_resolve.h"
#include "fonts/font_size.h"
#include "fonts/rendered_font.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/image_ops.h"
#include "tarvo/kernel.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

// The glyph as the cell holds it: its columns over the cell's rows, '#' where FreeType set a
// dot, the rows above and below the glyph blank.
std::vector<std::string> CellRows(const fonts::Glyph& glyph, const fonts::TextMetrics& metrics,
                                  int columns) {
    std::vector<std::string> rows(static_cast<std::size_t>(metrics.height),
                                  std::string(static_cast<std::size_t>(columns), '.'));
    const int blankAbove = metrics.ascent - glyph.top;
    for (int y = 0; y < glyph.bitmap.rows; ++y) {
        const int row = y + blankAbove;
        if (row < 0 || row >= metrics.height)
            continue;
        for (int x = 0; x < glyph.bitmap.width && x < columns; ++x) {
            if (glyph.bitmap.pixel(x, y))
                rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)] = '#';
        }
    }
    return rows;
}

class DownloadRoundTripTest : public test::SimTest {};

TEST_F(DownloadRoundTripTest, BitmapFontGlyphsMatchFreeTypesRendering) {
    sim::Options options;
    options.memoryFreeKb = 900;
    startPrinter(options);
    FontInfo font{};
    font.source = PCU_FONT_SOURCE_FACE;
    std::snprintf(font.faceName, sizeof font.faceName, "DejaVu Sans");
    std::snprintf(font.newDescription, sizeof font.newDescription, "SANS");
    font.kind = PCU_FONT_KIND_BITMAP;
    font.sizeMode = PCU_SIZE_BY_POINTS;
    font.pointSize = 14;
    font.charRange = 3;
    font.pending = PCU_PENDING_DOWNLOAD;
    font.id = 70;
    ASSERT_EQ(PCUPutFontInfo(ctx, 70, &font), PCU_OK);
    ASSERT_EQ(PCUPutFonts(ctx), PCU_OK);

    const auto face = fonts::ResolveEntry(font);
    ASSERT_TRUE(face);
    fonts::CharSize size;
    ASSERT_EQ(fonts::ComputeCharSize(font, FindContext(ctx)->settings.emulation, &size), 0);
    const auto rendered = fonts::RenderedFont::Open(face->file, face->index, size, face->charSet);
    ASSERT_TRUE(rendered);
    const fonts::TextMetrics& metrics = rendered->metrics();

    const std::vector<sim::DecodedGlyph> glyphs = printer->bitmapFontGlyphs(70);
    ASSERT_EQ(glyphs.size(), 95u) << printer->lastRefusal();
    EXPECT_EQ(printer->bitmapFontCell(70), std::make_pair(metrics.maxWidth, metrics.height));
    for (const sim::DecodedGlyph& decoded : glyphs) {
        const auto glyph = rendered->renderCode(static_cast<unsigned>(decoded.code));
        ASSERT_TRUE(glyph) << decoded.code;
        const int columns = glyph->bitmap.empty() ? glyph->advance() : glyph->b;
        EXPECT_EQ(decoded.width, columns) << decoded.code;
        EXPECT_EQ(decoded.rows, CellRows(*glyph, metrics, columns)) << "code " << decoded.code;
    }
}

TEST_F(DownloadRoundTripTest, GraphicPixelsMatchThePreparedImage) {
    startPrinter();
    // Colours that print (black, red, blue) and colours that do not, turned and enlarged.
    const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x0000FF, 0xFFFFFF, 0x00FF00, 0xFFFF00};
    const std::string path = env.root() + "/colours.bmp";
    test::WriteFile(path, test::Bmp(13, 9, 24, [&](int x, int y) {
                        return colours[static_cast<std::size_t>((x * 3 + y * 5) % 6)];
                    }));
    GraphicInfo graphic{};
    std::snprintf(graphic.path, sizeof graphic.path, "%s", path.c_str());
    std::snprintf(graphic.newDescription, sizeof graphic.newDescription, "COLOURS");
    graphic.scaleMode = PCU_SCALE_BY_FACTOR;
    graphic.scale = 1.5f;
    graphic.rotation = 1;
    graphic.pending = PCU_PENDING_DOWNLOAD;
    graphic.id = 12;
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 12, &graphic), PCU_OK);
    ASSERT_EQ(PCUPutGraphics(ctx), PCU_OK);

    RgbImage prepared;
    ASSERT_EQ(PrepareGraphic(graphic, 0, &prepared, nullptr), 0);
    const auto decoded = printer->graphicImage(12);
    ASSERT_TRUE(decoded) << printer->lastRefusal();
    ASSERT_EQ(decoded->width, 13);  // 9 rows turned into 9 columns, times 1.5
    ASSERT_EQ(decoded->height, 19);
    ASSERT_EQ(decoded->width, prepared.width);
    ASSERT_EQ(decoded->height, prepared.height);
    for (int y = 0; y < prepared.height; ++y) {
        std::string row;
        for (int x = 0; x < prepared.width; ++x)
            row += IsPrintedPixel(prepared.at(x, y)) ? '#' : '.';
        EXPECT_EQ(decoded->rows[static_cast<std::size_t>(y)], row) << "row " << y;
    }
}

}  // namespace
}  // namespace tarvo
