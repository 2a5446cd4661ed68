// The model tables through their exports: what must hold on every row (names that find their
// model back, speed walks that agree with the speed keys, font texts that agree with the taken
// numbers, defaults inside their domains), a few cells spot-checked, and the refusals of indices
// and buffers out of range. The tables themselves are not copied here: a copy only repeats a
// slip instead of catching it.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tarvo/base/model_tables.h"
#include "tarvo/models.h"

namespace {

constexpr int kModels = PROP_TABLE_MODELS;

// A heap buffer of exactly `size` bytes, so that the sanitizer sees any write past it.
std::vector<char> Buffer(std::size_t size, char fill = 'Z') {
    return std::vector<char>(size, fill);
}

// ---------------------------------------------------------------------------------------------
// Names and families

TEST(ModelNames, EveryIndexHasANameThatFindsItBack) {
    EXPECT_EQ(propGetPrinterCount(), PROP_MODEL_COUNT);
    for (int m = 0; m < PROP_MODEL_COUNT; ++m) {
        auto out = Buffer(PROP_NAME_SIZE);
        EXPECT_EQ(propGetPrinterStr(m, out.data()), 1) << m;
        EXPECT_NE(out[0], '\0') << m;
        EXPECT_EQ(propGetPrinterID(out.data()), m);
        EXPECT_EQ(tarvo::ModelName(m), out.data());
        EXPECT_EQ(tarvo::ModelIndexOf(out.data()), m);
    }
    const std::pair<int, const char*> spots[] = {
        {0, "5200A"}, {17, "5200E (400dpi)"}, {25, "DEFAULT"}, {40, "TQ8e"}, {41, "Unknown"}};
    for (const auto& [m, name] : spots)
        EXPECT_EQ(tarvo::ModelName(m), name);
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

// Every speed text the model offers, by walking the cursor.
std::vector<std::string> EnumeratedSpeeds(int model, int unit) {
    std::vector<std::string> all;
    int cursor = 0;
    for (int guard = 0; guard < 64; ++guard) {
        auto out = Buffer(PROP_SPEED_TEXT_SIZE);
        const int before = cursor;
        if (propEnumPrintSpeedStr(model, unit, &cursor, out.data()) == 0) {
            EXPECT_EQ(cursor, before) << "a finished walk leaves the cursor alone";
            break;
        }
        EXPECT_GT(cursor, before);
        all.emplace_back(out.data());
    }
    return all;
}

TEST(ModelRows, PitchFontSizeDirectoryAndImageSizeAgreeOnEveryRow) {
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE(tarvo::ModelName(m));
        const tarvo::ModelRow* row = tarvo::FindModelRow(m);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->index, m);
        EXPECT_DOUBLE_EQ(propGetMMPerDot(m), row->mmPerDot);
        EXPECT_TRUE(row->mmPerDot == 0.125 || row->mmPerDot == 0.0625 || row->mmPerDot == 0.08467);
        EXPECT_EQ(propDirCmd(m), row->directory ? 1 : 0);
        EXPECT_GE(row->imageSizeKb, 0);
        // Both units describe one size, inside the family's span.
        const float inches = propGetMaxFontSize(m, 0);
        EXPECT_NEAR(propGetMaxFontSize(m, 1), inches * 2.54f, 0.005f);
        EXPECT_GE(inches, 2.5f);
        EXPECT_LE(inches, 4.0f);
        EXPECT_EQ(propGetMaxFontSize(m, 2), 0.0f);
        EXPECT_EQ(propGetMaxFontSize(m, -1), 0.0f);
    }
    EXPECT_DOUBLE_EQ(propGetMMPerDot(8), 0.08467);
    EXPECT_FLOAT_EQ(propGetMaxFontSize(5, 1), 6.35f);
    EXPECT_EQ(propDirCmd(0), 0);
    EXPECT_EQ(propDirCmd(2), 1);
    EXPECT_EQ(tarvo::FindModelRow(8)->imageSizeKb, 1024);
}

