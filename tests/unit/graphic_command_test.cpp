// From a graphic entry to the printer's command text: rotation, sizing in dots, stretching,
// the printed-pixel rule and the column encoding, with the exact text checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "support/test_env.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/image_ops.h"
#include "tarvo/downloads.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using test::Bmp;
using test::MonoBmp;

class GraphicCommandTest : public ::testing::Test {
  protected:
    // An entry for `bytes`, written to a file of the test's directory, at scale 1.
    GraphicInfo entry(const std::string& bytes, std::uint16_t id = 7,
                      const char* description = "LOGO") {
        const std::string path = env.root() + "/graphic" + std::to_string(files++) + ".bmp";
        test::WriteFile(path, bytes);
        GraphicInfo e{};
        std::strncpy(e.path, path.c_str(), sizeof e.path - 1);
        std::strncpy(e.newDescription, description, sizeof e.newDescription - 1);
        e.id = id;
        e.scaleMode = PCU_SCALE_BY_FACTOR;
        e.scale = 1.0f;
        return e;
    }

    std::string build(const GraphicInfo& e, int emulation = 0) {
        std::string text;
        std::string why;
        EXPECT_EQ(BuildGraphicCommand(e, emulation, &text, &why), PCU_OK) << why;
        return text;
    }

    RgbImage prepare(const GraphicInfo& e, int emulation = 0) {
        RgbImage image;
        std::string why;
        EXPECT_EQ(PrepareGraphic(e, emulation, &image, &why), PCU_OK) << why;
        return image;
    }

    test::TestEnv env;
    int files = 0;
};

RgbImage Image(int width, int height, std::vector<std::uint32_t> pixels) {
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

TEST_F(GraphicCommandTest, TenBySevenAtScaleOneGivesTenColumnsOfTwoCharacters) {
    // A diagonal: pixel (x, x) printed. Row y sets bit y mod 6 of character y / 6.
    std::vector<std::string> rows(7, std::string(10, '.'));
    for (int y = 0; y < 7; ++y)
        rows[y][y] = '#';
    EXPECT_EQ(build(entry(MonoBmp(rows))),
              "G7,LOGO;x10;y7;"
              "u0,A@;u1,B@;u2,D@;u3,H@;u4,P@;u5,`@;u6,@A;u7,@@;u8,@@;u9,@@;");
}

TEST_F(GraphicCommandTest, SixRowsMakeOneCharacterAndTwelveTwo) {
    const std::string six = build(entry(MonoBmp({"#.", "#.", "#.", "#.", "#.", "#."}), 1, "A"));
    EXPECT_EQ(six, "G1,A;x2;y6;u0,\x7F;u1,@;");
    std::vector<std::string> twelve(12, "..");
    twelve[11] = ".#";
    EXPECT_EQ(build(entry(MonoBmp(twelve), 2, "B")), "G2,B;x2;y12;u0,@@;u1,@`;");
    std::vector<std::string> thirteen(13, "#");
    EXPECT_EQ(build(entry(MonoBmp(thirteen), 3, "C")),
              "G3,C;x1;y13;u0,\x7F\x7F"
              "A;");
}

TEST_F(GraphicCommandTest, RotationsMoveEveryPixelWhereTheTurnSays) {
    // Every pixel of a 30 x 10 bitmap has its own colour.
    const auto colour = [](int x, int y) { return static_cast<std::uint32_t>(x << 8 | y); };
    GraphicInfo e = entry(Bmp(30, 10, 24, colour));
    for (std::int16_t rotation = 0; rotation <= 3; ++rotation) {
        SCOPED_TRACE(rotation);
        e.rotation = rotation;
        const RgbImage out = prepare(e);
        const bool quarter = rotation % 2 == 1;
        ASSERT_EQ(out.width, quarter ? 10 : 30);
        ASSERT_EQ(out.height, quarter ? 30 : 10);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 30; ++x) {
                const int tx = rotation == 0   ? x
                               : rotation == 1 ? 9 - y
                               : rotation == 2 ? 29 - x
                                               : y;
                const int ty = rotation == 0   ? y
                               : rotation == 1 ? x
                               : rotation == 2 ? 9 - y
                                               : 29 - x;
                ASSERT_EQ(out.at(tx, ty), colour(x, y)) << x << "," << y;
            }
        }
    }
    e.rotation = 1;
    EXPECT_TRUE(build(e).starts_with("G7,LOGO;x10;y30;u0,"));
    e.rotation = 4;
    std::string text = "untouched";
    std::string why;
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_ARGUMENT);
    EXPECT_EQ(text, "untouched");
    e.rotation = -1;
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_ARGUMENT);
}

