#include "models/program_numbers.h"

#include <cctype>

#include "tarvo/base/fs.h"
#include "tarvo/base/paths.h"

namespace tarvo {
namespace {

constexpr std::array<ProgramNumberRow, kProgramNumberRows> kTable = {{
    {"5200A", "059877", ""},
    {"5200B", "061612", ""},
    {"5200C/D", "066211", ""},
    {"5600", "062198", ""},
    {"5240", "063755", ""},
    {"5040", "063103", ""},
    {"6220", "066197", ""},
    {"6240", "067097", ""},
    {"6430", "064160", ""},
    {"6630", "064162", ""},
    {"6000", "062564", "062566"},
    {"6200C", "062568", ""},
    {"9221", "066199", ""},
    {"RK17", "075052", ""},
    {"G3-QEL", "071210", "271210"},
    {"G5-QEL", "071210", "471210"},
    {"5200E (200dpi)", "0661975200E2", ""},
    {"5200E (400dpi)", "0670975200E4", ""},
    {"6220E", "0661976220E", ""},
    {"6240E", "0670976240E", ""},
    {"TG3e-QEL", "071210", "771210"},
    {"TG5e-QEL", "071210", "571210"},
    {"TN5e-QEL", "071210", "671210"},
    {"TQ5e-QEL", "071210", "871210"},
    {"TQ8e-QEL", "071210", "971210"},
    // The generic configuration carries a name with a trailing blank and no numbers, so no
    // reply can ever select it.
    {"DEF ", "", ""},
}};

// A site file is a few lines; the bound only keeps a wrong file from costing memory.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxLineChars = 80;
constexpr std::size_t kShortestEntry = 11;

bool IsSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

}  // namespace

const std::array<ProgramNumberRow, kProgramNumberRows>& ProgramNumberTable() {
    return kTable;
}

bool NumberMatches(std::string_view candidate, std::string_view entry) {
    if (candidate.empty() || entry.empty())
        return false;
    if (candidate == entry)
        return true;
    const bool ft =
        candidate.size() > 2 && (candidate.substr(0, 2) == "FT" || candidate.substr(0, 2) == "ft");
    return ft && candidate.substr(2) == entry.substr(1);
}

int ModelByProgramNumber(std::string_view candidate, bool* second) {
    for (int row = 0; row < kProgramNumberRows - 1; ++row) {
        const ProgramNumberRow& r = kTable[static_cast<std::size_t>(row)];
        for (const bool useSecond : {false, true}) {
            if (NumberMatches(candidate, useSecond ? r.number2 : r.number1)) {
                if (second != nullptr)
                    *second = useSecond;
                return row;
            }
        }
    }
    return -1;
}

std::string ProgramNumberFilePath() {
    return platform::DataDirectory() + "/TarvoProgNo.txt";
}

std::string ReadProgramNumberFile() {
    std::string text;
    if (platform::ReadSmallFile(ProgramNumberFilePath(), kMaxFileBytes, &text) != 0)
        return {};
    return text;
}

std::optional<ProgramNumberEntry> ParseProgramNumberLine(std::string_view line) {
    if (line.size() > kMaxLineChars)
        line = line.substr(0, kMaxLineChars);
    if (line.size() < kShortestEntry || line.front() == '*')
        return std::nullopt;
    std::size_t i = 0;
    while (i < line.size() && !IsSeparator(line[i]))
        ++i;
    if (i == 0 || i == line.size())
        return std::nullopt;
    const std::string_view number = line.substr(0, i);
    const std::size_t nameStart = i + 1;
    // A model name ends at a blank or a comma (the line's end stands for CR and LF).
    std::size_t j = nameStart;
    while (j < line.size() && line[j] != ' ' && line[j] != ',')
        ++j;
    if (j == nameStart)
        return std::nullopt;
    return ProgramNumberEntry{std::string(number),
                              std::string(line.substr(nameStart, j - nameStart))};
}

std::optional<ProgramNumberEntry> LookupProgramNumber(std::string_view number) {
    std::string wanted(number);
    for (char& c : wanted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (wanted.empty())
        return std::nullopt;
    return FindProgramNumberEntry(
        [&](const ProgramNumberEntry& entry) { return entry.number == wanted; });
}

}  // namespace tarvo