TEST(ModelRows, SpeedWalksNameTheSpeedKeysInBothUnits) {
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE(tarvo::ModelName(m));
        const std::vector<std::string> inches = EnumeratedSpeeds(m, 0);
        const std::vector<std::string> centimetres = EnumeratedSpeeds(m, 1);
        ASSERT_FALSE(inches.empty());
        ASSERT_EQ(centimetres.size(), inches.size());
        std::uint32_t mask = 0;
        for (std::size_t n = 0; n < inches.size(); ++n) {
            const int key = propGetPrintSpeedInt(m, static_cast<int>(n));
            EXPECT_EQ(key, static_cast<int>(std::lround(std::stod(inches[n]) * 10))) << n;
            EXPECT_EQ(tarvo::SpeedText(key, 1), centimetres[n]) << n;
            if (n > 0)
                EXPECT_GT(key, propGetPrintSpeedInt(m, static_cast<int>(n) - 1));
            mask |= 1u << tarvo::SpeedBitOfKey(key);
        }
        EXPECT_EQ(mask, tarvo::FindModelRow(m)->speedMask);
        EXPECT_EQ(propGetPrintSpeedInt(m, static_cast<int>(inches.size())), 0);
        EXPECT_EQ(propGetPrintSpeedInt(m, -1), 0);
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
    for (int bit = 0; bit < 21; ++bit) {
        const int key = tarvo::SpeedKeyOfBit(bit);
        EXPECT_EQ(tarvo::SpeedBitOfKey(key), bit);
        char inches[16];
        std::snprintf(inches, sizeof inches, "%d.%d", key / 10, key % 10);
        auto out = Buffer(PROP_SPEED_TEXT_SIZE);
        propGetPrintSpeedStr(key, 0, out.data());
        EXPECT_STREQ(out.data(), inches) << key;
        propGetPrintSpeedStr(key, 1, out.data());
        EXPECT_NEAR(std::stod(out.data()), key * 0.254, 0.5) << key;
    }
    // The centimetre texts the printers' own pages show, rounding and all.
    const std::pair<int, const char*> spots[] = {
        {20, "5.08"}, {60, "15.24"}, {110, "27.9"}, {120, "30.0"}};
    for (const auto& [key, text] : spots)
        EXPECT_EQ(tarvo::SpeedText(key, 1), text);
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

TEST(ResidentFonts, TextsAreDirectoryLinesOfTakenNumbers) {
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE(tarvo::ModelName(m));
        const int count = propGetResFontCount(m);
        EXPECT_TRUE(count == 9 || count == 22 || count == 24) << count;
        int previous = -1;
        for (int i = 0; i < count; ++i) {
            const char* text = propGetResFont(m, i);
            ASSERT_NE(text, nullptr);
            ASSERT_EQ(std::strlen(text), 33u) << i;
            EXPECT_EQ(std::string(text, 4), "FONT");
            const int number = std::stoi(std::string(text + 4, 2));
            EXPECT_GT(number, previous) << "in ascending order";
            previous = number;
            EXPECT_EQ(propCheckFontLoc(m, number), 1) << number;
            EXPECT_EQ(std::string(text + 24, 3), "0B ");
        }
        EXPECT_EQ(propGetResFont(m, count), nullptr);
        EXPECT_EQ(propGetResFont(m, -1), nullptr);
        for (int n : {48, 63, 64, 1000, -1})
            EXPECT_EQ(propCheckFontLoc(m, n), 0) << n;
    }
    EXPECT_STREQ(propGetResFont(0, 0), "FONT00  7x9 std         0B Bitmap");
    EXPECT_STREQ(propGetResFont(4, 10), "FONT26  821 Bld         0B Speedo");
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

TEST(CharSets, BoundedCopiesOfEveryName) {
    for (int i = 0; i < 11; ++i) {
        const std::string name(tarvo::CharSetName(i));
        ASSERT_FALSE(name.empty()) << i;
        for (int max = 0; max <= static_cast<int>(name.size()) + 2; ++max) {
            auto out = Buffer(static_cast<std::size_t>(max) + 1);
            const int copied = propGetCharSetStr(i, out.data(), max);
            const std::string expected = name.substr(0, static_cast<std::size_t>(max));
            EXPECT_EQ(copied, static_cast<int>(expected.size())) << i << " max " << max;
            EXPECT_EQ(std::string(out.data()), expected) << i << " max " << max;
        }
    }
    EXPECT_EQ(tarvo::CharSetName(0), "USA");
    EXPECT_EQ(tarvo::CharSetName(10), "Code Page 850");
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
    const int dpi[] = {100, 200, 66, 400, 300};
    for (int e = 0; e < 5; ++e)
        EXPECT_EQ(propGetPrinterEmulate(e), dpi[e]);
    EXPECT_EQ(propGetPrinterEmulate(5), -1);
    EXPECT_EQ(propGetPrinterEmulate(-1), -1);
}

// ---------------------------------------------------------------------------------------------
// Settings: who offers them, from which firmware

TEST(SettingOffers, TheExportAgreesWithTheCellsOnEveryModel) {
    for (int s = 0; s < PROP_SETTING_COUNT; ++s) {
        for (int m = 0; m < kModels; ++m) {
            SCOPED_TRACE(testing::Message() << "model " << m << " setting " << s);
            const tarvo::SettingCell* cell = tarvo::FindSetting(m, s);
            ASSERT_NE(cell, nullptr);
            const std::string floor = cell->minFirmware;
            const int offered = cell->offered ? 1 : 0;
            EXPECT_EQ(propCfgSupport(m, s, "9.9"), offered);
            EXPECT_EQ(propCfgSupport(m, s, floor.c_str()), offered);
            EXPECT_EQ(propCfgSupport(m, s, ""), floor.empty() ? offered : 0);
            EXPECT_EQ(propCfgSupport(m, s, nullptr), floor.empty() ? offered : 0);
            // The kind belongs to the setting, whatever the model.
            EXPECT_EQ(propGetCfgDataType(m, s), propGetCfgDataType(0, s));
        }
    }
    // Spot checks: every model has a speed, DEFAULT no model setting, only some a cutter.
    EXPECT_EQ(propCfgSupport(25, 3, "9"), 1);
    EXPECT_EQ(propCfgSupport(25, 0, "9"), 0);
    EXPECT_EQ(propCfgSupport(2, 10, "9"), 1);
    EXPECT_EQ(propCfgSupport(0, 10, "9"), 0);
    EXPECT_STREQ(tarvo::FindSetting(4, 34)->minFirmware, "1.4.1");
    EXPECT_STREQ(tarvo::FindSetting(16, 42)->minFirmware, "2.4.1");
    EXPECT_STREQ(tarvo::FindSetting(20, 41)->minFirmware, "2.10");
    EXPECT_STREQ(tarvo::FindSetting(5, 34)->minFirmware, "");
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
// Settings: defaults and domains

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

TEST(SettingValues, RangesHoldTheirDefaults) {
    for (int s = 0; s < PROP_SETTING_COUNT; ++s) {
        for (int m = 0; m < kModels; ++m) {
            const Cell c = Read(m, s);
            if (c.kind == PROP_KIND_RANGE) {
                EXPECT_LE(c.a, c.defaultValue) << "model " << m << " setting " << s;
                EXPECT_LE(c.defaultValue, c.b) << "model " << m << " setting " << s;
            } else if (c.kind == PROP_KIND_LIST) {
                EXPECT_NE(c.a, 0) << "model " << m << " setting " << s;
            }
        }
    }
}

// The speed column of a model as a mask, from its speed keys.
int SpeedColumnMask(int model) {
    int mask = 0;
    for (int n = 0; propGetPrintSpeedInt(model, n) != 0; ++n)
        mask |= 1 << tarvo::SpeedBitOfKey(propGetPrintSpeedInt(model, n));
    return mask;
}

TEST(SettingValues, SpotChecks) {
    // The model setting names the model itself, with two exceptions.
    EXPECT_EQ(Read(7, 0).defaultValue, 7);
    EXPECT_EQ(Read(20, 0).defaultValue, 14);
    EXPECT_EQ(Read(25, 0).defaultValue, 8);
    // Emulations: the 300 dpi heads have that one only.
    EXPECT_EQ(Read(0, 2).a, 0x1c);
    EXPECT_EQ(Read(8, 2).a, 0x2);
    EXPECT_EQ(Read(8, 2).defaultValue, 1);
    // Print speed: a given mask may differ from the speed column, and neither is bent to the
    // other; where none was given the column stands in.
    EXPECT_EQ(Read(16, 3).a, 0x1555);
    EXPECT_EQ(SpeedColumnMask(16), 0x1155);
    EXPECT_EQ(Read(2, 3).a, SpeedColumnMask(2));
    EXPECT_EQ(Read(12, 3).defaultValue, 0);
    // Memory, label length and width.
    EXPECT_EQ(Read(0, 6).defaultValue, 20);
    EXPECT_EQ(Read(4, 6).b, 256);
    EXPECT_EQ(Read(10, 15).a, 300);
    EXPECT_EQ(Read(11, 15).b, 7200);
    EXPECT_EQ(Read(8, 15).defaultValue, 1016);
    EXPECT_EQ(Read(7, 31).b, 1792);
    EXPECT_EQ(Read(11, 5).b, 10);
    EXPECT_EQ(Read(1, 16).defaultValue, 0);
    EXPECT_EQ(Read(6, 38).defaultValue, 1);
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
