#include "script_clock.h"

#include <array>
#include <cstdio>

#include "setup_values.h"

namespace tarvo::sim {
namespace {

using namespace std::chrono;

constexpr int kCentury = 2000;
constexpr std::size_t kMaxFormatLength = 16;

// Six digits as three two-digit numbers; nullopt unless exactly that.
std::optional<std::array<int, 3>> ThreePairs(std::string_view text) {
    if (text.size() != 6)
        return std::nullopt;
    std::array<int, 3> pairs{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto number = ParseSetupNumber(text.substr(i * 2, 2));
        if (!number || text[i * 2] == '-' || text[i * 2] == '+')
            return std::nullopt;
        pairs[i] = static_cast<int>(*number);
    }
    return pairs;
}

std::string TwoDigits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

}  // namespace

sys_seconds PrinterNow(const PrinterState& state) {
    return floor<seconds>(system_clock::now()) + seconds(state.clockOffsetSeconds);
}

void SetPrinterNow(PrinterState* state, sys_seconds when) {
    state->clockOffsetSeconds = (when - floor<seconds>(system_clock::now())).count();
}

std::string SetPrinterDate(PrinterState* state, std::string_view yymmdd) {
    const auto pairs = ThreePairs(yymmdd);
    const year_month_day date =
        pairs ? year(kCentury + (*pairs)[0]) / (*pairs)[1] / (*pairs)[2] : year_month_day{};
    if (!pairs || !date.ok())
        return "DATE$ wants a date \"YYMMDD\", not \"" + std::string(yymmdd) + "\"";
    const sys_seconds now = PrinterNow(*state);
    SetPrinterNow(state, sys_days(date) + (now - floor<days>(now)));
    return {};
}

std::string SetPrinterTime(PrinterState* state, std::string_view hhmmss) {
    const auto pairs = ThreePairs(hhmmss);
    if (!pairs || (*pairs)[0] > 23 || (*pairs)[1] > 59 || (*pairs)[2] > 59)
        return "TIME$ wants a time \"HHMMSS\", not \"" + std::string(hhmmss) + "\"";
    const sys_seconds now = PrinterNow(*state);
    SetPrinterNow(
        state, floor<days>(now) + hours((*pairs)[0]) + minutes((*pairs)[1]) + seconds((*pairs)[2]));
    return {};
}

std::string FormatClock(sys_seconds when, std::string_view format) {
    const sys_days day = floor<days>(when);
    const year_month_day date(day);
    const hh_mm_ss time(when - day);
    const int fullYear = static_cast<int>(date.year());
    const struct {
        std::string_view field;
        std::string value;
    } fields[] = {{"YYYY", std::to_string(fullYear)},
                  {"YY", TwoDigits(static_cast<unsigned>(fullYear))},
                  {"MM", TwoDigits(static_cast<unsigned>(date.month()))},
                  {"DD", TwoDigits(static_cast<unsigned>(date.day()))},
                  {"hh", TwoDigits(static_cast<unsigned>(time.hours().count()))},
                  {"mm", TwoDigits(static_cast<unsigned>(time.minutes().count()))},
                  {"ss", TwoDigits(static_cast<unsigned>(time.seconds().count()))}};
    std::string text;
    std::size_t at = 0;
    while (at < format.size()) {
        bool replaced = false;
        for (const auto& [field, value] : fields) {
            if (format.substr(at, field.size()) == field) {
                text += value;
                at += field.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            text += format[at++];
    }
    return text;
}

bool ValidDateFormat(std::string_view format) {
    constexpr std::string_view kAllowed = "YMDhms/-. ";
    return !format.empty() && format.size() <= kMaxFormatLength &&
           format.find_first_not_of(kAllowed) == std::string_view::npos;
}

}  // namespace tarvo::sim
