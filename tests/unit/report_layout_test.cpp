// The configuration report's text beyond the golden report of the integration tests: units,
// settings a model lacks, words for flags and choices, long text, and where pages break.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/report/report_layout.h"
#include "tarvo/report.h"

namespace tarvo {
namespace {

using report::FitLine;
using report::Paginate;
using report::ReportData;
using report::SectionLines;

constexpr int k5200A = 0;
constexpr int k6430 = 8;

// Wed Jun  3 07:05:09 1998
std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 98;
    t.tm_mon = 5;
    t.tm_mday = 3;
    t.tm_wday = 3;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}

// The lines of a page, each without its line feed; fails on a line that is not 80 wide.
std::vector<std::string> Lines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < page.size()) {
        const std::size_t end = page.find('\n', start);
        EXPECT_NE(end, std::string::npos) << "every line ends with a line feed";
        lines.push_back(page.substr(start, end - start));
        EXPECT_EQ(lines.back().size(), 80u) << lines.back();
        start = end + 1;
    }
    return lines;
}

// `text` padded to the report's width, as an expected line.
std::string L(const std::string& text) {
    return text + std::string(80 - text.size(), ' ');
}

template <class Record>
Record Entry(unsigned id, const char* description, std::uint32_t size) {
    Record r{};
    r.id = static_cast<std::uint16_t>(id);
    std::strncpy(r.description, description, sizeof r.description - 1);
    r.size = size;
    return r;
}

FontInfo Font(unsigned id, const char* description, std::uint32_t size, int type) {
    FontInfo f = Entry<FontInfo>(id, description, size);
    f.fontType = static_cast<std::int16_t>(type);
    return f;
}

ConfigRecord Record5200A() {
    ConfigRecord c;
    c.model = k5200A;
    std::strcpy(c.firmware, "3.10");
    c.emulation = 1;
    c.labelLength = 800;
    return c;
}

std::vector<std::string> ConfigLines(const ConfigRecord& c, bool metric) {
    return report::ConfigSection(c, metric);
}

TEST(ReportLayoutTest, LengthsInCentimetresOrInches) {
    const ConfigRecord c = Record5200A();
    EXPECT_EQ(ConfigLines(c, true)[23], L("      Label length                   10.00 cm"));
    EXPECT_EQ(ConfigLines(c, false)[23], L("      Label length                   3.94 in"));

    ConfigRecord handled = c;
    handled.model = k6430;  // 0.0847 mm per dot
    handled.labelWidth = 1200;
    handled.topOfForm = -24;
    handled.trailMargin = 300;
    handled.restAdjust = 40;
    const std::vector<std::string> metric = ConfigLines(handled, true);
    EXPECT_EQ(metric[24], L("      Label width                    10.16 cm"));
    EXPECT_EQ(metric[29], L("      Top of form                    -0.20 cm"));
    EXPECT_EQ(metric[30], L("      Trail margin                   2.54 cm"));
    EXPECT_EQ(metric[31], L("      Rest adjust                    10.00 mm"));
    const std::vector<std::string> inches = ConfigLines(handled, false);
    EXPECT_EQ(inches[24], L("      Label width                    4.00 in"));
    EXPECT_EQ(inches[30], L("      Trail margin                   1.00 in"));
    EXPECT_EQ(inches[31], L("      Rest adjust                    0.40 in"));
}

TEST(ReportLayoutTest, SettingsTheModelLacksShowNotAvailable) {
    // The 5200A has neither cutter, alarm, power-up switch nor label width.
    const std::vector<std::string> a = ConfigLines(Record5200A(), false);
    EXPECT_EQ(a[13], L("      Cutter enabled                 N/A"));
    EXPECT_EQ(a[14], L("      Audible alarm                  N/A"));
    EXPECT_EQ(a[15], L("      Online on power up             N/A"));
    EXPECT_EQ(a[16], L("      Printer emulate                200 dpi (5.0  mil)"));
    EXPECT_EQ(a[21], L("      Media sensitivity #            0"));
    EXPECT_EQ(a[24], L("      Label width                    N/A"));

    // The 6430 has those, but no emulation and no sensitivity setting.
    ConfigRecord c = Record5200A();
    c.model = k6430;
    c.cutter = 1;
    const std::vector<std::string> b = ConfigLines(c, false);
    EXPECT_EQ(b[13], L("      Cutter enabled                 TRUE"));
    EXPECT_EQ(b[15], L("      Online on power up             TRUE"));
    EXPECT_EQ(b[16], L("      Printer emulate                N/A"));
    EXPECT_EQ(b[21], L("      Media sensitivity #            N/A"));
}

