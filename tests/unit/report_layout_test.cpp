// The configuration report's text: every section line as the operator reads it, the page
// header, and where pages break.
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

TEST(ReportLayoutTest, PageHeaderCarriesTimeAndPageNumber) {
    const std::vector<std::string> pages = Paginate({}, FixedTime());
    ASSERT_EQ(pages.size(), 1u) << "a mask of 0 still prints its page";
    const std::vector<std::string> lines = Lines(pages[0]);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(80, '-'));
    EXPECT_EQ(lines[1], L("   Tarvo Configuration Report   Wed Jun  3 07:05:09 1998      Page 1"));
    EXPECT_EQ(lines[2], std::string(80, '-'));
    EXPECT_EQ(lines[3], std::string(80, ' '));
    EXPECT_EQ(report::AsciiTime(FixedTime()), "Wed Jun  3 07:05:09 1998");
}

TEST(ReportLayoutTest, CommunicationAndConfigurationFitOnePage) {
    ReportData data;
    data.sections = PCU_REPORT_COMM | PCU_REPORT_CONFIG;
    data.config = Record5200A();
    const std::vector<std::string> body = SectionLines(data);
    EXPECT_EQ(body.size(), 12u + 40u);
    const std::vector<std::string> pages = Paginate(body, FixedTime());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Lines(pages[0]).size(), 56u);
    EXPECT_EQ(report::LogFileText(pages), pages[0]);
}

TEST(ReportLayoutTest, CommunicationSectionShowsTheProfileValues) {
    report::CommValues comm;
    comm.port = "COM2";
    comm.baud = "19200";
    const std::vector<std::string> expected = {
        L(""),
        L("Communication Settings"),
        L(""),
        L("    Port         COM2"),
        L("    Baud rate    19200"),
        L("    Parity       Even"),
        L("    Data bits    7"),
        L("    Stop bits    1"),
        L("    Protocol     XON/XOFF"),
        L("    Preamble     NULL"),
        L("    Postamble    NULL"),
        L("    Printer      5200A"),
    };
    EXPECT_EQ(report::CommSection(comm), expected);
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

TEST(ReportLayoutTest, DirectoriesListTheirEntriesOrNothing) {
    const std::vector<FontInfo> fonts = {
        Font(1, "Swiss", 0, PCU_FONT_TYPE_BITMAP),
        Font(60, "Swiss 721", 65536, PCU_FONT_TYPE_TRUETYPE),
        Font(50, "Dutch", 40000, PCU_FONT_TYPE_SPEEDO),
    };
    const std::vector<std::string> expected = {
        L(""),
        L("Directory Listing -- Fonts"),
        L(""),
        L("    Font ID     Description    Size(bytes)     Type"),
        L("        1       Swiss              0           Bitmap"),
        L("       60       Swiss 721      65536           True Type"),
        L("       50       Dutch          40000           Speedo"),
    };
    EXPECT_EQ(report::FontSection(fonts), expected);
    EXPECT_TRUE(report::FontSection({}).empty());

    const std::vector<std::string> graphics =
        report::GraphicSection({Entry<GraphicInfo>(5, "LOGO", 1234)});
    ASSERT_EQ(graphics.size(), 5u);
    EXPECT_EQ(graphics[1], L("Directory Listing -- Graphics"));
    EXPECT_EQ(graphics[3], L("    Graphic ID  Description    Size(bytes)"));
    EXPECT_EQ(graphics[4], L("        5       LOGO            1234"));
    const std::vector<std::string> formats =
        report::FormatSection({Entry<FormatInfo>(19, "SHIP", 88)});
    ASSERT_EQ(formats.size(), 5u);
    EXPECT_EQ(formats[3], L("    Format ID   Description    Size(bytes)"));
    EXPECT_EQ(formats[4], L("       19       SHIP              88"));
    EXPECT_TRUE(report::GraphicSection({}).empty());
    EXPECT_TRUE(report::FormatSection({}).empty());

    ReportData data;
    data.sections = PCU_REPORT_FONTS | PCU_REPORT_GRAPHICS | PCU_REPORT_FORMATS;
    data.fonts = fonts;
    EXPECT_EQ(SectionLines(data).size(), 7u) << "empty graphic and format lists add nothing";
}

TEST(ReportLayoutTest, LongOrControlTextStaysInsideItsLine) {
    EXPECT_EQ(FitLine(std::string(100, 'x')), std::string(80, 'x'));
    EXPECT_EQ(FitLine("a\nb\tc\x7f"), L("a b c "));
    // The longest name a printer stores still leaves the type on the line.
    const std::string longName(32, 'N');
    const std::vector<std::string> l = report::FontSection({Font(7, longName.c_str(), 9, 1)});
    EXPECT_EQ(l[4], L("        7       " + longName + "         9           True Type"));
}

TEST(ReportLayoutTest, ALongListContinuesOnANewPageWithItsHeader) {
    ReportData data;
    data.sections = PCU_REPORT_FONTS;
    for (unsigned i = 0; i < 100; ++i)
        data.fonts.push_back(Font(i, "F", i, PCU_FONT_TYPE_BITMAP));
    const std::vector<std::string> pages = Paginate(SectionLines(data), FixedTime());
    ASSERT_EQ(pages.size(), 2u);
    const std::vector<std::string> first = Lines(pages[0]);
    const std::vector<std::string> second = Lines(pages[1]);
    ASSERT_EQ(first.size(), 60u);
    ASSERT_EQ(second.size(), 4u + 104u - 56u);
    EXPECT_EQ(first[59], L("       51       F                 51           Bitmap"));
    EXPECT_EQ(second[0], std::string(80, '-'));
    EXPECT_EQ(second[1], L("   Tarvo Configuration Report   Wed Jun  3 07:05:09 1998      Page 2"));
    EXPECT_EQ(second[3], std::string(80, ' '));
    EXPECT_EQ(second[4], L("       52       F                 52           Bitmap"));
}

TEST(ReportLayoutTest, AFullLastPageIsFollowedByAHeaderOnlyPage) {
    // Page breaks come as soon as a page is full, as the printed layout has always done.
    const std::vector<std::string> body(56, L("x"));
    const std::vector<std::string> pages = Paginate(body, FixedTime());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Lines(pages[0]).size(), 60u);
    EXPECT_EQ(Lines(pages[1]).size(), 4u);
}

}  // namespace
}  // namespace tarvo
