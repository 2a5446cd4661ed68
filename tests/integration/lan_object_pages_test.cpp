// The Font and Graphics Setup pages against a simulated printer: what the pages preview is what
// the printer decodes from the download they queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "desk/doc_commands.h"
#include "desk/startup.h"
#include "lanmere/font_pages.h"
#include "lanmere/graphic_pages.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "unit/bitmap_builder.h"

namespace tarvo::app::lanmere {
namespace {

std::vector<std::string> Rows(const DotImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height; ++y) {
        std::string row;
        for (int x = 0; x < image.width; ++x)
            row += image.dots[static_cast<std::size_t>(y) * image.width + x] != 0 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// The decoded characters of `text` side by side, each its columns followed by blanks up to the
// advance it was sent with (none with an A width).
std::vector<std::string> Strip(const std::vector<sim::DecodedGlyph>& glyphs, const char* text,
                               int height) {
    std::vector<std::string> rows(static_cast<std::size_t>(height));
    for (const char* c = text; *c != '\0'; ++c) {
        const auto found = std::find_if(glyphs.begin(), glyphs.end(), [c](const auto& g) {
            return g.code == static_cast<unsigned char>(*c);
        });
        if (found == glyphs.end())
            continue;
        const int columns = found->aWidth ? found->width : std::max(found->width, found->z);
        for (int y = 0; y < height; ++y) {
            std::string row = found->rows[static_cast<std::size_t>(y)];
            rows[static_cast<std::size_t>(y)] += row.append(columns - found->width, '.');
        }
    }
    return rows;
}

class ObjectPagesOnAPrinter : public test::SimTest {
  protected:
    void Start() {
        sim::Options o;
        o.memoryFreeKb = 900;
        startPrinter(o);
        ASSERT_TRUE(InitializeSession(desk));
    }
    void Send() {
        prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
        const OpResult sent = SendToPrinter(desk);
        ASSERT_TRUE(sent.ok()) << Describe(sent);
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(ObjectPagesOnAPrinter, FontPreviewIsWhatThePrinterDecodes) {
    Start();
    CFontSheet sheet(desk, 0, [](const std::vector<std::string>&) {
        return std::optional<std::string>("DejaVu Sans");
    });
    sheet.Load();
    auto& select = static_cast<CFontPage1&>(*sheet.pages()[0]);
    select.Press("installed");
    select.Choose("storage", 1);  // Fixed: sent as a bitmap font
    select.Choose("points", 4);   // 14 points
    select.Choose("charset", 3);  // Printable
    const DotImage preview = select.field("preview").image;
    const unsigned id = select.Request().id;
    ASSERT_GT(preview.width, 0) << select.field("previewInfo").text;
    ASSERT_EQ(sheet.Accept(prompt), -1);
    Send();

    const auto glyphs = printer->bitmapFontGlyphs(id);
    ASSERT_EQ(glyphs.size(), 95u) << printer->lastRefusal();
    EXPECT_EQ(Rows(preview), Strip(glyphs, "AaBbYyZz 0123 &?!", preview.height));
    EXPECT_EQ(desk.config.fonts.Count(), 0);
}

TEST_F(ObjectPagesOnAPrinter, GraphicPreviewIsWhatThePrinterDecodesTurnedClockwise) {
    Start();
    const std::string bmp = env.root() + "/arrow.bmp";
    test::WriteFile(bmp, test::MonoBmp({"##.", "..#"}));
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, bmp});
    CGraphicSheet sheet(desk);
    sheet.Load();
    PageModel& select = *sheet.pages()[0];
    select.Press("path");
    select.Choose("rotation", 1);       // 90 degrees
    select.Choose("magnification", 4);  // 2x
    const DotImage preview = select.field("preview").image;
    const unsigned id = static_cast<CGraphicPage1&>(select).Request().id;
    EXPECT_EQ(select.field("description").text, "arrow");
    ASSERT_EQ(sheet.Accept(prompt), -1);
    Send();

    const auto decoded = printer->graphicImage(id);
    ASSERT_TRUE(decoded) << printer->lastRefusal();
    // A quarter turn clockwise: the bottom row becomes the left column.
    EXPECT_EQ(decoded->rows,
              (std::vector<std::string>{"..##", "..##", "..##", "..##", "##..", "##.."}));
    EXPECT_EQ(Rows(preview), decoded->rows);
}

}  // namespace
}  // namespace tarvo::app::lanmere
