// Reading bitmap files: the colours of every depth, row order, raw device bitmaps, and the
// refusal of every malformed or oversized file without reading past it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_env.h"
#include "tarvo/base/bitmap_file.h"
#include "tarvo/downloads.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using test::Bmp;
using test::MonoBmp;
using test::PutLe16;
using test::PutLe32;
using test::RawBitmap;

RgbImage Parsed(const std::string& bytes) {
    RgbImage image;
    std::string why;
    EXPECT_EQ(ParseBitmap(bytes, &image, &why), PCU_OK) << why;
    return image;
}

// The code of a refusal; also checks that a reason was given and the image left alone.
int Refusal(const std::string& bytes, std::string* why = nullptr) {
    RgbImage image;
    image.width = 77;
    std::string reason;
    const int rc = ParseBitmap(bytes, &image, &reason);
    EXPECT_NE(rc, PCU_OK);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(image.width, 77);
    if (why != nullptr)
        *why = reason;
    return rc;
}

TEST(BitmapFile, OneBitUsesThePaletteAndReadsTopRowFirst) {
    const RgbImage image = Parsed(MonoBmp({"#..#.......", "..........#"}));
    ASSERT_EQ(image.width, 11);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.at(0, 0), 0x000000u);
    EXPECT_EQ(image.at(1, 0), 0xFFFFFFu);
    EXPECT_EQ(image.at(3, 0), 0x000000u);
    EXPECT_EQ(image.at(10, 0), 0xFFFFFFu);
    EXPECT_EQ(image.at(0, 1), 0xFFFFFFu);
    EXPECT_EQ(image.at(10, 1), 0x000000u);
}

TEST(BitmapFile, TopDownAndBottomUpGiveTheSameImage) {
    const auto value = [](int x, int y) { return static_cast<std::uint32_t>(x * 16 + y); };
    const RgbImage bottomUp = Parsed(Bmp(5, 4, 24, value));
    const RgbImage topDown = Parsed(Bmp(5, 4, 24, value, {}, {.topDown = true}));
    EXPECT_EQ(bottomUp.pixels, topDown.pixels);
    EXPECT_EQ(topDown.at(4, 0), 0x40u);
    EXPECT_EQ(topDown.at(0, 3), 0x03u);
}

TEST(BitmapFile, FourAndEightBitIndicesReadEveryPaletteEntry) {
    std::vector<std::uint32_t> palette16;
    for (std::uint32_t i = 0; i < 16; ++i)
        palette16.push_back(i * 0x010203);
    const RgbImage four = Parsed(Bmp(
        16, 1, 4, [](int x, int) { return static_cast<std::uint32_t>(15 - x); }, palette16));
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(four.at(x, 0), static_cast<std::uint32_t>(15 - x) * 0x010203) << x;

    std::vector<std::uint32_t> palette256;
    for (std::uint32_t i = 0; i < 256; ++i)
        palette256.push_back((i << 16) | ((255 - i) << 8) | (i ^ 0x5A));
    const RgbImage eight = Parsed(Bmp(
        7, 3, 8, [](int x, int y) { return static_cast<std::uint32_t>(x * 37 + y * 11); },
        palette256));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(eight.at(x, y), palette256[x * 37 + y * 11]);
}

TEST(BitmapFile, ColoursUsedSizesTheColourTable) {
    // Three entries stored; a full table of 256 would run past this small file.
    const std::string file =
        Bmp(4, 1, 8, [](int x, int) { return x == 3 ? 200u : static_cast<std::uint32_t>(x); },
            {0x112233, 0x445566, 0x778899}, {.colorsUsed = 3});
    ASSERT_LT(file.size(), 54u + 1024u);
    const RgbImage image = Parsed(file);
    EXPECT_EQ(image.at(0, 0), 0x112233u);
    EXPECT_EQ(image.at(1, 0), 0x445566u);
    EXPECT_EQ(image.at(2, 0), 0x778899u);
    EXPECT_EQ(image.at(3, 0), 0x000000u);  // an index past the table reads as black
}

TEST(BitmapFile, SixteenBitsAreFiveFiveFiveAndKeepZeroFieldsZero) {
    const std::vector<std::uint32_t> words = {0x7C00, 0x03E0, 0x001F, 0x0401,
                                              0x0001, 0x7FFF, 0x0000, 0x8000};
    const RgbImage image =
        Parsed(Bmp(static_cast<int>(words.size()), 1, 16, [&](int x, int) { return words[x]; }));
    EXPECT_EQ(image.at(0, 0), 0xFF0000u);
    EXPECT_EQ(image.at(1, 0), 0x00FF00u);
    EXPECT_EQ(image.at(2, 0), 0x0000FFu);
    EXPECT_EQ(image.at(3, 0), 0x080008u);  // the smallest nonzero fields stay nonzero
    EXPECT_EQ(image.at(4, 0), 0x000008u);
    EXPECT_EQ(image.at(5, 0), 0xFFFFFFu);
    EXPECT_EQ(image.at(6, 0), 0x000000u);
    EXPECT_EQ(image.at(7, 0), 0x000000u);  // the top bit is not part of any colour
}

