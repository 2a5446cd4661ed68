// The configuration text built from a record: the exact commands of a known printer, the
// model and firmware conditions, start and end characters, and agreement with the predicate the
// command-line tool uses to refuse values that would not reach the printer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/command_letters.h"
#include "config/setting_access.h"
#include "port/bounded_copy.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

ConfigRecord Record(int model, const char* firmware = "") {
    ConfigRecord r;
    r.model = static_cast<std::int16_t>(model);
    CopyBounded(firmware, r.firmware, sizeof r.firmware);
    r.valueV = kValueVNotSent;
    return r;
}

std::string Text(const ConfigRecord& r) {
    std::string text;
    EXPECT_EQ(BuildConfigurationText(r, &text), PCU_OK);
    return text;
}

// A 6220 as it typically leaves the factory, darkness turned down.
ConfigRecord Typical6220() {
    ConfigRecord r = Record(6, "1.13");
    r.takeUpAdjust = 7;
    r.emulation = 1;
    r.cutter = 1;
    r.trailMargin = 120;
    r.darkness = -5;
    r.valueE = 1;
    r.topOfForm = -8;
    r.restAdjust = 12;
    r.mediaType = 1;
    r.mediaSensitivity = 420;
    r.valueH1 = 1;
    r.imageBands = 3;
    r.labelLength = 1000;
    r.charSet = 2;
    r.memorySize = 60;
    r.valueP1 = 2;
    r.valueP2 = 1;
    r.retract = 1;
    r.printSpeed = 40;
    r.labelStock = 1;
    r.labelWidth = 813;
    return r;
}

TEST(ConfigTextTest, Typical6220InTheOrderThePrinterTakesIt) {
    EXPECT_EQ(Text(Typical6220()),
              "<SI>b007;<SI>C1;<SI>c1;<SI>D0120;<SI>d-05;<SI>e1;<SI>F-008;<SI>f012;"
              "<SI>g1,420;<SI>h1,0;<SI>I03;<SI>i0;<SI>L1000;<SI>l2;<SI>N060;<SI>p2,1;<SI>z0;"
              "<SI>R1;<SI>S40;<SI>T1;<SI>t0;<SI>W0813;"
              "<SYN>0000;<SOH><NUL><EOT><NUL><ESC>k;<ESC><SYN>0000;");
}

TEST(ConfigTextTest, StatusReportingDelaysAndVerifierFollowTheRecord) {
    ConfigRecord r = Typical6220();
    r.mediaStatus = 1;
    r.memoryStatus = 1;
    r.interCharDelay = 25;
    r.messageDelay = 1500;
    r.valueV = 2;
    const std::string text = Text(r);
    EXPECT_NE(text.find("<SI>z0;<SI>v2;<SI>R1;"), std::string::npos) << text;
    EXPECT_TRUE(
        text.ends_with("<SYN>0025;<SOH><NUL><EOT><NUL><ESC>k;<ESC>j;<ESC>e;"
                       "<ESC><SYN>1500;"))
        << text;
}

TEST(ConfigTextTest, ModelOnlyCommands) {
    // 6200C: menu security, audible alarm and online-at-power-up; no take-up, e, h, p or W
    // (its label width is offered, so W stays).
    const std::string c6200 = Text(Record(11));
    EXPECT_TRUE(c6200.starts_with("<SI>A0;<SI>a0;<SI>C0;")) << c6200;
    EXPECT_NE(c6200.find("<SI>N000;<SI>O0;<SI>z0;"), std::string::npos) << c6200;
    // 6430: A and O, no a.
    const std::string c6430 = Text(Record(8));
    EXPECT_TRUE(c6430.starts_with("<SI>A0;<SI>C0;")) << c6430;
    EXPECT_NE(c6430.find("<SI>O0;"), std::string::npos);
    // 5200A: none of the optional commands at all.
    EXPECT_EQ(Text(Record(0)),
              "<SI>C0;<SI>c0;<SI>D0000;<SI>d000;<SI>F0000;<SI>f000;<SI>g0,0;<SI>I00;<SI>i0;"
              "<SI>L0000;<SI>l0;<SI>N000;<SI>z0;<SI>R0;<SI>S00;<SI>T0;<SI>t0;"
              "<SYN>0000;<SOH><NUL><EOT><NUL><ESC>k;<ESC><SYN>0000;");
    // The take-up adjustment is offered on the 6220E but only ever sent to the 6220 and 6240.
    ConfigRecord e6220 = Record(18);
    e6220.takeUpAdjust = 30;
    EXPECT_EQ(Text(e6220).find("<SI>b"), std::string::npos);
}

