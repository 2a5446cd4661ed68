// The model tables checked against their source, model by model and setting by setting. The
// expectations are written in a different shape from the tables (speed texts instead of keys,
// per-model columns instead of model groups, an offer matrix instead of model lists), so that a
// slip in either one shows up as a mismatch rather than being copied into both.
//
// Values the tables had to choose (listed in docs/MODEL-TABLES.md) are not pinned here; they are
// only checked for consistency with the rest of their row.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tarvo/base/model_tables.h"
#include "tarvo/models.h"

namespace {

constexpr int kModels = PROP_TABLE_MODELS;
constexpr int kNotStated = -99999;

// A heap buffer of exactly `size` bytes, so that the sanitizer sees any write past it.
std::vector<char> Buffer(std::size_t size, char fill = 'Z') {
    return std::vector<char>(size, fill);
}

// ---------------------------------------------------------------------------------------------
// Names and families

// clang-format off
const std::array<const char*, PROP_MODEL_COUNT> kNames = {
    "5200A",    "5200B",   "5200C/D",  "5600",     "5240",           "5040",           //  0.. 5
    "6220",     "6240",    "6430",     "6630",     "6000",           "6200C",          //  6..11
    "9221",     "RK17",    "G3-QEL",   "G5-QEL",   "5200E (200dpi)", "5200E (400dpi)", // 12..17
    "6220E",    "6240E",   "TG3e-QEL", "TG5e-QEL", "TN5e-QEL",       "TQ5e-QEL",       // 18..23
    "TQ8e-QEL", "DEFAULT", "720",      "730",      "M9",             "760",            // 24..29
    "780",      "880",     "780KS",    "880KS",    "G3",             "G5",             // 30..35
    "TG3e",     "TG5e",    "TN5e",     "TQ5e",     "TQ8e",           "Unknown",        // 36..41
};
// clang-format on

TEST(ModelNames, EveryIndexHasItsNameAndFindsItBack) {
    EXPECT_EQ(propGetPrinterCount(), 42);
    for (int m = 0; m < PROP_MODEL_COUNT; ++m) {
        auto out = Buffer(PROP_NAME_SIZE);
        EXPECT_EQ(propGetPrinterStr(m, out.data()), 1) << m;
        EXPECT_STREQ(out.data(), kNames[static_cast<std::size_t>(m)]) << m;
        EXPECT_EQ(propGetPrinterID(kNames[static_cast<std::size_t>(m)]), m);
        EXPECT_EQ(tarvo::ModelName(m), kNames[static_cast<std::size_t>(m)]);
        EXPECT_EQ(tarvo::ModelIndexOf(kNames[static_cast<std::size_t>(m)]), m);
    }
}

TEST(ModelNames, LookupIsExactAndCaseSensitive) {
    EXPECT_EQ(propGetPrinterID("6220E"), 18);
    EXPECT_EQ(propGetPrinterID("6220e"), -1);
    EXPECT_EQ(propGetPrinterID("6220"), 6);
    EXPECT_EQ(propGetPrinterID("6220E "), -1);
    EXPECT_EQ(propGetPrinterID("default"), -1);
    EXPECT_EQ(propGetPrinterID(""), -1);
    EXPECT_EQ(propGetPrinterID(nullptr), -1);
    EXPECT_EQ(tarvo::ModelIndexOf("TQ8e"), 40);
    EXPECT_EQ(tarvo::ModelIndexOf("TQ8E"), -1);
}

TEST(ModelNames, OutOfRangeWritesAnEmptyName) {
    for (int m : {-1, 42, 1000, -1000}) {
        auto out = Buffer(PROP_NAME_SIZE);
        EXPECT_EQ(propGetPrinterStr(m, out.data()), 0) << m;
        EXPECT_STREQ(out.data(), "") << m;
        EXPECT_EQ(tarvo::ModelName(m), "");
    }
    EXPECT_EQ(propGetPrinterStr(0, nullptr), 0);
}

TEST(ModelFamilies, IndicesSplitIntoTheTwoFamilies) {
    for (int m = -2; m < PROP_MODEL_COUNT + 2; ++m) {
        EXPECT_EQ(tarvo::IsTableModel(m), m >= 0 && m <= 25) << m;
        EXPECT_EQ(tarvo::IsLanmereModel(m), m >= 0 && m <= 25) << m;
        EXPECT_EQ(tarvo::IsBrakenholmModel(m), m >= 26 && m <= 41) << m;
    }
}

// ---------------------------------------------------------------------------------------------
// Per-model rows

struct ModelExpect {
    double mmPerDot;
    float maxInches;  // kNotStated: chosen by the tables
    float maxCentimetres;
    int directory;
    const char* speeds;  // inch texts in ascending order
    int fontList;        // 9, 22 or 24
    int imageKb;         // 0: asked
};

constexpr float kFontNotStated = static_cast<float>(kNotStated);

// clang-format off
const std::array<ModelExpect, kModels> kRows = {{
    {0.125,   3.0f,  7.62f, 0, "2.0 3.0 4.0 5.0",                                  9,  256},   // 5200A
    {0.125,   4.0f, 10.16f, 0, "2.0 3.0 4.0 5.0",                                  22, 512},   // 5200B
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0",                              22, 0},     // 5200C/D
    {0.125,   4.0f, 10.16f, 0, "2.0 3.0 4.0 5.0",                                  22, 512},   // 5600
    {0.0625,  4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0",                                  24, 0},     // 5240
    {0.0625,  2.5f,  6.35f, 1, "2.0 3.0 4.0",                                      22, 512},   // 5040
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                      24, 0},     // 6220
    {0.0625,  4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                      24, 0},     // 6240
    {0.08467, 4.0f, 10.16f, 0, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                      24, 1024},  // 6430
    {0.08467, 4.0f, 10.16f, 0, "2.0 3.0 4.0 5.0",                                  24, 1024},  // 6630
    {0.125,   4.0f, 10.16f, 0, "2.0 3.0 4.0 5.0",                                  22, 256},   // 6000
    {0.125,   4.0f, 10.16f, 0, "2.5 3.0 3.5 4.0 4.5 5.0 5.5 6.0 6.5 7.0 7.5 8.5 10.0", 22, 512}, // 6200C
    {0.125,   4.0f, 10.16f, 1, "2.0",                                              22, 0},     // 9221
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0",                                      22, 0},     // RK17
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                      24, 0},     // G3-QEL
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                      24, 0},     // G5-QEL
    {0.125,   4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 8.0",                          22, 0},     // 5200E (200dpi)
    {0.0625,  4.0f, 10.16f, 1, "2.0 3.0 4.0 5.0 6.0 8.0",                          24, 0},     // 5200E (400dpi)
    {0.125,   2.5f,  6.35f, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0 10.0",                 24, 0},     // 6220E
    {0.0625,  kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0 10.0",            24, 0},     // 6240E
    {0.125,   kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                 24, 0},     // TG3e-QEL
    {0.125,   kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                 24, 0},     // TG5e-QEL
    {0.125,   kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0",                 24, 0},     // TN5e-QEL
    {0.125,   kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0 9.0 10.0 11.0 12.0", 24, 0},  // TQ5e-QEL
    {0.125,   kFontNotStated, 0, 1, "2.0 3.0 4.0 5.0 6.0 7.0 8.0 9.0 10.0 11.0 12.0", 24, 0},  // TQ8e-QEL
    {0.125,   kFontNotStated, 0, 0, "2.0",                                             9,  256},   // DEFAULT
}};
// clang-format on

// Every speed text the model offers, by walking the cursor.
std::string EnumeratedSpeeds(int model, int unit) {
    std::string all;
    int cursor = 0;
    for (int guard = 0; guard < 64; ++guard) {
        auto out = Buffer(PROP_SPEED_TEXT_SIZE);
        const int before = cursor;
        if (propEnumPrintSpeedStr(model, unit, &cursor, out.data()) == 0) {
            EXPECT_EQ(cursor, before) << "a finished walk leaves the cursor alone";
            break;
        }
        EXPECT_GT(cursor, before);
        all += (all.empty() ? "" : " ") + std::string(out.data());
    }
    return all;
}

TEST(ModelRows, PitchFontSizeDirectoryAndImageSizePerModel) {
    for (int m = 0; m < kModels; ++m) {
        const ModelExpect& e = kRows[static_cast<std::size_t>(m)];
        SCOPED_TRACE(kNames[static_cast<std::size_t>(m)]);
        EXPECT_DOUBLE_EQ(propGetMMPerDot(m), e.mmPerDot);
        EXPECT_EQ(propDirCmd(m), e.directory);
        ASSERT_NE(tarvo::FindModelRow(m), nullptr);
        EXPECT_EQ(tarvo::FindModelRow(m)->imageSizeKb, e.imageKb);
        EXPECT_EQ(tarvo::FindModelRow(m)->index, m);
        const float inches = propGetMaxFontSize(m, 0);
        const float centimetres = propGetMaxFontSize(m, 1);
        if (e.maxInches != kFontNotStated) {
            EXPECT_FLOAT_EQ(inches, e.maxInches);
            EXPECT_FLOAT_EQ(centimetres, e.maxCentimetres);
        }
        // Both units describe one size; chosen sizes stay inside the family's span.
        EXPECT_NEAR(centimetres, inches * 2.54f, 0.005f);
        EXPECT_GE(inches, 2.5f);
        EXPECT_LE(inches, 4.0f);
        EXPECT_EQ(propGetMaxFontSize(m, 2), 0.0f);
        EXPECT_EQ(propGetMaxFontSize(m, -1), 0.0f);
    }
}

TEST(ModelRows, SpeedsPerModelInBothUnits) {
    for (int m = 0; m < kModels; ++m) {
        const ModelExpect& e = kRows[static_cast<std::size_t>(m)];
        SCOPED_TRACE(kNames[static_cast<std::size_t>(m)]);
        EXPECT_EQ(EnumeratedSpeeds(m, 0), e.speeds);

        // The keys in order, and the centimetre walk naming the same keys.
        std::istringstream texts(e.speeds);
        std::string text;
        std::string expectedCm;
        int n = 0;
        for (; texts >> text; ++n) {
            const int key = propGetPrintSpeedInt(m, n);
            EXPECT_EQ(key, static_cast<int>(std::lround(std::stod(text) * 10))) << n;
            auto cm = Buffer(PROP_SPEED_TEXT_SIZE);
            propGetPrintSpeedStr(key, 1, cm.data());
            expectedCm += (expectedCm.empty() ? "" : " ") + std::string(cm.data());
        }
        EXPECT_EQ(propGetPrintSpeedInt(m, n), 0) << "no key past the last speed";
        EXPECT_EQ(propGetPrintSpeedInt(m, -1), 0);
        EXPECT_EQ(EnumeratedSpeeds(m, 1), expectedCm);
    }
}

TEST(ModelRows, OutsideTheTableModelsEverythingIsEmpty) {
    for (int m : {-1, 26, 33, 41, 42}) {
        SCOPED_TRACE(m);
        EXPECT_EQ(propGetMMPerDot(m), 0.0);
        EXPECT_EQ(propGetMaxFontSize(m, 0), 0.0f);
        EXPECT_EQ(propGetMaxFontSize(m, 1), 0.0f);
        EXPECT_EQ(propDirCmd(m), 0);
        EXPECT_EQ(propGetResFontCount(m), 0);
        EXPECT_EQ(propGetResFont(m, 0), nullptr);
        EXPECT_EQ(propCheckFontLoc(m, 0), 0);
        EXPECT_EQ(propGetPrintSpeedInt(m, 0), 0);
        EXPECT_EQ(tarvo::FindModelRow(m), nullptr);
        int cursor = 0;
        auto out = Buffer(PROP_SPEED_TEXT_SIZE);
        EXPECT_EQ(propEnumPrintSpeedStr(m, 0, &cursor, out.data()), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Speed keys and texts

TEST(SpeedTexts, EveryKeyInBothUnits) {
    const std::array<const char*, 21> centimetres = {
        "5.08",  "6.35",  "7.62",  "8.89",  "10.16", "11.43", "12.70",
        "13.97", "15.24", "16.51", "17.78", "19.05", "20.32", "21.59",
        "22.86", "24.13", "25.40", "26.67", "27.9",  "29.21", "30.0",
    };
    for (int j = 0; j < 21; ++j) {
        const int key = 20 + 5 * j;
        char inches[16];
        std::snprintf(inches, sizeof inches, "%d.%d", key / 10, key % 10);
        auto out = Buffer(PROP_SPEED_TEXT_SIZE);
        propGetPrintSpeedStr(key, 0, out.data());
        EXPECT_STREQ(out.data(), inches) << key;
        propGetPrintSpeedStr(key, 1, out.data());
        EXPECT_STREQ(out.data(), centimetres[static_cast<std::size_t>(j)]) << key;
        EXPECT_EQ(tarvo::SpeedBitOfKey(key), j);
        EXPECT_EQ(tarvo::SpeedKeyOfBit(j), key);
    }
}

TEST(SpeedTexts, UnknownKeyOrUnitLeavesTheBufferAlone) {
    for (int key : {0, 15, 21, 22, 119, 125, 130, -20}) {
        char out[PROP_SPEED_TEXT_SIZE] = "same";
        propGetPrintSpeedStr(key, 0, out);
        EXPECT_STREQ(out, "same") << key;
        propGetPrintSpeedStr(key, 1, out);
        EXPECT_STREQ(out, "same") << key;
        EXPECT_EQ(tarvo::SpeedBitOfKey(key), -1);
    }
    char out[PROP_SPEED_TEXT_SIZE] = "same";
    propGetPrintSpeedStr(30, 2, out);
    propGetPrintSpeedStr(30, -1, out);
    EXPECT_STREQ(out, "same");
    propGetPrintSpeedStr(30, 0, nullptr);
}

TEST(SpeedWalk, ModelElevenInOrderThenDone) {
    const char* expected[] = {"2.5", "3.0", "3.5", "4.0", "4.5", "5.0", "5.5",
                              "6.0", "6.5", "7.0", "7.5", "8.5", "10.0"};
    int cursor = 0;
    char out[PROP_SPEED_TEXT_SIZE];
    for (const char* text : expected) {
        ASSERT_EQ(propEnumPrintSpeedStr(11, 0, &cursor, out), 1);
        EXPECT_STREQ(out, text);
    }
    EXPECT_EQ(propEnumPrintSpeedStr(11, 0, &cursor, out), 0);
}

TEST(SpeedWalk, CursorIsTheNextBitToLookAt) {
    char out[PROP_SPEED_TEXT_SIZE];
    int cursor = 1;  // model 16: keys 20, 30, 40, 50, 60, 80 -> bits 0, 2, 4, 6, 8, 12
    ASSERT_EQ(propEnumPrintSpeedStr(16, 0, &cursor, out), 1);
    EXPECT_STREQ(out, "3.0");
    EXPECT_EQ(cursor, 3);
    cursor = 9;
    ASSERT_EQ(propEnumPrintSpeedStr(16, 1, &cursor, out), 1);
    EXPECT_STREQ(out, "20.32");
    EXPECT_EQ(cursor, 13);
    EXPECT_EQ(propEnumPrintSpeedStr(16, 0, &cursor, out), 0);
    cursor = 20;  // model 23 reaches the last key, 12.0 in/s
    ASSERT_EQ(propEnumPrintSpeedStr(23, 1, &cursor, out), 1);
    EXPECT_STREQ(out, "30.0");
    EXPECT_EQ(cursor, 21);
    EXPECT_EQ(propEnumPrintSpeedStr(23, 1, &cursor, out), 0);
}

TEST(SpeedWalk, BadArgumentsAnswerNothing) {
    char out[PROP_SPEED_TEXT_SIZE] = "same";
    for (int start : {-1, 24, 100}) {
        int cursor = start;
        EXPECT_EQ(propEnumPrintSpeedStr(6, 0, &cursor, out), 0) << start;
        EXPECT_EQ(cursor, start);
    }
    int cursor = 0;
    EXPECT_EQ(propEnumPrintSpeedStr(6, 2, &cursor, out), 0);
    EXPECT_EQ(propEnumPrintSpeedStr(6, 0, nullptr, out), 0);
    EXPECT_EQ(propEnumPrintSpeedStr(6, 0, &cursor, nullptr), 0);
    EXPECT_EQ(cursor, 0);
    EXPECT_STREQ(out, "same");
}

// ---------------------------------------------------------------------------------------------
// Resident fonts and font numbers

struct FontExpect {
    int number;
    const char* description;
    const char* kind;
};

const std::vector<FontExpect> kFontList9 = {
    {0, "7x9 std", "Bitmap"},    {1, "7x11 OCR", "Bitmap"},  {2, "10x14 std", "Bitmap"},
    {7, "5x7 std", "Bitmap"},    {20, "8 pt std", "Bitmap"}, {21, "12 pt std", "Bitmap"},
    {22, "20 pt std", "Bitmap"}, {23, "fntOCRA", "Bitmap"},  {24, "fntOCRB", "Bitmap"},
};
const std::vector<FontExpect> kFontsAfter25 = {
    {30, "6 pt bld", "Bitmap"},  {31, "8 pt bld", "Bitmap"},  {32, "10 pt std", "Bitmap"},
    {33, "10 pt bld", "Bitmap"}, {34, "12 pt bld", "Bitmap"}, {35, "16 pt std", "Bitmap"},
    {36, "16 pt bld", "Bitmap"}, {37, "20 pt bld", "Bitmap"}, {38, "24 pt std", "Bitmap"},
    {39, "24 pt bld", "Bitmap"}, {40, "30 pt bld", "Bitmap"}, {41, "36 pt bld", "Bitmap"},
};

std::vector<FontExpect> FontList(int which) {
    std::vector<FontExpect> list = kFontList9;
    if (which == 9) {
        return list;
    }
    list.push_back({25, "821 Std", "Speedo"});
    if (which == 24) {
        list.push_back({26, "821 Bld", "Speedo"});
        list.push_back({28, "DtchRmn801", "Speedo"});
    }
    list.insert(list.end(), kFontsAfter25.begin(), kFontsAfter25.end());
    return list;
}

std::set<int> TakenNumbers(int which) {
    std::set<int> taken;
    const int last = which == 9 ? 24 : which == 22 ? 25 : 26;
    for (int n = 0; n <= last; ++n) {
        taken.insert(n);
    }
    if (which != 9) {
        for (int n = 30; n <= 41; ++n) {
            taken.insert(n);
        }
    }
    if (which == 24) {
        taken.insert(28);
    }
    return taken;
}

TEST(ResidentFonts, ExactTextsPerModel) {
    EXPECT_STREQ(propGetResFont(0, 0), "FONT00  7x9 std         0B Bitmap");
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE(kNames[static_cast<std::size_t>(m)]);
        const auto fonts = FontList(kRows[static_cast<std::size_t>(m)].fontList);
        ASSERT_EQ(propGetResFontCount(m), static_cast<int>(fonts.size()));
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            char text[64];
            std::snprintf(text, sizeof text, "FONT%02d  %-16s0B %s", fonts[i].number,
                          fonts[i].description, fonts[i].kind);
            ASSERT_EQ(std::strlen(text), 33u);
            EXPECT_STREQ(propGetResFont(m, static_cast<int>(i)), text) << i;
        }
        EXPECT_EQ(propGetResFont(m, static_cast<int>(fonts.size())), nullptr);
        EXPECT_EQ(propGetResFont(m, -1), nullptr);
    }
}

TEST(FontLocations, TakenNumbersPerModel) {
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE(kNames[static_cast<std::size_t>(m)]);
        const auto taken = TakenNumbers(kRows[static_cast<std::size_t>(m)].fontList);
        for (int n = 0; n < 48; ++n) {
            EXPECT_EQ(propCheckFontLoc(m, n), taken.count(n) ? 1 : 0) << n;
        }
        for (int n : {48, 63, 64, 1000, -1}) {
            EXPECT_EQ(propCheckFontLoc(m, n), 0) << n;
        }
    }
    EXPECT_EQ(propCheckFontLoc(0, 25), 0);
    EXPECT_EQ(propCheckFontLoc(4, 28), 1);
    EXPECT_EQ(propCheckFontLoc(4, 27), 0);
}

TEST(FontLocations, MapsAreStoredMostSignificantBitFirst) {
    using Bytes = std::array<std::uint8_t, 6>;
    EXPECT_EQ(tarvo::FindModelRow(0)->fonts->taken, (Bytes{0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00}));
    EXPECT_EQ(tarvo::FindModelRow(1)->fonts->taken, (Bytes{0xFF, 0xFF, 0xFF, 0xC3, 0xFF, 0xC0}));
    EXPECT_EQ(tarvo::FindModelRow(4)->fonts->taken, (Bytes{0xFF, 0xFF, 0xFF, 0xEB, 0xFF, 0xC0}));
}

// ---------------------------------------------------------------------------------------------
// Character sets and emulations

TEST(CharSets, NamesAndBoundedCopies) {
    const std::array<std::string, 11> names = {
        "USA",   "United Kingdom", "Germany",     "Denmark", "France",        "Sweden",
        "Italy", "Spain",          "8-bit ASCII", "Swiss",   "Code Page 850",
    };
    for (int i = 0; i < 11; ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        EXPECT_EQ(tarvo::CharSetName(i), name);
        for (int max = 0; max <= static_cast<int>(name.size()) + 2; ++max) {
            auto out = Buffer(static_cast<std::size_t>(max) + 1);
            const int copied = propGetCharSetStr(i, out.data(), max);
            const std::string expected = name.substr(0, static_cast<std::size_t>(max));
            EXPECT_EQ(copied, static_cast<int>(expected.size())) << i << " max " << max;
            EXPECT_EQ(std::string(out.data()), expected) << i << " max " << max;
        }
    }
}

TEST(CharSets, BadIndexOrLengthWritesAnEmptyName) {
    for (int i : {-1, 11, 20}) {
        char out[8] = "same";
        EXPECT_EQ(propGetCharSetStr(i, out, 7), 0) << i;
        EXPECT_STREQ(out, "") << i;
    }
    char out[8] = "same";
    EXPECT_EQ(propGetCharSetStr(0, out, -1), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(propGetCharSetStr(0, nullptr, 7), 0);
    EXPECT_EQ(propGetCharSetStr(-1, nullptr, 7), 0);
}

TEST(Emulations, DotsPerInch) {
    EXPECT_EQ(propGetPrinterEmulate(0), 100);
    EXPECT_EQ(propGetPrinterEmulate(1), 200);
    EXPECT_EQ(propGetPrinterEmulate(2), 66);
    EXPECT_EQ(propGetPrinterEmulate(3), 400);
    EXPECT_EQ(propGetPrinterEmulate(4), 300);
    EXPECT_EQ(propGetPrinterEmulate(5), -1);
    EXPECT_EQ(propGetPrinterEmulate(-1), -1);
}

// ---------------------------------------------------------------------------------------------
// Settings: who offers them

// One row per setting; column n is model n: 'x' offered, '.' not.
// clang-format off
const std::array<const char*, PROP_SETTING_COUNT> kOffered = {
    //           1111111111222222
    // 01234567890123456789012345
      "xxxxxxxxxxxxxxxxxxxxxxxxx.",  //  0 model
      "xxxxxxxxxxxxxxxxxxxxxxxxx.",  //  1
      "xxxxxxxx..xxxxxxxxxxxxxxx.",  //  2 emulation
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  //  3 speed
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  //  4 character set
      "xxxxxxxx...xxx..xxxx......",  //  5 image bands
      "xxxx.x....x.xx..x.........",  //  6 memory size
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  //  7
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  //  8
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  //  9
      "..x...xxxxxxxxxx....xxxxx.",  // 10 cutter
      "........xx.xxxxx....xxxxx.",  // 11 media type
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 12 label stock
      "xxxxxxxx..xxxxxxxxxxxxxxx.",  // 13 sensitivity
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 14
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 15
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 16
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 17
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 18
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 19
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 20
      "......xx..........xx......",  // 21 take-up motor
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 22
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 23
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 24
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 25
      "xxxxxxxxxxxxxx..xxxx.....x",  // 26 message delay
      "xxxxxxxxxxxxxx..xxxx.....x",  // 27 inter-character delay
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 28
      "xxxxxxxxxxxxxxxxxxxxxxxxxx",  // 29
      "........xx.x..............",  // 30 A
      "......xxxxxxxx..xxxx......",  // 31 label width
      "...........x..............",  // 32 audible alarm
      "........xx.x..............",  // 33 online at power-up
      "..x.x.xx....xxxxxxxxxxxxx.",  // 34 h (model 4 from 1.4.1)
      "..x.x.xx....xxxxxxxxxxxxx.",  // 35
      "......xx....xx..xxxx......",  // 36 p
      "......xx....xx..xxxx......",  // 37
      "......xx......xxxxxxxxxxx.",  // 38 e
      "............xx............",  // 39
      "............xx............",  // 40 second speed
      "................xxxxxxxxx.",  // 41 z (from 2.4.1 / 2.10)
      "................xxxx......",  // 42 v (from 2.4.1)
};
// clang-format on

TEST(SettingOffers, EveryModelAndSettingWithARecentFirmware) {
    for (int s = 0; s < PROP_SETTING_COUNT; ++s) {
        const std::string row = kOffered[static_cast<std::size_t>(s)];
        ASSERT_EQ(row.size(), 26u) << s;
        for (int m = 0; m < kModels; ++m) {
            const int expected = row[static_cast<std::size_t>(m)] == 'x' ? 1 : 0;
            EXPECT_EQ(propCfgSupport(m, s, "9.9"), expected) << "model " << m << " setting " << s;
            EXPECT_EQ(tarvo::FindSetting(m, s)->offered, expected == 1);
        }
    }
}

TEST(SettingOffers, FirmwareFloorsOnlyWhereGiven) {
    for (int s = 0; s < PROP_SETTING_COUNT; ++s) {
        for (int m = 0; m < kModels; ++m) {
            std::string floor;
            if ((s == 34 || s == 35) && m == 4) {
                floor = "1.4.1";
            } else if ((s == 41 || s == 42) && m >= 16 && m <= 19) {
                floor = "2.4.1";
            } else if (s == 41 && m >= 20 && m <= 24) {
                floor = "2.10";
            }
            SCOPED_TRACE(testing::Message() << "model " << m << " setting " << s);
            EXPECT_EQ(tarvo::FindSetting(m, s)->minFirmware, floor);
            const int offered = kOffered[static_cast<std::size_t>(s)][m] == 'x' ? 1 : 0;
            const int expected = floor.empty() ? offered : 0;
            EXPECT_EQ(propCfgSupport(m, s, ""), expected);
            EXPECT_EQ(propCfgSupport(m, s, nullptr), expected);
            EXPECT_EQ(propCfgSupport(m, s, floor.c_str()), offered);
        }
    }
}

TEST(SettingOffers, VersionTextsCompareByteByByte) {
    EXPECT_EQ(propCfgSupport(4, 34, "1.4.0"), 0);
    EXPECT_EQ(propCfgSupport(4, 34, "1.4.1"), 1);
    EXPECT_EQ(propCfgSupport(4, 35, "1.4"), 0);
    EXPECT_EQ(propCfgSupport(4, 35, "1.4.10"), 1);
    EXPECT_EQ(propCfgSupport(4, 34, "1.5"), 1);
    EXPECT_EQ(propCfgSupport(2, 34, "0.1"), 1);  // no floor on model 2

    EXPECT_EQ(propCfgSupport(20, 41, "2.10"), 1);
    EXPECT_EQ(propCfgSupport(20, 41, "2.9"), 1);  // byte order, not version order
    EXPECT_EQ(propCfgSupport(20, 41, "2.1"), 0);
    EXPECT_EQ(propCfgSupport(24, 41, "2.09"), 0);
    EXPECT_EQ(propCfgSupport(16, 41, "2.4.1"), 1);
    EXPECT_EQ(propCfgSupport(19, 41, "2.4.0"), 0);
    EXPECT_EQ(propCfgSupport(16, 41, "2.10"), 0);  // "2.1" sorts before "2.4"
    EXPECT_EQ(propCfgSupport(17, 42, "2.4.1"), 1);
    EXPECT_EQ(propCfgSupport(20, 42, "9"), 0);  // not offered at any version

    // Bytes above 0x7F compare as unsigned, after every digit.
    EXPECT_EQ(propCfgSupport(16, 41, "\xC3"), 1);
}

TEST(SettingOffers, OutOfRangeIndicesAreRefused) {
    int value = 77;
    int second = 77;
    for (auto [m, s] : {std::pair{-1, 0}, {26, 0}, {41, 3}, {0, -1}, {0, 43}, {25, 100}}) {
        SCOPED_TRACE(testing::Message() << m << "," << s);
        EXPECT_EQ(propCfgSupport(m, s, "9"), 0);
        EXPECT_EQ(propGetCfgDataType(m, s), 0);
        EXPECT_EQ(propGetCfgDefault(m, s, &value), 0);
        EXPECT_EQ(propGetCfgSetting(m, s, &value, &second), 0);
        EXPECT_EQ(tarvo::FindSetting(m, s), nullptr);
    }
    EXPECT_EQ(value, 77);
    EXPECT_EQ(second, 77);
}

// ---------------------------------------------------------------------------------------------
// Settings: kinds, defaults and domains

// clang-format off
constexpr std::array<int, PROP_SETTING_COUNT> kKinds = {
    2, 2, 0, 0, 0, 1, 1, 2, 2, 2,  //  0..9
    2, 0, 0, 1, 1, 1, 0, 2, 1, 1,  // 10..19
    1, 1, 2, 2, 2, 2, 1, 1, 2, 2,  // 20..29
    2, 1, 2, 0, 2, 2, 2, 2, 2, 2,  // 30..39
    0, 2, 2,                       // 40..42
};
// clang-format on

struct Cell {
    int kind = -1;
    int defaultValue = 0;
    int a = 0;
    int b = 0;
};

Cell Read(int model, int setting) {
    Cell c;
    c.kind = propGetCfgDataType(model, setting);
    EXPECT_EQ(propGetCfgDefault(model, setting, &c.defaultValue), 1);
    EXPECT_EQ(propGetCfgSetting(model, setting, &c.a, &c.b), 1);
    return c;
}

// One value per model, 0 to 25; a list of another length is a fault of the test itself.
using PerModel = std::vector<int>;

PerModel All(int v) {
    return PerModel(kModels, v);
}

// Checks one field of a setting for every model; kNotStated entries are skipped.
void ExpectColumn(int setting, const char* field, const PerModel& expected,
                  int (*pick)(const Cell&)) {
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kModels)) << "setting " << setting;
    for (int m = 0; m < kModels; ++m) {
        const int want = expected[static_cast<std::size_t>(m)];
        if (want != kNotStated) {
            EXPECT_EQ(pick(Read(m, setting)), want)
                << "setting " << setting << " " << field << " model " << m;
        }
    }
}

void ExpectDefaults(int setting, const PerModel& expected) {
    ExpectColumn(setting, "default", expected, [](const Cell& c) { return c.defaultValue; });
}

void ExpectMasks(int setting, const PerModel& expected) {
    ExpectColumn(setting, "mask", expected, [](const Cell& c) { return c.a; });
}

void ExpectRanges(int setting, const PerModel& low, const PerModel& high) {
    ExpectColumn(setting, "minimum", low, [](const Cell& c) { return c.a; });
    ExpectColumn(setting, "maximum", high, [](const Cell& c) { return c.b; });
}

constexpr int N = kNotStated;

// Per-model expectations, models 0 to 12 on the first line and 13 to 25 on the second.
// clang-format off
// setting 0: the model's own index, except 20 and 25
const PerModel kModelDefaults = { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12,
                                 13, 14, 15, 16, 17, 18, 19, 14, 21, 22, 23, 24,  8};
// setting 2
const PerModel kEmulationDefaults = {2, 2, 2, 2, 0, 2, 2, 0, 1, 1, 2, 2, 2,
                                     2, 2, 0, 2, 0, 2, 0, 2, 2, 0, 0, 0, 1};
const PerModel kEmulationMasks = {0x1c, 0x1c, 0x1c, 0x1c, 0x1d, 0x1d, 0x1c, 0x1d,  0x2,  0x2, 0x1d, 0x1c,  0xc,
                                   0xc, 0x1c, 0x1c, 0x1c, 0x1d, 0x1c, 0x1d, 0x1c, 0x1c, 0x1c, 0x1c, 0x1c,  0x2};
// setting 3; N: not given, the speed column stands in
const PerModel kSpeedDefaults = {30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30,  0,
                                 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
const PerModel kSpeedMasks = {0x55, 0x55, N, 0x55, 0x55, N, 0x1555, 0x1555, 0x1555, 0x55, 0x55, N, 0x1,
                              N, 0x1550, 0x1550, 0x1555, 0x1555, N, N, 0x1550, 0x1550, 0x1550, 0x155550, 0x155550, N};
// setting 6
const PerModel kMemoryDefaults = { 20,  60,  60,  60,  60,  60,  60,  60, 128, 128,  20, 128,  60,
                                   60,  60,  60,  60,  60,  60,  60,  60,  60,  60,  60,  60, 128};
const PerModel kMemoryMaxima = {128, 504, 504, 504, 256, 504, 504, 504, 512, 512, 128, 512, 504,
                                504, 504, 504, 504, 256, 504, 504, 504, 504, 504, 504, 504, 512};
// setting 15
const PerModel kLengthDefaults = {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1016, 1016, 1000, 1000, 1000,
                                  1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1016};
const PerModel kLengthMinima = {100, 100, 100, 100, 100, 100, 100, 100, 203, 203, 300,  51, 100,
                                100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 203};
const PerModel kLengthMaxima = {4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4877, 4877, 7200, 7200, 4800,
                                4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4800, 4877};
// setting 31; N: chosen, checked for consistency only
const PerModel kWidthDefaults = {1000, 1000, 1000, 1000, 1000, 1000,  813, 1626,    N,    N,    N,    N,    N,
                                    N,  813, 1626, 1000, 1000,  813, 1626,  813,  813, 1626, 1626, 1626,    N};
const PerModel kWidthMinima = {100, 100, 100, 100, 100, 100, 152,  50,   N,   N,   N,   N,   N,
                                 N, 152,  50, 100, 100, 152,  50, 152, 152,  50,  50,  50,   N};
const PerModel kWidthMaxima = {4800, 4800, 4800, 4800, 4800, 4800,  896, 1792,    N,    N,    N,    N,    N,
                                  N,  896, 1792, 4800, 4800,  896, 1792,  896,  896, 1792, 1792, 1792,    N};
// setting 38
const PerModel kEValueDefaults = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0,
                                  0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0};
// clang-format on

TEST(SettingValues, KindIsPerSettingOnEveryModel) {
    for (int s = 0; s < PROP_SETTING_COUNT; ++s) {
        for (int m = 0; m < kModels; ++m) {
            EXPECT_EQ(propGetCfgDataType(m, s), kKinds[static_cast<std::size_t>(s)])
                << "model " << m << " setting " << s;
        }
    }
}

TEST(SettingValues, ModelAndFirstSetting) {
    ExpectDefaults(0, kModelDefaults);
    ExpectDefaults(1, All(1));
}

TEST(SettingValues, Emulation) {
    ExpectDefaults(2, kEmulationDefaults);
    ExpectMasks(2, kEmulationMasks);
}

// The speed column of a model as a mask, from its speed keys.
int SpeedColumnMask(int model) {
    int mask = 0;
    for (int n = 0; propGetPrintSpeedInt(model, n) != 0; ++n) {
        mask |= 1 << ((propGetPrintSpeedInt(model, n) - 20) / 5);
    }
    return mask;
}

TEST(SettingValues, PrintSpeed) {
    ExpectDefaults(3, kSpeedDefaults);
    ExpectMasks(3, kSpeedMasks);
    // Where no mask was given, the model's speed column is its domain.
    for (int m = 0; m < kModels; ++m) {
        if (kSpeedMasks[static_cast<std::size_t>(m)] == N) {
            EXPECT_EQ(Read(m, 3).a, SpeedColumnMask(m)) << m;
        }
    }
    // Where one was given it may differ from the speed column, and neither is bent to the other.
    EXPECT_EQ(SpeedColumnMask(16), 0x1155);
    EXPECT_EQ(SpeedColumnMask(14), 0x1555);
    EXPECT_EQ(SpeedColumnMask(23), 0x155555);
}

TEST(SettingValues, SecondSpeedFollowsThePrintSpeed) {
    for (int m = 0; m < kModels; ++m) {
        const Cell c = Read(m, 40);
        if (m == 12 || m == 13) {
            EXPECT_EQ(c.defaultValue, 0) << m;
            EXPECT_EQ(c.a, 0x1) << m;
        } else {
            EXPECT_EQ(c.defaultValue, 30) << m;
            EXPECT_EQ(c.a, Read(m, 3).a) << m;
        }
    }
}

TEST(SettingValues, CharacterSet) {
    ExpectDefaults(4, All(0));
    for (int m = 0; m < kModels; ++m) {
        const int mask = Read(m, 4).a;
        if (m == 25) {
            EXPECT_EQ(mask, 0x7ff);
        } else {
            EXPECT_TRUE(mask == 0x9 || mask == 0x14 || mask == 0xa) << m << ": " << mask;
        }
    }
}

TEST(SettingValues, ImageBandsAndMemorySize) {
    ExpectDefaults(5, All(3));
    PerModel bandsHigh = All(20);
    bandsHigh[11] = 10;
    ExpectRanges(5, All(2), bandsHigh);
    ExpectDefaults(6, kMemoryDefaults);
    ExpectRanges(6, All(10), kMemoryMaxima);
}

TEST(SettingValues, MediaSettings) {
    ExpectDefaults(11, All(0));
    ExpectMasks(11, All(0x3));
    ExpectDefaults(12, All(1));
    ExpectMasks(12, All(0x7));
    ExpectRanges(13, All(0), All(999));
    for (int m = 0; m < kModels; ++m) {
        const int d = Read(m, 13).defaultValue;
        EXPECT_TRUE(d == 420 || d == 470 || d == 180) << m << ": " << d;
    }
    ExpectDefaults(14, All(0));
    ExpectRanges(14, All(-10), All(10));
    PerModel paper = All(1);
    paper[1] = 0;
    ExpectDefaults(16, paper);
    ExpectMasks(16, All(0xf));
    ExpectDefaults(33, All(0));
    ExpectMasks(33, All(0x3));
}

TEST(SettingValues, LabelLengthAndWidth) {
    ExpectDefaults(15, kLengthDefaults);
    ExpectRanges(15, kLengthMinima, kLengthMaxima);
    ExpectDefaults(31, kWidthDefaults);
    ExpectRanges(31, kWidthMinima, kWidthMaxima);
    // Chosen widths: a proper range around the default, no wider than the 112 mm of the heads
    // whose ranges were given.
    for (int m = 0; m < kModels; ++m) {
        if (kWidthDefaults[static_cast<std::size_t>(m)] == N) {
            const Cell c = Read(m, 31);
            EXPECT_GT(c.a, 0) << m;
            EXPECT_LE(c.a, c.defaultValue) << m;
            EXPECT_LE(c.defaultValue, c.b) << m;
            EXPECT_LE(c.b * propGetMMPerDot(m), 112.01) << m;
        }
    }
}

TEST(SettingValues, PositionAndDelays) {
    ExpectDefaults(18, All(20));
    ExpectRanges(18, All(-10), All(3999));
    ExpectDefaults(19, All(0));
    ExpectRanges(19, All(0), All(9999));
    ExpectDefaults(20, All(0));
    ExpectRanges(20, All(-30), All(30));
    ExpectDefaults(21, All(0));
    ExpectRanges(21, All(0), All(50));
    for (int s : {26, 27}) {
        ExpectDefaults(s, All(0));
        ExpectRanges(s, All(0), All(9999));
    }
}

TEST(SettingValues, PlainValues) {
    for (int s : {7, 8, 9, 10, 22, 23, 24, 25, 28, 29, 30, 32, 34, 35, 36, 37, 39, 41, 42}) {
        ExpectDefaults(s, All(0));
    }
    ExpectDefaults(17, All(1));
    ExpectDefaults(38, kEValueDefaults);
}

TEST(SettingValues, DomainCallWritesOnlyWhatTheKindHas) {
    int a = 77;
    int b = 77;
    ASSERT_EQ(propGetCfgDataType(0, 2), PROP_KIND_LIST);
    EXPECT_EQ(propGetCfgSetting(0, 2, &a, nullptr), 1);
    EXPECT_EQ(a, 0x1c);
    EXPECT_EQ(propGetCfgSetting(0, 2, &a, &b), 1);
    EXPECT_EQ(b, 77);

    a = 77;
    ASSERT_EQ(propGetCfgDataType(0, 5), PROP_KIND_RANGE);
    EXPECT_EQ(propGetCfgSetting(0, 5, &a, nullptr), 0);
    EXPECT_EQ(a, 77);
    EXPECT_EQ(propGetCfgSetting(0, 5, nullptr, &b), 0);
    EXPECT_EQ(b, 77);

    ASSERT_EQ(propGetCfgDataType(0, 7), PROP_KIND_OTHER);
    EXPECT_EQ(propGetCfgSetting(0, 7, &a, &b), 1);
    EXPECT_EQ(propGetCfgSetting(0, 7, &a, nullptr), 1);
    EXPECT_EQ(a, 77);
    EXPECT_EQ(b, 77);

    EXPECT_EQ(propGetCfgDefault(0, 3, nullptr), 0);
}

}  // namespace
