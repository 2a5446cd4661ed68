// The printer's FONTS and IMAGES listings: the names of the fonts and images it holds, for the
// configuration report and the test print.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// A FONTS or IMAGES listing as read from the printer.
struct BrakNameListing {
    bool read = false;       // the printer answered
    bool portBusy = false;   // the port would not open (another program holds it)
    bool truncated = false;  // the answer was longer than the reply buffer; names are missing
    std::vector<std::string> names;
};

// The names of a FONTS or IMAGES answer: one per line, blanks trimmed; an image line's name
// ends at its first blank (the size follows). "Ok", "No images" and empty lines are no names.
std::vector<std::string> ParseNameListing(std::string_view reply, bool imageListing);

// Reads "FONTS" or "IMAGES" from the printer.
BrakNameListing ReadFontNames(CBrakPrinter& printer);
BrakNameListing ReadImageNames(CBrakPrinter& printer);

// Whether `listing` was read and names `name` (exactly).
bool ListsName(const BrakNameListing& listing, std::string_view name);

}  // namespace tarvo::app
