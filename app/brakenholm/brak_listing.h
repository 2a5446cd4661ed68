// Reading a Brakenholm setup listing (the printer's answer to SETUP WRITE, and the setup file,
// which has the same form) into a BrakSetup. Pure: nothing here touches a port or a setting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_setup.h"

namespace tarvo::app {

// A key's line in a listing: the text after the first occurrence of `key` (case-sensitive) up
// to the end of its line. Lookups start at `from`. Nullopt when the key does not occur.
struct KeyLine {
    std::string_view rest;   // after the key, to the line end
    std::size_t keyEnd = 0;  // offset in the listing just past the key
};
std::optional<KeyLine> FindKeyLine(std::string_view listing, std::string_view key,
                                   std::size_t from = 0);

// The number that ends a key's line: the run of "0123456789+-" at its very end, read as a
// decimal (saturating). A line that ends in anything else (a trailing blank, say) gives 0.
long long TrailingNumber(std::string_view rest);

// The text of a key's line: after the one separator character that follows the key, trailing
// blanks removed.
std::string_view ValueText(std::string_view rest);

struct ListingParse {
    // The serial settings were found (char length and stop bits non-zero). Only then is `setup`
    // meaningful; a caller keeps its record otherwise.
    bool ok = false;
    BrakSetup setup;
    // Table fields whose text matched no table entry, as "KEY: text"; they read as unset.
    std::vector<std::string> unrecognised;
};

// Parses `listing` for a printer of `generation`; the port index is copied into the record.
ListingParse ParseListing(std::string_view listing, int generation, std::uint16_t portIndex);

}  // namespace tarvo::app