TEST(ReportLayoutTest, AnEmulationOutsideTheTableIsNotShownAsANegativeResolution) {
    ConfigRecord c = Record5200A();
    c.emulation = 9;
    EXPECT_EQ(ConfigLines(c, false)[16], L("      Printer emulate                N/A"));
}

TEST(ReportLayoutTest, FlagsAndChoicesReadAsWords) {
    ConfigRecord c = Record5200A();
    c.mediaType = 1;
    c.labelStock = 2;
    c.paperHandling = 1;
    c.retract = 1;
    c.selfStrip = 1;
    c.bufferStatus = 1;
    c.messageDelay = 250;
    const std::vector<std::string> l = ConfigLines(c, false);
    ASSERT_EQ(l.size(), 40u);
    EXPECT_EQ(l[1], L("Configuration Parameters"));
    EXPECT_EQ(l[4], L("      Model                          5200A"));
    EXPECT_EQ(l[5], L("      Firmware                       3.10"));
    EXPECT_EQ(l[12], L("      Selfstrip enabled              TRUE"));
    EXPECT_EQ(l[19], L("      Media type                     Thermal Transfer"));
    EXPECT_EQ(l[20], L("      Label stock                    Mark"));
    EXPECT_EQ(l[27], L("      Paper handle option            Tear off"));
    EXPECT_EQ(l[28], L("      Retract enabled                TRUE"));
    EXPECT_EQ(l[34], L("      Media status                   DISABLED"));
    EXPECT_EQ(l[35], L("      Buffer status                  ENABLED"));
    EXPECT_EQ(l[38], L("      Message delay                  250 msec"));

    c.paperHandling = 3;  // retract only counts with tear-off
    c.labelStock = 7;
    const std::vector<std::string> cutter = ConfigLines(c, false);
    EXPECT_EQ(cutter[20], L("      Label stock                    Continuous"));
    EXPECT_EQ(cutter[27], L("      Paper handle option            Cutter"));
    EXPECT_EQ(cutter[28], L("      Retract enabled                FALSE"));
}

// The full listings are in the golden report of the integration tests; here the rest.
TEST(ReportLayoutTest, EmptyDirectoriesAddNothing) {
    ReportData data;
    data.sections = PCU_REPORT_FONTS | PCU_REPORT_GRAPHICS | PCU_REPORT_FORMATS;
    data.fonts = {Font(60, "Swiss 721", 65536, PCU_FONT_TYPE_TRUETYPE)};
    const std::vector<std::string> lines = SectionLines(data);
    ASSERT_EQ(lines.size(), 5u) << "empty graphic and format lists add nothing";
    EXPECT_EQ(lines[4], L("       60       Swiss 721      65536           True Type"));
}

TEST(ReportLayoutTest, LongOrControlTextStaysInsideItsLine) {
    EXPECT_EQ(FitLine(std::string(100, 'x')), std::string(80, 'x'));
    EXPECT_EQ(FitLine("a\nb\tc\x7f"), L("a b c "));
    // The longest name a printer stores still leaves the type on the line.
    const std::string longName(32, 'N');
    const std::vector<std::string> l = report::FontSection({Font(7, longName.c_str(), 9, 1)});
    EXPECT_EQ(l[4], L("        7       " + longName + "         9           True Type"));
}

TEST(ReportLayoutTest, AFullLastPageIsFollowedByAHeaderOnlyPage) {
    // Page breaks come as soon as a page is full, as the printed layout has always done.
    const std::vector<std::string> body(56, L("x"));
    const std::vector<std::string> pages = Paginate(body, FixedTime());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Lines(pages[0]).size(), 60u);
    EXPECT_EQ(Lines(pages[1]).size(), 4u);
    EXPECT_EQ(Paginate({}, FixedTime()).size(), 1u) << "an empty report still prints its page";
}

}  // namespace
}  // namespace tarvo
