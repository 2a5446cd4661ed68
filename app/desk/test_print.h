// The test print dialog's logic: its fixed lists, the lists filled from the kernel's directory,
// the symbologies a model offers, which controls the choices enable, and the arguments of the
// print. The dialog only shows a TestPrintChoice and passes it to TestPrintArgsFor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FontInfo;

namespace tarvo::app {

// Enable-mask bits, one per control group.
enum TestPrintControl : unsigned {
    kTpTestLabelList = 1u << 0,
    kTpUserDefinedGroup = 1u << 1,
    kTpLabelSize = 1u << 2,
    kTpFormatList = 1u << 3,
    kTpFontList = 1u << 4,
    kTpPointSizeList = 1u << 5,
    kTpGraphicList = 1u << 6,
    kTpPageList = 1u << 7,
    kTpSymbologyList = 1u << 8,
};

enum class PrintOption { TestLabel, Format, Page };
enum class UserDefinedOption { Text, Graphic, BarCode };

// Test-label list positions: 0 is "User defined", 1..4 the printer's own test labels.
inline constexpr int kUserDefinedLabel = 0;
inline constexpr int kSymbologyCount = 20;

// The fixed lists.
const std::vector<std::string>& TestLabelOptions();
const std::vector<std::string>& PointSizes();
// The symbology names by number 0..19, each padded with blanks to 15 characters.
const std::vector<std::string>& SymbologyNames();

// The 20-bit mask of the symbologies `model` offers (0 outside the Lanmere models 0..25).
std::uint32_t SymbologyMask(int model);
// The names of the symbologies set in `mask`, in number order.
std::vector<std::string> SymbologyList(std::uint32_t mask);
// The symbology number of list entry `position` of SymbologyList(mask); 0 when there is none.
int SymbologyAt(std::uint32_t mask, int position);

// The label-size group's title and its two choices (small, large) for the measurement mode.
struct LabelSizeText {
    std::string title;
    std::string small;
    std::string large;
};
LabelSizeText LabelSizes(bool metric);

// Which controls are enabled for the choices.
unsigned TestPrintEnableMask(PrintOption option, int testLabel, UserDefinedOption user);

// The operator's choices; the list entries as the lists show them (empty when a list is empty).
struct TestPrintChoice {
    PrintOption option = PrintOption::TestLabel;
    int testLabel = kUserDefinedLabel;
    UserDefinedOption user = UserDefinedOption::Text;
    bool largeLabel = false;
    std::string formatEntry;
    std::string fontEntry;  // an entry of the font list, or a typed font number
    bool fontHasSizes = false;
    int pointSize = 0;
    std::string graphicEntry;
    int symbologyPosition = 0;
    std::string pageEntry;
};

// The arguments of PCUTestPrint, in its order.
struct TestPrintArgs {
    std::uint16_t kind = 0;
    std::uint16_t large = 0;
    std::uint16_t number = 0;
    std::uint16_t fontNumber = 0;
    std::uint16_t pointSize = 0;
    std::uint16_t graphicNumber = 0;
    std::uint16_t symbology = 0;

    bool operator==(const TestPrintArgs&) const = default;
};

// The print for `choice` on `model`. An empty or unreadable entry gives number 0.
TestPrintArgs TestPrintArgsFor(const TestPrintChoice& choice, int model);

// The number in a list entry such as "FONT07  Helvetica" after its four-letter `prefix`; an
// entry without the prefix is read as a number itself (a typed font number). 0 when no digits.
int EntryNumber(const std::string& entry, const char* prefix);

// Whether the font has point sizes (a scalable font); a bitmap font has one fixed size.
bool FontHasSizes(const FontInfo& info);

// Whether typed font text is acceptable: all digits and a number `model` does not refuse.
bool TypedFontAccepted(const std::string& text, int model);

// The lists filled from the kernel context's directory: "FRMT%.2u  %-10s", "FONT%.2u  %-10s",
// "GRFX%.2u  %-10s", "PAGE%.2u  Pagefile"; only objects present in the printer.
struct TestPrintLists {
    std::vector<std::string> formats;
    std::vector<std::string> fonts;
    std::vector<int> fontPointSizes;  // per font entry: its point size when sized by points
    std::vector<std::string> graphics;
    std::vector<std::string> pages;
};
TestPrintLists ReadTestPrintLists(int ctx);

// Runs the print. Returns PCUTestPrint's result.
int RunTestPrint(int ctx, const TestPrintArgs& args);

}  // namespace tarvo::app
