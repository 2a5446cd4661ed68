#include "setup_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tarvo::sim {
namespace {

constexpr std::array<std::string_view, 4> kFirstOfPair = {"GZ6", "GZ0", "GZ7", "GZ10"};
constexpr std::array<std::string_view, 4> kSecondOfPair = {"GJ118", "GF100", "GB78", "GC90"};
constexpr std::string_view kUsualFirst = "GZ6";
constexpr std::string_view kUsualSecond = "GJ118";

bool In(std::string_view value, std::span<const std::string_view> list) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

const std::array<std::string_view, 28> kPaperGrades = {
    "OUTSIDE GRADE A", "OUTSIDE GRADE B", "GRADE 01", "GRADE 02", "GRADE 03", "GRADE 04",
    "GRADE 05",        "GRADE 06",        "GRADE 07", "GRADE 08", "GRADE 09", "GRADE 10",
    "GRADE 11",        "GRADE 12",        "GRADE 13", "GRADE 14", "GRADE 15", "GRADE 16",
    "GRADE 17",        "GRADE 18",        "GRADE 19", "GRADE 20", "GRADE 21", "GRADE 22",
    "GRADE 23",        "GRADE 24",        "GRADE 25", "GRADE 26"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::optional<std::string_view> ChoiceOf(std::string_view value,
                                         std::span<const std::string_view> choices) {
    for (std::string_view choice : choices) {
        if (EqualsIgnoringCase(value, choice))
            return choice;
    }
    return std::nullopt;
}

std::optional<long long> ParseSetupNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long number = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || text.front() == '+' || error != std::errc() || rest != end)
        return std::nullopt;
    return number;
}

bool IsIpAddress(std::string_view text) {
    int parts = 0;
    while (true) {
        const std::size_t dot = std::min(text.find('.'), text.size());
        const std::string_view part = text.substr(0, dot);
        const auto number = ParseSetupNumber(part);
        if (part.empty() || part.size() > 3 || !std::isdigit(static_cast<unsigned char>(part[0])) ||
            !number || *number > 255) {
            return false;
        }
        ++parts;
        if (dot == text.size())
            return parts == 4;
        text.remove_prefix(dot + 1);
    }
}

std::string_view ParityName(char parity) {
    for (std::string_view name : kParities) {
        if (name.front() == parity)
            return name;
    }
    return "NONE";
}

std::vector<std::string_view> SplitSupplies(std::string_view value) {
    const std::size_t split = value.find(';');
    if (split == std::string_view::npos)
        return {value};
    return {value.substr(0, split), value.substr(split + 1)};
}

std::string ChooseSupplies(std::string_view value, const std::string& old, std::string* stored) {
    const auto grade = ChoiceOf(value, kSupplies);
    if (!grade)
        return "\"" + std::string(value) + "\" is not a supplies grade";
    const std::vector<std::string_view> pair = SplitSupplies(old);
    if (In(*grade, kFirstOfPair)) {
        const std::string_view second = pair.size() == 2 ? pair[1] : kUsualSecond;
        *stored = std::string(*grade) + ";" + std::string(second);
    } else if (In(*grade, kSecondOfPair)) {
        const std::string_view first = In(pair[0], kFirstOfPair) ? pair[0] : kUsualFirst;
        *stored = std::string(first) + ";" + std::string(*grade);
    } else {
        *stored = *grade;
    }
    return {};
}

std::string CheckStoredSupplies(std::string_view value) {
    const std::vector<std::string_view> parts = SplitSupplies(value);
    const bool fits = parts.size() == 1 ? In(parts[0], kSupplies) && !In(parts[0], kFirstOfPair) &&
                                              !In(parts[0], kSecondOfPair)
                                        : In(parts[0], kFirstOfPair) && In(parts[1], kSecondOfPair);
    return fits ? "" : "wants one grade, or a pair FIRST;SECOND of the paired grades";
}

}  // namespace tarvo::sim