TEST_F(GraphicCommandTest, ScaleFactorTruncatesEachSide) {
    GraphicInfo e = entry(MonoBmp({std::string(101, '#')}));
    e.scale = 1.5f;
    const RgbImage out = prepare(e);
    EXPECT_EQ(out.width, 151);
    EXPECT_EQ(out.height, 1);  // 1.5 rows truncate to one
    e.scale = 0.001f;          // truncates to nothing: at least one dot remains
    EXPECT_EQ(prepare(e).width, 1);
    EXPECT_TRUE(build(e).starts_with("G7,LOGO;x1;y1;u0,A;"));
}

TEST_F(GraphicCommandTest, RefusesSizesOutOfRange) {
    GraphicInfo e = entry(MonoBmp({"#"}));
    std::string text;
    std::string why;
    for (float scale : {65536.0f, 1e30f, std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN(), -2.0f}) {
        e.scale = scale;
        EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_IMAGE_SIZE) << scale;
        EXPECT_FALSE(why.empty());
    }
    e.scale = 8193.0f;  // 8193 x 8193 dots: over the pixel budget
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_IMAGE_SIZE);
    e = entry(MonoBmp({"#", "#"}));
    e.scale = 32767.5f;  // 32767 x 65535 dots: fine on each side, far over the pixel budget
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_IMAGE_SIZE);
    e = entry(MonoBmp({"#"}));
    e.scale = 65535.0f;
    e.scaleMode = 0;
    e.width = 10.0f;
    e.height = 100.0f;  // 1016 x 10160 dots at 0.25 mm: within every limit
    GraphicEstimate estimate;
    EXPECT_EQ(EstimateGraphicSize(e, 0, &estimate), PCU_OK);
    EXPECT_EQ(estimate.height, 10160);
    e.height = 700.0f;  // 71120 dots
    EXPECT_EQ(EstimateGraphicSize(e, 0, &estimate), PCU_ERR_IMAGE_SIZE);
    EXPECT_EQ(estimate.width, 0);
}

TEST_F(GraphicCommandTest, InchesUseTheDotSizeOfEachEmulation) {
    GraphicInfo e = entry(MonoBmp({"#.", ".#"}));
    e.scaleMode = 0;
    e.scale = 99.0f;  // not used when sizing by inches
    e.width = 1.0f;
    e.height = 0.5f;
    struct Case {
        int emulation;
        std::int64_t width, height;
    };
    for (const Case& c : {Case{0, 101, 50}, Case{1, 203, 101}, Case{2, 67, 33}, Case{3, 406, 203},
                          Case{4, 299, 149}}) {
        SCOPED_TRACE(c.emulation);
        GraphicEstimate estimate;
        ASSERT_EQ(EstimateGraphicSize(e, c.emulation, &estimate), PCU_OK);
        EXPECT_EQ(estimate.width, c.width);
        EXPECT_EQ(estimate.height, c.height);
        EXPECT_EQ(estimate.bytes, c.width * c.height / 8);
        const RgbImage out = prepare(e, c.emulation);
        EXPECT_EQ(out.width, c.width);
        EXPECT_EQ(out.height, c.height);
    }
    std::string text;
    std::string why;
    for (int unknown : {5, -1, 1000}) {
        EXPECT_EQ(BuildGraphicCommand(e, unknown, &text, &why), PCU_ERR_ARGUMENT);
        EXPECT_NE(why.find("emulation"), std::string::npos) << why;
        GraphicEstimate estimate{1, 1, 1};
        EXPECT_EQ(EstimateGraphicSize(e, unknown, &estimate), PCU_ERR_ARGUMENT);
        EXPECT_EQ(estimate.bytes, 0);
    }
    // A scale factor needs no dot size.
    e.scaleMode = PCU_SCALE_BY_FACTOR;
    e.scale = 1.0f;
    EXPECT_EQ(build(e, 17), "G7,LOGO;x2;y2;u0,A;u1,B;");
}

