// The values a Brakenholm setup tree takes, as its firmware spells them, and the small checks
// on value texts that the tree and the state file share.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::sim {

inline constexpr std::array<std::string_view, 11> kBauds = {
    "9600", "19200", "38400", "57600", "115200", "4800", "2400", "1200", "600", "300", "110"};
inline constexpr std::array<std::string_view, 5> kParities = {"EVEN", "ODD", "NONE", "MARK",
                                                              "SPACE"};
inline constexpr std::array<std::string_view, 3> kNewLines = {"CR/LF", "LF", "CR"};
inline constexpr std::array<std::string_view, 2> kFlags = {"ENABLE", "DISABLE"};
inline constexpr std::array<std::string_view, 5> kMediaTypes = {
    "LABEL (w GAPS)", "TICKET (w MARK)", "TICKET (w GAPS)", "FIX LENGTH STRIP", "VAR LENGTH STRIP"};
inline constexpr std::array<std::string_view, 2> kPaperTypes = {"DIRECT THERMAL", "TRANSFER"};
inline constexpr std::array<std::string_view, 11> kContrasts = {
    "-10%", "-8%", "-6%", "-4%", "-2%", "+0%", "+2%", "+4%", "+6%", "+8%", "+10%"};
inline constexpr std::array<std::string_view, 3> kPerformances = {"NORMAL", "HIGH", "ULTRA HIGH"};
inline constexpr std::array<std::string_view, 27> kSupplies = {
    "GZ0",   "GZ1",   "GZ2",   "GZ3",   "GZ5",   "GZ6",   "GZ7",   "GZ8",   "GZ10",
    "GG65",  "GC70",  "GB78",  "GT85",  "GC90",  "GQ90",  "GY90",  "GT98",  "GF100",
    "GS100", "GJ105", "GT105", "GS110", "GT110", "GS115", "GJ118", "GS120", "GT120"};
// The paper grades the "6.13" firmware knows, in its own order: two of outside paper makers,
// then the maker's 26.
extern const std::array<std::string_view, 28> kPaperGrades;

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The entry of `choices` that `value` names in any case; nullopt when none.
std::optional<std::string_view> ChoiceOf(std::string_view value,
                                         std::span<const std::string_view> choices);

// A decimal number with an optional sign, nothing around it.
std::optional<long long> ParseSetupNumber(std::string_view text);

bool IsIpAddress(std::string_view text);

// "EVEN" for 'E', and so on.
std::string_view ParityName(char parity);

// Generation 0 keeps the new supplies as one grade or a pair of two (a label and a ribbon
// grade), stored as "FIRST;SECOND". A grade of the single list replaces the pair; one of the
// first list becomes the first of the pair and one of the second list the second, the other
// half kept when it fits (else the usual partner). Returns empty or the reason.
std::string ChooseSupplies(std::string_view value, const std::string& old, std::string* stored);
std::string CheckStoredSupplies(std::string_view value);
std::vector<std::string_view> SplitSupplies(std::string_view value);

}  // namespace tarvo::sim
