// `tarvo graphic preview` end to end: the PNG it writes holds exactly the dots the printer
// would print, and a failed preview leaves an existing file alone.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/test_env.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using test::Outcome;

// A PNG read back as 8-bit grey: 0 black, 255 white.
struct Grey {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    int at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::optional<Grey> ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return std::nullopt;
    image.format = PNG_FORMAT_GRAY;
    Grey grey;
    grey.width = static_cast<int>(image.width);
    grey.height = static_cast<int>(image.height);
    grey.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, grey.pixels.data(), 0, nullptr))
        return std::nullopt;
    return grey;
}

class GraphicPreviewTest : public ::testing::Test {
  protected:
    Outcome tarvo(const std::string& args) { return test::RunProgram(env, "tarvo", args); }

    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }

    // Names in the test's directory that look like leftover temporary files.
    std::vector<std::string> leftovers() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(env.root())) {
            const std::string name = e.path().filename().string();
            if (name.find(".png.") != std::string::npos)
                names.push_back(name);
        }
        return names;
    }

    test::TestEnv env;
};

TEST_F(GraphicPreviewTest, RotatedPreviewShowsPrintedDotsBlack) {
    const std::string bmp = file("logo.bmp", test::MonoBmp({"##.", "..#"}));
    const std::string png = env.root() + "/logo.png";
    const Outcome r = tarvo("graphic preview " + bmp + " --rotate 90 --out " + png);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2x3 dots, 0 bytes\n");
    const auto grey = ReadPng(png);
    ASSERT_TRUE(grey);
    ASSERT_EQ(grey->width, 2);
    ASSERT_EQ(grey->height, 3);
    // A quarter turn clockwise: the bottom row becomes the left column.
    const int expected[3][2] = {{255, 0}, {255, 0}, {0, 255}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(grey->at(x, y), expected[y][x]) << x << "," << y;
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(GraphicPreviewTest, ScaleAndColourRuleMatchTheDownload) {
    // Yellow beside magenta: neither prints, but shrunk together they give red, which does.
    const std::string bmp = file(
        "pair.bmp", test::Bmp(2, 1, 24, [](int x, int) { return x == 0 ? 0xFFFF00u : 0xFF00FFu; }));
    const std::string full = env.root() + "/full.png";
    ASSERT_EQ(tarvo("graphic preview " + bmp + " --out " + full).status, 0);
    const auto both = ReadPng(full);
    ASSERT_TRUE(both);
    EXPECT_EQ(both->pixels, (std::vector<std::uint8_t>{255, 255}));
    const std::string half = env.root() + "/half.png";
    const Outcome r = tarvo("graphic preview " + bmp + " --scale 0.5 --out " + half);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1x1 dots, 0 bytes\n");
    const auto one = ReadPng(half);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->pixels, std::vector<std::uint8_t>{0});
}

TEST_F(GraphicPreviewTest, SizeInInchesUsesTheEmulationsDots) {
    const std::string bmp = file("dot.bmp", test::MonoBmp({"#"}));
    const std::string png = env.root() + "/dot.png";
    const Outcome r = tarvo("graphic preview " + bmp + " --size 1x0.5 --emulation 1 --out " + png);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "203x101 dots, 2562 bytes\n");
    const auto grey = ReadPng(png);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->width, 203);
    EXPECT_EQ(grey->height, 101);
    EXPECT_EQ(grey->pixels, std::vector<std::uint8_t>(203 * 101, 0));
    const Outcome unknown =
        tarvo("graphic preview " + bmp + " --size 1x1 --emulation 9 --out " + png);
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("emulation"), std::string::npos) << unknown.err;
}

TEST_F(GraphicPreviewTest, FailuresKeepTheExistingFile) {
    const std::string png = env.root() + "/keep.png";
    test::WriteFile(png, "previous contents");
    std::string broken = test::MonoBmp({"#"});
    test::PutLe32(broken, test::kCompression, 1);
    const std::string bad = file("bad.bmp", broken);
    Outcome r = tarvo("graphic preview " + bad + " --out " + png);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("compressed"), std::string::npos) << r.err;
    r = tarvo("graphic preview " + env.root() + "/missing.bmp --out " + png);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.bmp"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(png), "previous contents");

    const std::string good = file("good.bmp", test::MonoBmp({"#"}));
    for (const std::string& args :
         {"preview " + good, "preview --out " + png, "show " + good + " --out " + png,
          "preview " + good + " --scale 0 --out " + png,
          "preview " + good + " --scale 2 --size 1x1 --out " + png,
          "preview " + good + " --size 1.5 --out " + png,
          "preview " + good + " --rotate 45 --out " + png,
          "preview " + good + " --emulation one --out " + png,
          "preview " + good + " --frobnicate 1 --out " + png, "preview " + good + " --out"}) {
        r = tarvo("graphic " + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage"), std::string::npos) << args << ": " << r.err;
    }
    EXPECT_EQ(test::ReadFile(png), "previous contents");

    // A directory that does not exist cannot take the file.
    r = tarvo("graphic preview " + good + " --out " + env.root() + "/no/such/dir/x.png");
    EXPECT_EQ(r.status, 1);
    // A successful preview replaces the file whole.
    ASSERT_EQ(tarvo("graphic preview " + good + " --out " + png).status, 0);
    const auto grey = ReadPng(png);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->pixels, std::vector<std::uint8_t>{0});
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace
}  // namespace tarvo