TEST(PrintedPixel, NeedsNoGreenAndNotBothRedAndBlue) {
    for (std::uint32_t printed : {0x000000u, 0xFF0000u, 0x0000FFu, 0x800000u, 0x000001u})
        EXPECT_TRUE(IsPrintedPixel(printed)) << std::hex << printed;
    for (std::uint32_t blank :
         {0xFFFFFFu, 0x00FF00u, 0xFFFF00u, 0x00FFFFu, 0xFF00FFu, 0x000100u, 0x010001u})
        EXPECT_FALSE(IsPrintedPixel(blank)) << std::hex << blank;
}

TEST_F(GraphicCommandTest, ColoursPrintByTheRule) {
    // One column, rows top to bottom: black, red, blue, white, green, yellow, cyan.
    const std::vector<std::uint32_t> colours = {0x000000, 0xFF0000, 0x0000FF, 0xFFFFFF,
                                                0x00FF00, 0xFFFF00, 0x00FFFF};
    const std::string text = build(entry(Bmp(1, 7, 24, [&](int, int y) { return colours[y]; })));
    EXPECT_EQ(text, "G7,LOGO;x1;y7;u0,G@;");
}

TEST_F(GraphicCommandTest, ShrinkingCombinesPixelsSoYellowAndMagentaPrintAsRed) {
    GraphicInfo e = entry(Bmp(2, 1, 24, [](int x, int) { return x == 0 ? 0xFFFF00u : 0xFF00FFu; }));
    e.scale = 0.5f;
    EXPECT_EQ(prepare(e).pixels, std::vector<std::uint32_t>{0xFF0000});
    EXPECT_EQ(build(e), "G7,LOGO;x1;y1;u0,A;");
    e.scale = 1.0f;
    EXPECT_EQ(build(e), "G7,LOGO;x2;y1;u0,@;u1,@;");  // neither prints on its own
}

TEST(Stretch, ShrinksByAndAndEnlargesByRepeating) {
    // Five columns onto two: 0,1,2 -> 0 and 3,4 -> 1.
    const RgbImage row = Image(5, 1, {0xF0F0F0, 0x0FFFFF, 0xFFFFF1, 0xFF00FF, 0x00FFFF});
    EXPECT_EQ(Stretch(row, 2, 1).pixels, (std::vector<std::uint32_t>{0x00F0F0, 0x0000FF}));
    // Two onto five: 0,0,0,1,1.
    const RgbImage pair = Image(1, 2, {0x111111, 0x222222});
    EXPECT_EQ(Stretch(pair, 1, 5).pixels,
              (std::vector<std::uint32_t>{0x111111, 0x111111, 0x111111, 0x222222, 0x222222}));
    EXPECT_EQ(
        Stretch(pair, 3, 2).pixels,
        (std::vector<std::uint32_t>{0x111111, 0x111111, 0x111111, 0x222222, 0x222222, 0x222222}));
}

