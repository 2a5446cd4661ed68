// Cutting values out of the free text that a Brakenholm printer answers. Every scan is bounded
// by the text it is given; numbers of any length saturate instead of overflowing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::app {

// `text` without the CR and LF characters at its end.
std::string_view StripLineEnds(std::string_view text);

// `text` without any of `chars` at its end, or at its start.
std::string_view StripTrailing(std::string_view text, std::string_view chars);
std::string_view StripLeading(std::string_view text, std::string_view chars);

// The words of `text` (split at blanks) joined by single blanks, without a trailing blank.
std::string CollapseBlanks(std::string_view text);

// ASCII lower case.
std::string AsciiLower(std::string_view text);

// A decimal number as the printer writes it: leading blanks, an optional sign, then digits up to
// the first other character. No digits gives 0; a value beyond the 64-bit range saturates.
long long ParseDecimal(std::string_view text);

// `value` limited to the range of T.
template <typename T>
T Saturate(long long value) {
    return static_cast<T>(
        std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// The figure written immediately before the first `marker` ("4096" in "4096 bytes used"): the
// run of characters not below '0' that ends where the marker starts. Nullopt without the marker.
std::optional<std::string_view> FigureBefore(std::string_view text, std::string_view marker);

// The text after the first ':' that follows the first `key`, up to the end of its line, without
// leading blanks. Nullopt without the key or the colon.
std::optional<std::string_view> ValueAfterColon(std::string_view text, std::string_view key);

// Whether `text` is a run of digits (at least one) and nothing else.
bool IsDigits(std::string_view text);

}  // namespace tarvo::app
