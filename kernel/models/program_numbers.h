// Program numbers: what an escape-language printer names itself in its identification reply,
// mapped to models by a built-in table and, for printers the table does not know, by the site's
// program-number file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

struct ProgramNumberRow {
    std::string_view name;
    std::string_view number1;
    std::string_view number2;  // empty when the model has one number
};

inline constexpr int kProgramNumberRows = 26;

// Rows 0..25, indexed by model.
const std::array<ProgramNumberRow, kProgramNumberRows>& ProgramNumberTable();

// True when `candidate` names `entry`: equal, or "FT"/"ft" followed by the entry without its
// first character (FT59877 names 059877). An empty candidate or entry never matches.
bool NumberMatches(std::string_view candidate, std::string_view entry);

// The first model 0..24 whose first or second number `candidate` matches (the first number
// tried before the second in each row), or -1. *second tells which one matched.
int ModelByProgramNumber(std::string_view candidate, bool* second);

// The program-number file in the data directory.
std::string ProgramNumberFilePath();

struct ProgramNumberEntry {
    std::string number;
    std::string model;  // as written in the file
};

// Visits the file's entries in order until `visit` returns true; returns that entry. Comment
// lines (starting with '*') and lines of ten characters or fewer are skipped; at most 80
// characters of a line count. A missing or unreadable file has no entries.
template <typename Visit>
std::optional<ProgramNumberEntry> FindProgramNumberEntry(Visit visit);

// Parses one line of the file (without its terminator); nullopt for a line that holds no
// entry.
std::optional<ProgramNumberEntry> ParseProgramNumberLine(std::string_view line);

// The file's text, read whole but bounded; empty when missing.
std::string ReadProgramNumberFile();

// The entry for `number` (upper-cased before the exact comparison), or nullopt.
std::optional<ProgramNumberEntry> LookupProgramNumber(std::string_view number);

template <typename Visit>
std::optional<ProgramNumberEntry> FindProgramNumberEntry(Visit visit) {
    const std::string text = ReadProgramNumberFile();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (auto entry = ParseProgramNumberLine(std::string_view(text).substr(start, end - start));
            entry && visit(*entry)) {
            return entry;
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace tarvo
