// The firmware image: its checksum, the two version texts behind their pointers, images whose
// pointers lead outside them, and whether an image fits the printer's program number.
#include <gtest/gtest.h>

#include "firmware_files.h"
#include "services/firmware/firmware_image.h"

namespace tarvo::firmware {
namespace {

std::string Text(const VersionText& t) {
    return std::string(t.data(), t.size());
}

VersionText Version(std::string_view text) {
    VersionText v{};
    for (std::size_t i = 0; i < v.size() && i < text.size(); ++i)
        v[i] = text[i];
    return v;
}

TEST(FirmwareImage, ReadsBothVersionTexts) {
    const std::string image = test::MakeImage("FT066197", "2.00");
    ImageVersions v;
    ASSERT_EQ(ReadImageVersions(MemoryImage(image), &v), kFwOk);
    EXPECT_EQ(Text(v.first), "FT066197");
    EXPECT_EQ(Text(v.second), "2.00    ");
}

TEST(FirmwareImage, ChecksumIsTheSumOfEveryOtherByte) {
    std::string image = test::MakeImage("FT066197", "2.00", 40000);
    EXPECT_TRUE(ChecksumMatches(MemoryImage(image)));
    image[20000] = static_cast<char>(image[20000] + 1);
    ImageVersions v;
    EXPECT_EQ(ReadImageVersions(MemoryImage(image), &v), kFwBadChecksum);
    image[20001] = static_cast<char>(image[20001] - 1);  // the same sum again
    EXPECT_EQ(ReadImageVersions(MemoryImage(image), &v), kFwOk);
    EXPECT_FALSE(ChecksumMatches(MemoryImage("abc")));
    EXPECT_TRUE(ChecksumMatches(MemoryImage(std::string_view("\0\0\0\0", 4))));
}

TEST(FirmwareImage, PointersMustStayInsideTheImage) {
    ImageVersions v;
    // Too short to hold the pointers at all.
    std::string tiny(16, '\0');
    test::Seal(tiny);
    EXPECT_EQ(ReadImageVersions(MemoryImage(tiny), &v), kFwBadChecksum);
    struct Case {
        std::size_t at;
        std::uint32_t offset;
    };
    // The outer pointers, then the inner ones, aimed past the end (or wrapping around).
    for (const Case c : {Case{256 - 16, 300}, Case{256 - 20, 253}, Case{0, 250},
                         Case{4, 0xFFFFFFFE}, Case{256 - 16, 0xFFFFFFFF}}) {
        std::string image = test::MakeImage("FT066197", "2.00");
        test::PutLe32(image, c.at, test::PrinterAddress(c.offset));
        test::Seal(image);
        EXPECT_EQ(ReadImageVersions(MemoryImage(image), &v), kFwBadChecksum) << c.at;
    }
}

TEST(FirmwareImage, ProgramNumbersCompareFiveCharactersAfterTheirLead) {
    EXPECT_TRUE(VersionFitsPrinter(Version("FT012345"), "0012345x"));
    EXPECT_TRUE(VersionFitsPrinter(Version("FT066197"), "066197"));
    EXPECT_TRUE(VersionFitsPrinter(Version("ft66197 "), "T66197"));
    EXPECT_FALSE(VersionFitsPrinter(Version("FT066197"), "066198"));
    // Fewer than five characters left on either side never fit.
    EXPECT_FALSE(VersionFitsPrinter(Version("FT0001  "), "0001  "));
    EXPECT_FALSE(VersionFitsPrinter(Version("FTFTFT00"), "FT00"));
    EXPECT_FALSE(VersionFitsPrinter(Version("FT06619"), "066"));
    // The image's text is eight characters with no terminator: nothing past them is read.
    EXPECT_TRUE(VersionFitsPrinter(Version("FTF12345"), "12345"));
}

}  // namespace
}  // namespace tarvo::firmware
