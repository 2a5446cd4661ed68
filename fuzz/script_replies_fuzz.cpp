// Fuzzes the readers of what a Tallyscript printer and an operator's media table hand us: the
// FILES listing, the FONTS and IMAGES name listings, and the print quality wizard's media
// tables. The first input byte picks the reader; the rest is its text. Beyond not crashing,
// what each reader accepts must be what the program relies on: entries with a name and a plain
// size, names without blanks or line ends, and media values inside the ranges the printer takes.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "brakenholm/brak_files.h"
#include "brakenholm/brak_media_table.h"
#include "brakenholm/brak_name_listing.h"
#include "fuzz_check.h"

namespace {

using namespace tarvo::app;

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool HasLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void FilesListing(std::string_view reply) {
    const BrakFilesListing listing = ParseFilesListing(reply);
    if (!listing.answered)
        Check(listing.entries.empty() && !listing.complete, "silence lists nothing");
    for (const DirectoryEntry& entry : listing.entries) {
        Check(!entry.FileName().empty() && !HasLineEnd(entry.FileName()), "an entry has a name");
        Check(AllDigits(entry.size), "an entry's size is a plain number");
    }
    if (listing.freeBytes)
        Check(*listing.freeBytes >= 0, "free bytes are never negative");
}

void NameListing(std::string_view reply, bool images) {
    for (const std::string& name : ParseNameListing(reply, images)) {
        Check(!name.empty() && !HasLineEnd(name), "a name is one non-empty line");
        Check(name.front() != ' ' && name.back() != ' ', "a name is trimmed");
    }
}

void MediaTable(std::string_view text, MediaKind kind, bool model880KS) {
    const BrakMediaTable table = BrakMediaTable::Parse(text, kind, model880KS);
    for (std::size_t i = 0; i < table.entries().size(); ++i) {
        const BrakMediaEntry& e = table.entries()[i];
        Check(e.name.size() <= kMediaLineMax && e.name.size() <= table.longestName(),
              "a name fits its line and the longest name");
        Check(e.constant >= 50 && e.constant <= 115, "the constant is in range");
        Check(e.factor >= 10 && e.factor <= 50, "the factor is in range");
        Check(
            kind == MediaKind::ThermalTransfer ? e.offset >= -50 && e.offset <= 50 : e.offset == 0,
            "the offset is in range");
        Check(e.maxSpeed >= 100 && e.maxSpeed <= (model880KS ? 225 : 300),
              "the speed is in the model's range");
        Check(table.Preselect(e.constant, e.factor, e.offset) <= static_cast<int>(i),
              "an entry's own values preselect it or an earlier twin");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 6) {
        case 0:
            FilesListing(text);
            break;
        case 1:
            NameListing(text, false);
            break;
        case 2:
            NameListing(text, true);
            break;
        case 3:
            MediaTable(text, MediaKind::DirectThermal, false);
            break;
        case 4:
            MediaTable(text, MediaKind::ThermalTransfer, false);
            break;
        default:
            MediaTable(text, MediaKind::ThermalTransfer, true);
            break;
    }
    return 0;
}
