// The value tables of the Brakenholm setup: a field of BrakSetup that names a choice holds the
// choice's position in its table, and the table text is what goes on the wire and into files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarvo::app {

using ValueTable = std::span<const std::string_view>;

ValueTable BaudTable();          // "9600" .. "110"; positions 5 and up are below 9600
ValueTable ParityTable();        // "EVEN", "ODD", "NONE", "MARK", "SPACE"
ValueTable NewLineTable();       // "CR/LF", "LF", "CR"
ValueTable MediaTypeTable();     // "LABEL (w GAPS)" ...
ValueTable PaperType712Table();  // "DIRECT THERMAL", "TRANSFER"
ValueTable PaperGradeTable();    // the 28 paper grades of setup tree "6.13" (paper_grades.def)
ValueTable ContrastTable();      // "-10%" .. "+10%"; position 5 is "+0%"
ValueTable PerformanceTable();   // "NORMAL", "HIGH", "ULTRA HIGH"
ValueTable NewSuppliesTable();   // "GZ0" .. "GT120"

inline constexpr std::string_view kEnable = "ENABLE";
inline constexpr std::string_view kDisable = "DISABLE";

// Positions of the baud table that the printer may be set to: the raw port opens slower rates
// at 9600 and the search never tries them, so a printer set below 9600 would be lost.
inline constexpr std::uint16_t kFirstSlowBaud = 5;

// The position of `text` in `table` (exact comparison), or nullopt.
std::optional<std::uint16_t> FindInTable(ValueTable table, std::string_view text);

// The text at `index`, or nullopt when the table has no such position.
std::optional<std::string_view> TableText(ValueTable table, std::uint16_t index);

}  // namespace tarvo::app
