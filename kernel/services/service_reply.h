// Reading the numbers a printer answers in its test-and-service mode. Pure functions over the
// reply bytes, so they can be tested and fuzzed without a printer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

// The reply without the acknowledges (DC1, DC2) some printers put in front of it.
std::string_view SkipAcknowledges(std::string_view reply);

// The whole 32-bit number (optional sign) the reply starts with, blanks before it skipped and
// anything after it ignored; nullopt when none is there or it does not fit 32 bits.
std::optional<std::int32_t> ServiceNumber(std::string_view reply);

// Three such numbers separated by blanks, commas or carriage returns (the answer to S);
// nullopt unless all three are there.
std::optional<std::array<std::int32_t, 3>> SensorNumbers(std::string_view reply);

}  // namespace tarvo
