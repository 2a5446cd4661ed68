// Fuzzes the directory listing parsers with what a printer might send: the first byte picks the
// frame characters between lines, the rest is the listing. Every kind parses every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "fuzz_check.h"
#include "objects/listing_parser.h"

namespace {

template <std::size_t N>
void CheckText(const char (&field)[N]) {
    Check(strnlen(field, N) < N, "text fields are terminated");
}

// Every line either becomes an entry or is counted bad (a cut description does both).
template <class Record>
void CheckCounts(const tarvo::Listing<Record>& listing, std::size_t lines) {
    Check(listing.entries.size() <= lines, "no more entries than lines");
    Check(listing.entries.size() + static_cast<std::size_t>(listing.badLines) >= lines,
          "every line is accounted for");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t step = tarvo::ListingLineStep(data[0] & 1, data[0] & 2);
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t lines = tarvo::SplitListing(reply, step).size();

    const auto fonts = tarvo::ParseFontListing(reply, step);
    CheckCounts(fonts, lines);
    for (const FontInfo& f : fonts.entries) {
        CheckText(f.description);
        CheckText(f.newDescription);
        CheckText(f.path);
        Check(f.status == PCU_STATUS_STORED || f.status == PCU_STATUS_EMPTY, "font status");
        Check((f.status == PCU_STATUS_EMPTY) == (f.size == 0), "size 0 lists as empty");
        Check(f.kind == PCU_FONT_KIND_OUTLINE || f.kind == PCU_FONT_KIND_BITMAP, "font kind");
    }
    const auto graphics = tarvo::ParseGraphicListing(reply, step);
    CheckCounts(graphics, lines);
    for (const GraphicInfo& g : graphics.entries) {
        CheckText(g.description);
        Check(g.status == PCU_STATUS_STORED && g.pending == 0, "graphic state");
    }
    const auto formats = tarvo::ParseFormatListing(reply, step);
    CheckCounts(formats, lines);
    for (const FormatInfo& f : formats.entries)
        CheckText(f.description);
    const auto pages = tarvo::ParsePageListing(reply, step);
    CheckCounts(pages, lines);
    Check(pages.entries.size() + static_cast<std::size_t>(pages.badLines) == lines,
          "a page line is either read or dropped");
    return 0;
}