TEST(BitmapFile, TwentyFourAndThirtyTwoBitsReadBlueGreenRed) {
    const auto value = [](int x, int y) {
        return static_cast<std::uint32_t>(0x102030 * (x + 1) + y);
    };
    // Width 3 at 24 bits pads each row from 9 to 12 bytes.
    const RgbImage rgb24 = Parsed(Bmp(3, 2, 24, value));
    std::string file32 = Bmp(3, 2, 32, value);
    for (std::size_t p = 54 + 3; p < file32.size(); p += 4)
        file32[p] = static_cast<char>(0xFF);  // the fourth byte carries no colour
    const RgbImage rgb32 = Parsed(file32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(rgb24.at(x, y), value(x, y));
            EXPECT_EQ(rgb32.at(x, y), value(x, y));
        }
    }
}

TEST(BitmapFile, RawDeviceBitmapReadsBitZeroAsBlack) {
    // Rows of 4 bytes for 10 pixels: the padding bits must be ignored.
    const std::string raw = RawBitmap(10, 3, 4, [](int x, int y) { return x == y * 3; });
    const RgbImage image = Parsed(raw);
    ASSERT_EQ(image.width, 10);
    ASSERT_EQ(image.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(image.at(x, y), x == y * 3 ? 0x000000u : 0xFFFFFFu) << x << "," << y;
    std::string second = raw;
    second[1] = 1;
    EXPECT_EQ(Parsed(second).pixels, image.pixels);
}

TEST(BitmapFile, RefusesMalformedHeaders) {
    const std::string good = MonoBmp({"#.#", ".#."});
    std::string why;
    for (std::size_t offset : {test::kReserved1, test::kReserved2}) {
        std::string bad = good;
        PutLe16(bad, offset, 1);
        EXPECT_EQ(Refusal(bad, &why), PCU_ERR_IMAGE_FORMAT);
        EXPECT_NE(why.find("reserved"), std::string::npos) << why;
    }
    std::string core = good;
    PutLe32(core, test::kInfoSize, 12);
    EXPECT_EQ(Refusal(core, &why), PCU_ERR_IMAGE_FORMAT);
    EXPECT_NE(why.find("12-byte"), std::string::npos) << why;
    for (std::uint32_t size : {108u, 124u, 0u, 39u}) {
        std::string other = good;
        PutLe32(other, test::kInfoSize, size);
        EXPECT_EQ(Refusal(other), PCU_ERR_IMAGE_FORMAT) << size;
    }
    for (std::uint32_t bpp : {0u, 2u, 3u, 15u, 48u, 64u}) {
        std::string bad = good;
        PutLe16(bad, test::kBitCount, bpp);
        EXPECT_EQ(Refusal(bad), PCU_ERR_IMAGE_FORMAT) << bpp;
    }
    for (std::uint32_t compression : {1u, 2u, 3u, 4u, 5u}) {
        std::string bad = good;
        PutLe32(bad, test::kCompression, compression);
        EXPECT_EQ(Refusal(bad, &why), PCU_ERR_IMAGE_FORMAT) << compression;
        EXPECT_NE(why.find("compressed"), std::string::npos) << why;
    }
}

TEST(BitmapFile, RefusesImpossibleSizes) {
    const std::string good = MonoBmp({"#.#", ".#."});
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {
        {0, 2}, {3, 0}, {static_cast<std::uint32_t>(-3), 2}};
    for (const auto& [width, height] : sizes) {
        std::string bad = good;
        PutLe32(bad, test::kWidth, width);
        PutLe32(bad, test::kHeight, height);
        EXPECT_EQ(Refusal(bad), PCU_ERR_IMAGE_FORMAT) << width << "x" << height;
    }
    // A huge claim in a small file is refused before anything is allocated for it.
    std::string huge = good;
    PutLe32(huge, test::kWidth, 100000);
    PutLe32(huge, test::kHeight, 100000);
    EXPECT_EQ(Refusal(huge), PCU_ERR_FILE_READ);
    PutLe32(huge, test::kHeight, static_cast<std::uint32_t>(INT_MIN));
    EXPECT_EQ(Refusal(huge), PCU_ERR_FILE_READ);
    std::string farOffset = good;
    PutLe32(farOffset, test::kDataOffset, 0xFFFFFFF0u);
    EXPECT_EQ(Refusal(farOffset), PCU_ERR_FILE_READ);
}

TEST(BitmapFile, RefusesMoreThanThePixelBudgetEvenWhenTheFileHoldsIt) {
    // 8200 x 8200 is over 64 Mi pixels; the file really holds its 8.4 MB of pixel data.
    const std::size_t stride = ((8200 + 31) / 32) * 4;
    std::string file = MonoBmp({"#"});
    PutLe32(file, test::kWidth, 8200);
    PutLe32(file, test::kHeight, 8200);
    file.resize(62 + stride * 8200, '\0');
    EXPECT_EQ(Refusal(file), PCU_ERR_IMAGE_SIZE);
}

TEST(BitmapFile, RefusesFilesThatEndEarly) {
    const std::string good = MonoBmp({"#.#.#.#.#", ".#.#.#.#.", "#########"});
    EXPECT_EQ(Refusal(good.substr(0, good.size() - 1)), PCU_ERR_FILE_READ);  // pixel data
    EXPECT_EQ(Refusal(good.substr(0, 56)), PCU_ERR_FILE_READ);               // colour table
    EXPECT_EQ(Refusal(good.substr(0, 30)), PCU_ERR_FILE_READ);               // info header
    EXPECT_EQ(Refusal(good.substr(0, 1)), PCU_ERR_FILE_READ);
    EXPECT_EQ(Refusal(""), PCU_ERR_FILE_READ);
    const std::string raw = RawBitmap(16, 4, 2, [](int, int) { return true; });
    EXPECT_EQ(Refusal(raw.substr(0, raw.size() - 1)), PCU_ERR_FILE_READ);
    EXPECT_EQ(Refusal(raw.substr(0, 20)), PCU_ERR_FILE_READ);
}

TEST(BitmapFile, RefusesOtherFilesAndUnusableRawBitmaps) {
    EXPECT_EQ(Refusal("GIF89a\x01\x00\x01\x00"), PCU_ERR_IMAGE_FORMAT);
    EXPECT_EQ(Refusal(std::string("\x02\x02", 2) + std::string(40, '\0')), PCU_ERR_IMAGE_FORMAT);

    const std::string raw = RawBitmap(16, 4, 2, [](int x, int y) { return x == y; });
    std::string why;
    // 2 bytes per row x 32768 rows is 65536 bytes: over the limit, whatever the file holds.
    std::string big = raw;
    PutLe32(big, 10, 32768);
    EXPECT_EQ(Refusal(big, &why), PCU_ERR_IMAGE_FORMAT);
    EXPECT_NE(why.find("65534"), std::string::npos) << why;
    // Planes times bits per pixel count too, and huge fields must not overflow the product.
    std::string planes = raw;
    PutLe16(planes, 18, 0xFFFF);
    PutLe16(planes, 20, 0xFFFF);
    PutLe32(planes, 14, 0x7FFFFFFF);
    PutLe32(planes, 10, 0x7FFFFFFF);
    EXPECT_EQ(Refusal(planes, &why), PCU_ERR_IMAGE_FORMAT);
    EXPECT_NE(why.find("65534"), std::string::npos) << why;
    std::string colour = raw;
    PutLe16(colour, 20, 4);
    EXPECT_EQ(Refusal(colour), PCU_ERR_IMAGE_FORMAT);
    std::string shortRows = raw;
    PutLe32(shortRows, 6, 17);  // 17 pixels do not fit 2 bytes
    EXPECT_EQ(Refusal(shortRows), PCU_ERR_IMAGE_FORMAT);
    for (std::size_t field : {6u, 10u, 14u}) {
        std::string zero = raw;
        PutLe32(zero, field, 0);
        EXPECT_EQ(Refusal(zero), PCU_ERR_IMAGE_FORMAT) << field;
        PutLe32(zero, field, static_cast<std::uint32_t>(-2));
        EXPECT_EQ(Refusal(zero), PCU_ERR_IMAGE_FORMAT) << field;
    }
    // Exactly 65534 bytes is still a raw bitmap.
    const std::string limit = RawBitmap(8, 32767, 2, [](int x, int y) { return x == 0 && y == 5; });
    const RgbImage image = Parsed(limit);
    EXPECT_EQ(image.height, 32767);
    EXPECT_EQ(image.at(0, 5), 0u);
    EXPECT_EQ(image.at(0, 6), 0xFFFFFFu);
}

TEST(BitmapFile, LoadsFromDiskLikeFromMemory) {
    test::TestEnv env;
    const std::string path = env.root() + "/logo.bmp";
    const std::string bytes = MonoBmp({"##..", "..##"});
    test::WriteFile(path, bytes);
    RgbImage fromDisk;
    ASSERT_EQ(LoadBitmapFile(path, &fromDisk, nullptr), PCU_OK);
    EXPECT_EQ(fromDisk.pixels, Parsed(bytes).pixels);

    std::string why;
    EXPECT_EQ(LoadBitmapFile(env.root() + "/missing.bmp", &fromDisk, &why), PCU_ERR_FILE_OPEN);
    EXPECT_NE(why.find("missing.bmp"), std::string::npos) << why;
    EXPECT_EQ(LoadBitmapFile(env.root(), &fromDisk, &why), PCU_ERR_FILE_OPEN);
    const std::string pipe = env.root() + "/pipe.bmp";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(LoadBitmapFile(pipe, &fromDisk, &why), PCU_ERR_FILE_OPEN);  // and does not hang
    test::WriteFile(path, bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ(LoadBitmapFile(path, &fromDisk, &why), PCU_ERR_FILE_READ);
    EXPECT_EQ(LoadBitmapFile(path, nullptr, &why), PCU_ERR_ARGUMENT);
    EXPECT_EQ(ParseBitmap(bytes, nullptr, nullptr), PCU_ERR_ARGUMENT);
}

}  // namespace
}  // namespace tarvo