TEST_F(GraphicCommandTest, AThirtyTwoCharacterNameFitsAOnePixelGraphic) {
    const std::string name(32, 'N');
    GraphicInfo e = entry(MonoBmp({"#"}), 65535, name.c_str());
    EXPECT_EQ(build(e), "G65535," + name + ";x1;y1;u0,A;");
    // A description field without its terminator is read up to its last character only.
    std::memset(e.newDescription, 'M', sizeof e.newDescription);
    EXPECT_EQ(build(e), "G65535," + std::string(32, 'M') + ";x1;y1;u0,A;");
    // The text grows as needed, whatever the name and size.
    const RgbImage tall = Image(1, 600, std::vector<std::uint32_t>(600, 0));
    const std::string text = EncodeGraphicCommand(65535, name, tall);
    EXPECT_EQ(text, "G65535," + name + ";x1;y600;u0," + std::string(100, '\x7F') + ";");
}

TEST_F(GraphicCommandTest, EstimateCountsRotatedScaledDotsInBytes) {
    GraphicInfo e = entry(Bmp(30, 10, 24, [](int, int) { return 0u; }));
    e.rotation = 1;
    e.scale = 2.0f;
    GraphicEstimate estimate;
    ASSERT_EQ(EstimateGraphicSize(e, 0, &estimate), PCU_OK);
    EXPECT_EQ(estimate.width, 20);
    EXPECT_EQ(estimate.height, 60);
    EXPECT_EQ(estimate.bytes, 150);
    e.rotation = 2;
    e.scale = 0.1f;  // 3 x 1: the bytes truncate to zero
    ASSERT_EQ(EstimateGraphicSize(e, 0, &estimate), PCU_OK);
    EXPECT_EQ(estimate.width, 3);
    EXPECT_EQ(estimate.height, 1);
    EXPECT_EQ(estimate.bytes, 0);

    GraphicInfo missing = e;
    std::strcpy(missing.path, "/nonexistent/graphic.bmp");
    estimate = {5, 5, 5};
    EXPECT_EQ(EstimateGraphicSize(missing, 0, &estimate), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(estimate.width, 0);
    EXPECT_EQ(estimate.height, 0);
    EXPECT_EQ(estimate.bytes, 0);
    GraphicInfo broken = entry("BM short");
    EXPECT_EQ(EstimateGraphicSize(broken, 0, &estimate), PCU_ERR_FILE_READ);
    EXPECT_EQ(estimate.bytes, 0);
    EXPECT_EQ(EstimateGraphicSize(e, 0, nullptr), PCU_ERR_ARGUMENT);
}

TEST_F(GraphicCommandTest, FailuresLeaveTheTextAndSayWhy) {
    GraphicInfo e = entry(MonoBmp({"#"}));
    std::strcpy(e.path, "/nonexistent/graphic.bmp");
    std::string text = "untouched";
    std::string why;
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, &why), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(text, "untouched");
    EXPECT_NE(why.find("/nonexistent/graphic.bmp"), std::string::npos) << why;
    EXPECT_EQ(BuildGraphicCommand(e, 0, &text, nullptr), PCU_ERR_FILE_OPEN);
    std::string core = MonoBmp({"#"});
    test::PutLe32(core, test::kInfoSize, 12);
    EXPECT_EQ(BuildGraphicCommand(entry(core), 0, &text, &why), PCU_ERR_IMAGE_FORMAT);
    EXPECT_EQ(BuildGraphicCommand(e, 0, nullptr, &why), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PrepareGraphic(e, 0, nullptr, &why), PCU_ERR_ARGUMENT);
}

TEST_F(GraphicCommandTest, RawDeviceBitmapsConvertLikeBitmapFiles) {
    const std::string raw = test::RawBitmap(3, 2, 2, [](int x, int y) { return x == 2 - y; });
    EXPECT_EQ(build(entry(raw)), "G7,LOGO;x3;y2;u0,@;u1,B;u2,A;");
}

}  // namespace
}  // namespace tarvo
