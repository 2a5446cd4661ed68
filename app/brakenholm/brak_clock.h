// The printer's clock: reading it, and setting its date and time.
#pragma once

#include <optional>
#include <string>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

struct PrinterClock {
    int year = 0;  // four digits
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads the date (through the printer object, which keeps it in its identity) and the time
// ("PRINT TIME$"). Nullopt when either answer is missing or is no date or time.
std::optional<PrinterClock> ReadClock(CBrakPrinter& printer);

// Sends DATE$="YYMMDD" and reads the clock back. Refused (nothing sent) unless the date exists
// and its year is 2000..2099, the years the printer's two digits name; Failed when the printer
// does not then show that date, NoAnswer when it does not answer.
OpResult SetPrinterDate(CBrakPrinter& printer, int year, int month, int day);

// Sends TIME$="HHMMSS" and reads the clock back. Refused (nothing sent) for a time outside
// 00:00:00..23:59:59; NoAnswer when the printer does not answer afterwards.
OpResult SetPrinterTime(CBrakPrinter& printer, int hour, int minute, int second);

// "2031-02-03 14:07:09".
std::string FormatClock(const PrinterClock& clock);

}  // namespace tarvo::app