TEST(ConfigTextTest, MirrorAndInverseFollowTheFirmware) {
    EXPECT_EQ(Text(Record(4, "1.4.0")).find("<SI>h"), std::string::npos);
    EXPECT_NE(Text(Record(4, "1.4.1")).find("<SI>h0,0;"), std::string::npos);
}

TEST(ConfigTextTest, StartAndEndCharacters) {
    ConfigRecord r = Record(0);
    r.startChar = 'A';
    r.endChar = '\r';
    EXPECT_TRUE(Text(r).ends_with("<SOH>A;<EOT><CR>;<ESC>k;<ESC><SYN>0000;"));
    r.startChar = '\x10';  // a reader skips the first <DLE>
    r.endChar = '\x03';
    EXPECT_TRUE(Text(r).ends_with("<SOH><DLE><DLE>;<EOT><ETX>;<ESC>k;<ESC><SYN>0000;"));
    r.startChar = static_cast<char>(0xE9);
    r.endChar = 0;
    EXPECT_TRUE(Text(r).ends_with("<SOH>\xE9;<EOT><NUL><ESC>k;<ESC><SYN>0000;"));
}

TEST(ConfigTextTest, RefusesWhatNoCommandCanCarry) {
    std::string text = "untouched";
    ConfigRecord r = Record(0);
    r.startChar = ';';
    EXPECT_EQ(BuildConfigurationText(r, &text), PCU_ERR_ARGUMENT);
    r.startChar = 0;
    r.endChar = '<';
    EXPECT_EQ(BuildConfigurationText(r, &text), PCU_ERR_ARGUMENT);
    r.endChar = 0;
    for (int model : {-1, 26, 40, 41, 100}) {
        r.model = static_cast<std::int16_t>(model);
        EXPECT_EQ(BuildConfigurationText(r, &text), PCU_ERR_ARGUMENT) << model;
    }
    EXPECT_EQ(text, "untouched");
}

TEST(ConfigTextTest, NumbersKeepTheirWidthAtTheExtremes) {
    ConfigRecord r = Record(6);
    r.darkness = -2147483647 - 1;
    r.labelLength = 65535;
    r.topOfForm = -32768;
    r.printSpeed = 120;
    const std::string text = Text(r);
    EXPECT_NE(text.find("<SI>d-2147483648;"), std::string::npos);
    EXPECT_NE(text.find("<SI>L65535;"), std::string::npos);
    EXPECT_NE(text.find("<SI>F-32768;"), std::string::npos);
    EXPECT_NE(text.find("<SI>S120;"), std::string::npos);
}

TEST(ConfigTextTest, HeaderNamesModelAndFirmwareUpToABlank) {
    EXPECT_EQ(ConfigurationHeader(Record(0, "2.4.1")), "<ETX>5200A,2.4.1");
    EXPECT_EQ(ConfigurationHeader(Record(16, "1.2 beta")), "<ETX>5200E (200dpi),1.2");
    EXPECT_EQ(ConfigurationHeader(Record(25)), "<ETX>DEFAULT,");
}

// What the tool refuses must be exactly what the text leaves out: for every model, firmware
// and setting, changing the value changes the text if and only if it reaches the printer.
TEST(ConfigTextTest, SettingReachesPrinterAgreesWithTheText) {
    for (const char* firmware : {"", "1.4.0", "2.10", "9.9"}) {
        for (int model = 0; model < kTableModelCount; ++model) {
            ConfigRecord base = Record(model, firmware);
            base.valueV = 5;
            base.startChar = 'A';
            base.endChar = 'B';
            const std::string before = Text(base);
            for (int setting = 1; setting < kConfigSettingCount; ++setting) {
                ConfigRecord changed = base;
                const int value = ReadSetting(base, setting) + 1;
                unsigned char slot[4];
                std::memcpy(slot, &value, sizeof slot);
                WriteSetting(changed, setting, slot);
                const bool textChanged = Text(changed) != before;
                EXPECT_EQ(textChanged, SettingReachesPrinter(model, firmware, setting, nullptr))
                    << "model " << model << " firmware '" << firmware << "' setting " << setting;
            }
        }
    }
}

TEST(ConfigTextTest, SettingReachesPrinterExplainsWhyNot) {
    std::string why;
    EXPECT_FALSE(SettingReachesPrinter(18, "1.13", 21, &why)) << "offered, but never sent";
    EXPECT_NE(why.find("6220"), std::string::npos);
    why.clear();
    EXPECT_FALSE(SettingReachesPrinter(6, "1.13", 16, &why));
    EXPECT_FALSE(why.empty());
}

}  // namespace
}  // namespace tarvo
