#include "brakenholm/value_tables.h"

#include <algorithm>
#include <array>

namespace tarvo::app {
namespace {

constexpr std::array<std::string_view, 11> kBaud = {
    "9600", "19200", "38400", "57600", "115200", "4800", "2400", "1200", "600", "300", "110"};
constexpr std::array<std::string_view, 5> kParity = {"EVEN", "ODD", "NONE", "MARK", "SPACE"};
constexpr std::array<std::string_view, 3> kNewLine = {"CR/LF", "LF", "CR"};
constexpr std::array<std::string_view, 5> kMediaType = {
    "LABEL (w GAPS)", "TICKET (w MARK)", "TICKET (w GAPS)", "FIX LENGTH STRIP", "VAR LENGTH STRIP"};
constexpr std::array<std::string_view, 2> kPaperType712 = {"DIRECT THERMAL", "TRANSFER"};
constexpr std::string_view kPaperGrades[] = {
#include "brakenholm/paper_grades.def"
};
constexpr std::array<std::string_view, 11> kContrast = {"-10%", "-8%", "-6%", "-4%", "-2%", "+0%",
                                                        "+2%",  "+4%", "+6%", "+8%", "+10%"};
constexpr std::array<std::string_view, 3> kPerformance = {"NORMAL", "HIGH", "ULTRA HIGH"};
constexpr std::array<std::string_view, 27> kNewSupplies = {
    "GZ0",   "GZ1",   "GZ2",   "GZ3",   "GZ5",   "GZ6",   "GZ7",   "GZ8",   "GZ10",
    "GG65",  "GC70",  "GB78",  "GT85",  "GC90",  "GQ90",  "GY90",  "GT98",  "GF100",
    "GS100", "GJ105", "GT105", "GS110", "GT110", "GS115", "GJ118", "GS120", "GT120"};

// The stored paper type is the printer's own grade number, so a site editing the grade file
// must keep every position.
static_assert(std::size(kPaperGrades) == 28, "paper_grades.def must hold 28 grades");

}  // namespace

ValueTable BaudTable() {
    return kBaud;
}
ValueTable ParityTable() {
    return kParity;
}
ValueTable NewLineTable() {
    return kNewLine;
}
ValueTable MediaTypeTable() {
    return kMediaType;
}
ValueTable PaperType712Table() {
    return kPaperType712;
}
ValueTable PaperGradeTable() {
    return kPaperGrades;
}
ValueTable ContrastTable() {
    return kContrast;
}
ValueTable PerformanceTable() {
    return kPerformance;
}
ValueTable NewSuppliesTable() {
    return kNewSupplies;
}

std::optional<std::uint16_t> FindInTable(ValueTable table, std::string_view text) {
    const auto it = std::find(table.begin(), table.end(), text);
    if (it == table.end())
        return std::nullopt;
    return static_cast<std::uint16_t>(it - table.begin());
}

std::optional<std::string_view> TableText(ValueTable table, std::uint16_t index) {
    if (index >= table.size())
        return std::nullopt;
    return table[index];
}

}  // namespace tarvo::app
