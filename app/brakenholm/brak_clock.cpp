#include "brakenholm/brak_clock.h"

#include <chrono>
#include <cstdio>

#include "brakenholm/brak_text.h"

namespace tarvo::app {
namespace {

int Digits(std::string_view text, std::size_t at, std::size_t count) {
    return static_cast<int>(ParseDecimal(text.substr(at, count)));
}

bool ValidDate(int year, int month, int day) {
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    return month >= 1 && day >= 1 && date.ok();
}

bool ValidTime(int hour, int minute, int second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

}  // namespace

std::optional<PrinterClock> ReadClock(CBrakPrinter& printer) {
    const QueryReply time = printer.QueryLine("PRINT TIME$");
    const std::string_view hms = StripLeading(StripLineEnds(time.text), " ");
    if (!time.ok() || hms.size() != 6 || !IsDigits(hms))
        return std::nullopt;
    printer.ReadClock();
    const std::string& ymd = printer.Identity().printerDate;
    if (ymd.size() != 8 || !IsDigits(ymd))
        return std::nullopt;
    PrinterClock clock{Digits(ymd, 0, 4), Digits(ymd, 4, 2), Digits(ymd, 6, 2),
                       Digits(hms, 0, 2), Digits(hms, 2, 2), Digits(hms, 4, 2)};
    if (!ValidDate(clock.year, clock.month, clock.day) ||
        !ValidTime(clock.hour, clock.minute, clock.second))
        return std::nullopt;
    return clock;
}

OpResult SetPrinterDate(CBrakPrinter& printer, int year, int month, int day) {
    if (year < 2000 || year > 2099 || !ValidDate(year, month, day))
        return {OpStatus::Refused, std::nullopt,
                "the printer takes a date of the years 2000 to 2099 that exists"};
    char ymd[16];
    std::snprintf(ymd, sizeof ymd, "%04d%02d%02d", year, month, day);
    if (const TxResult sent = printer.SendSetupLine(std::string("DATE$=\"") + (ymd + 2) + "\"");
        !sent.ok())
        return {OpStatus::Failed, std::nullopt, "the date could not be sent"};
    const auto now = ReadClock(printer);
    if (!now)
        return {OpStatus::NoAnswer, std::nullopt, "the printer did not show its clock afterwards"};
    // The day may have turned meanwhile, which is no failure.
    const bool same = now->year == year && now->month == month &&
                      (now->day == day || (now->day == day + 1 && now->hour == 0));
    if (!same)
        return {OpStatus::Failed, std::nullopt,
                "the printer still shows " + FormatClock(*now).substr(0, 10)};
    return {};
}

OpResult SetPrinterTime(CBrakPrinter& printer, int hour, int minute, int second) {
    if (!ValidTime(hour, minute, second))
        return {OpStatus::Refused, std::nullopt, "a time runs from 00:00:00 to 23:59:59"};
    char hms[16];
    std::snprintf(hms, sizeof hms, "%02d%02d%02d", hour, minute, second);
    if (const TxResult sent = printer.SendSetupLine(std::string("TIME$=\"") + hms + "\"");
        !sent.ok())
        return {OpStatus::Failed, std::nullopt, "the time could not be sent"};
    if (!ReadClock(printer))
        return {OpStatus::NoAnswer, std::nullopt, "the printer did not show its clock afterwards"};
    return {};
}

std::string FormatClock(const PrinterClock& clock) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    return text;
}

}  // namespace tarvo::app
