#include "desk/test_print.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "tarvo/directory.h"
#include "tarvo/models.h"
#include "tarvo/services.h"

namespace tarvo::app {
namespace {

constexpr std::uint32_t kBits0To14 = (1u << 15) - 1;
constexpr std::uint32_t kBits0To18 = (1u << 19) - 1;
constexpr std::uint32_t kAllBits = (1u << 20) - 1;
constexpr std::uint32_t kAllButCode1 = kAllBits & ~(1u << 16);

// Per model index 0..25, in the order of the model table.
constexpr std::array<std::uint32_t, PROP_TABLE_MODELS> kSymbologyMasks = {
    kBits0To14,   kBits0To18,   kAllBits,     kBits0To18,   kAllBits,   kBits0To18, kAllBits,
    kAllBits,     kBits0To18,   kBits0To18,   kBits0To14,   kBits0To18, kAllBits,   kAllBits,
    kAllButCode1, kAllButCode1, kAllBits,     kAllBits,     kAllBits,   kAllBits,   kAllButCode1,
    kAllButCode1, kAllButCode1, kAllButCode1, kAllButCode1, kBits0To14,
};

constexpr int kMaxFormats = 100;

std::string Padded(const char* name) {
    std::string s = name;
    s.resize(15, ' ');
    return s;
}

std::string WithoutLeadingBlanks(const char* text) {
    std::string s = text;
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string Entry(const char* prefix, unsigned number, const std::string& name) {
    char line[64];
    std::snprintf(line, sizeof line, "%s%.2u  %-10s", prefix, number, name.c_str());
    return line;
}

std::string PageEntry(unsigned number) {
    char line[32];
    std::snprintf(line, sizeof line, "PAGE%.2u  Pagefile", number);
    return line;
}

bool InPrinter(int status) {
    return status == PCU_STATUS_STORED || status == PCU_STATUS_DELETE;
}

// Resident fonts are listed by the printer with size 0 (status "empty") and print like any.
bool FontInPrinter(int status) {
    return InPrinter(status) || status == PCU_STATUS_EMPTY;
}

std::uint16_t Clamp16(int n) {
    return static_cast<std::uint16_t>(n < 0 ? 0 : n > 0xFFFF ? 0xFFFF : n);
}

void ReadFormats(int ctx, TestPrintLists& lists) {
    std::array<std::uint16_t, kMaxFormats> ids{};
    std::uint16_t n = kMaxFormats;
    if (PCUGetFormatIDs(ctx, ids.data(), nullptr, &n) != PCU_OK)
        return;
    for (std::uint16_t i = 0; i < n && i < kMaxFormats; ++i) {
        FormatInfo info{};
        if (PCUGetFormatInfo(ctx, ids[i], &info) == PCU_OK && !info.isPage &&
            InPrinter(info.status))
            lists.formats.push_back(Entry("FRMT", ids[i], WithoutLeadingBlanks(info.description)));
    }
}

void ReadFonts(int ctx, TestPrintLists& lists) {
    std::uint16_t count = 0;
    if (PCUGetFontCount(ctx, &count) != PCU_OK || count == 0)
        return;
    std::vector<std::uint16_t> ids(count);
    if (PCUGetFontIDs(ctx, ids.data(), nullptr, nullptr, &count) != PCU_OK)
        return;
    for (std::uint16_t i = 0; i < count && i < ids.size(); ++i) {
        FontInfo info{};
        if (PCUGetFontInfo(ctx, ids[i], &info) != PCU_OK || !FontInPrinter(info.status))
            continue;
        lists.fonts.push_back(Entry("FONT", ids[i], WithoutLeadingBlanks(info.description)));
        lists.fontPointSizes.push_back(FontHasSizes(info) ? info.pointSize : 0);
    }
}

void ReadGraphics(int ctx, TestPrintLists& lists) {
    std::uint16_t count = 0;
    if (PCUGetGraphicCount(ctx, &count) != PCU_OK || count == 0)
        return;
    std::vector<std::uint16_t> ids(count);
    if (PCUGetGraphicIDs(ctx, ids.data(), nullptr, nullptr, &count) != PCU_OK)
        return;
    for (std::uint16_t i = 0; i < count && i < ids.size(); ++i) {
        GraphicInfo info{};
        if (PCUGetGraphicInfo(ctx, ids[i], &info) == PCU_OK && InPrinter(info.status))
            lists.graphics.push_back(Entry("GRFX", ids[i], WithoutLeadingBlanks(info.description)));
    }
}

void ReadPages(int ctx, TestPrintLists& lists) {
    std::uint16_t count = 0;
    if (PCUGetPageCount(ctx, &count) != PCU_OK || count == 0)
        return;
    std::vector<std::uint16_t> ids(count);
    if (PCUGetPageIDs(ctx, ids.data(), &count) != PCU_OK)
        return;
    for (std::uint16_t i = 0; i < count && i < ids.size(); ++i) {
        PageInfo info{};
        if (PCUGetPageInfo(ctx, ids[i], &info) == PCU_OK && InPrinter(info.status))
            lists.pages.push_back(PageEntry(ids[i]));
    }
}

}  // namespace

bool FontHasSizes(const FontInfo& info) {
    return info.fontType == PCU_FONT_TYPE_TRUETYPE || info.fontType == PCU_FONT_TYPE_SPEEDO;
}

const std::vector<std::string>& TestLabelOptions() {
    static const std::vector<std::string> list{"User defined", "Software configuration",
                                               "Hardware configuration", "Print quality", "Pitch"};
    return list;
}

const std::vector<std::string>& PointSizes() {
    static const std::vector<std::string> list{"8",  "9",  "10", "12", "14",
                                               "16", "24", "36", "48", "72"};
    return list;
}

const std::vector<std::string>& SymbologyNames() {
    static const std::vector<std::string> list = [] {
        const char* names[kSymbologyCount] = {
            "Code 39", "Code 93",  "INTLVD_2_OF_5", "CODE_2_OF_5", "Codabar",
            "Code 11", "Code 128", "UPC A",         "UPC B",       "EAN 8",
            "EAN 13",  "HIBC",     "Code 16K",      "Code 49",     "Postnet",
            "PDF417",  "Code 1",   "Maxicode",      "Data Matrix", "QR Code"};
        std::vector<std::string> out;
        for (const char* n : names)
            out.push_back(Padded(n));
        return out;
    }();
    return list;
}

std::uint32_t SymbologyMask(int model) {
    if (model < 0 || model >= PROP_TABLE_MODELS)
        return 0;
    return kSymbologyMasks[static_cast<std::size_t>(model)];
}

std::vector<std::string> SymbologyList(std::uint32_t mask) {
    std::vector<std::string> out;
    for (int bit = 0; bit < kSymbologyCount; ++bit)
        if (mask & (1u << bit))
            out.push_back(SymbologyNames()[static_cast<std::size_t>(bit)]);
    return out;
}

int SymbologyAt(std::uint32_t mask, int position) {
    int seen = 0;
    for (int bit = 0; bit < kSymbologyCount; ++bit) {
        if ((mask & (1u << bit)) == 0)
            continue;
        if (seen++ == position)
            return bit;
    }
    return 0;
}

LabelSizeText LabelSizes(bool metric) {
    if (metric)
        return {"Label Size (cm)", "5cm x 8cm", "10cm x 15cm"};
    return {"Label Size (inches)", "2\" x 3\"", "4\" x 6\""};
}

unsigned TestPrintEnableMask(PrintOption option, int testLabel, UserDefinedOption user) {
    switch (option) {
        case PrintOption::Format:
            return kTpFormatList;
        case PrintOption::Page:
            return kTpPageList;
        case PrintOption::TestLabel:
            break;
    }
    if (testLabel != kUserDefinedLabel)
        return kTpTestLabelList;
    const unsigned common = kTpTestLabelList | kTpUserDefinedGroup | kTpLabelSize;
    switch (user) {
        case UserDefinedOption::Text:
            return common | kTpFontList | kTpPointSizeList;
        case UserDefinedOption::Graphic:
            return common | kTpGraphicList;
        case UserDefinedOption::BarCode:
            break;
    }
    return common | kTpSymbologyList;
}

int EntryNumber(const std::string& entry, const char* prefix) {
    const std::string p = prefix;
    std::size_t at = entry.compare(0, p.size(), p) == 0 ? p.size() : 0;
    int n = 0;
    bool digits = false;
    for (; at < entry.size() && std::isdigit(static_cast<unsigned char>(entry[at])) && n < 0xFFFF;
         ++at) {
        n = n * 10 + (entry[at] - '0');
        digits = true;
    }
    return digits ? n : 0;
}

bool TypedFontAccepted(const std::string& text, int model) {
    if (text.empty() || text.size() > 5)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return propCheckFontLoc(model, std::stoi(text)) == 0;
}

TestPrintArgs TestPrintArgsFor(const TestPrintChoice& c, int model) {
    TestPrintArgs a;
    switch (c.option) {
        case PrintOption::Format:
            a.kind = PCU_TEST_FORMAT;
            a.number = Clamp16(EntryNumber(c.formatEntry, "FRMT"));
            return a;
        case PrintOption::Page:
            a.kind = PCU_TEST_PAGE;
            a.number = Clamp16(EntryNumber(c.pageEntry, "PAGE"));
            return a;
        case PrintOption::TestLabel:
            break;
    }
    if (c.testLabel != kUserDefinedLabel) {
        a.kind = PCU_TEST_BUILT_IN;
        a.number = Clamp16(c.testLabel - 1);
        return a;
    }
    a.large = c.largeLabel ? 1 : 0;
    switch (c.user) {
        case UserDefinedOption::Text:
            a.kind = PCU_TEST_FONT;
            a.fontNumber = Clamp16(EntryNumber(c.fontEntry, "FONT"));
            a.pointSize = c.fontHasSizes ? Clamp16(c.pointSize) : 0;
            break;
        case UserDefinedOption::Graphic:
            a.kind = PCU_TEST_GRAPHIC;
            a.graphicNumber = Clamp16(EntryNumber(c.graphicEntry, "GRFX"));
            break;
        case UserDefinedOption::BarCode:
            a.kind = PCU_TEST_BARCODE;
            a.symbology = Clamp16(SymbologyAt(SymbologyMask(model), c.symbologyPosition));
            break;
    }
    return a;
}

TestPrintLists ReadTestPrintLists(int ctx) {
    TestPrintLists lists;
    ReadFormats(ctx, lists);
    ReadFonts(ctx, lists);
    ReadGraphics(ctx, lists);
    ReadPages(ctx, lists);
    return lists;
}

int RunTestPrint(int ctx, const TestPrintArgs& a) {
    return PCUTestPrint(ctx, a.kind, a.large, a.number, a.fontNumber, a.pointSize, a.graphicNumber,
                        a.symbology);
}

}  // namespace tarvo::app
