#include "lanmere/units.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMmPerCm = 10.0;

}  // namespace

std::string FormatFixed(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // Half away from zero on the decimal digits themselves; the tiny nudge absorbs the binary
    // representation of values such as 4.925 that sit just below their decimal.
    const double rounded = std::round(value * scale * (1.0 + 1e-12)) / scale;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded == 0.0 ? 0.0 : rounded);
    return text;
}

std::optional<double> ParseDecimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string plain;
    bool digit = false;
    bool point = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '-' || c == '+') && i == 0) {
            plain += c;
        } else if (c >= '0' && c <= '9') {
            digit = true;
            plain += c;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            plain += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    return std::strtod(plain.c_str(), nullptr);
}

const char* LengthUnitText(bool metric) {
    return metric ? "cm." : "in.";
}

std::string ShowLength(int units, double mmPerUnit, bool metric) {
    const double mm = units * mmPerUnit;
    if (!metric)
        return FormatFixed(mm / kMmPerInch, 2);
    std::string text = FormatFixed(mm / kMmPerCm, 2);
    if (text.back() == '0')
        text.pop_back();
    return text;
}

std::optional<int> ReadLength(std::string_view text, double mmPerUnit, bool metric) {
    const auto number = ParseDecimal(text);
    if (!number || mmPerUnit <= 0.0)
        return std::nullopt;
    const double units = std::round(*number * (metric ? kMmPerCm : kMmPerInch) / mmPerUnit);
    if (units < INT_MIN || units > INT_MAX)
        return std::nullopt;
    return static_cast<int>(units);
}

std::string SpeedText(int key, bool metric) {
    char text[PROP_SPEED_TEXT_SIZE] = "";
    propGetPrintSpeedStr(key, metric ? 1 : 0, text);
    if (text[0] == '\0')
        return {};
    return std::string(text) + (metric ? " cm/sec" : " in/sec");
}

}  // namespace tarvo::app::lanmere
