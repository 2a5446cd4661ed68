// Numbers as the pages show and read them: lengths in inches or centimetres by the measurement
// mode, print speeds by their ladder texts. Decimals are shown with "." and read with "." or
// ","; rounding is half away from zero, so a negative length rounds as its positive twin does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::app::lanmere {

// `value` with `decimals` digits after the point ("4.93"), rounded half away from zero.
std::string FormatFixed(double value, int decimals);

// A decimal number a person typed: optional sign, digits with "." or "," as the point, blanks
// around. nullopt for anything else (empty text, letters, two points).
std::optional<double> ParseDecimal(std::string_view text);

// "cm." in metric mode, "in." otherwise.
const char* LengthUnitText(bool metric);

// A length of `units` printer units of `mmPerUnit` millimetres each: inches with two decimals
// ("5.00"); centimetres with two decimals less a last zero ("12.7", "1.35").
std::string ShowLength(int units, double mmPerUnit, bool metric);

// The printer units of a typed length, rounded half away from zero; nullopt when the text is
// no number or the result does not fit an int.
std::optional<int> ReadLength(std::string_view text, double mmPerUnit, bool metric);

// The text of speed key `key` (tenths of an inch per second) with its unit ("3.0 in/sec",
// "30.0 cm/sec"); empty for a key that is not on the ladder.
std::string SpeedText(int key, bool metric);

}  // namespace tarvo::app::lanmere
