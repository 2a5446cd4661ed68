// Parsers of the printer's directory listings (the answers to <ESC>v, <ESC>u, <ESC>x and
// <ESC>y). Pure functions over the reply bytes, so they can be tested and fuzzed without a
// printer.
//
// A listing is a series of lines, each ended by CR. The printer sends every line as a reply of
// its own, "line CR LF" between its frame characters; the framing layer strips only the first
// preamble and the last postamble, so the next line starts 2 bytes after a CR, plus one for each
// frame character in use. Anything after the last CR is an unfinished line and is ignored.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "tarvo/directory.h"

namespace tarvo {

// How far the next line starts after a CR: CR LF plus the frame characters between replies.
std::size_t ListingLineStep(bool preamble, bool postamble);

// The lines of a listing, without their CR. A leading DC1 or DC2 (an acknowledge in front of
// the reply) is skipped.
std::vector<std::string_view> SplitListing(std::string_view reply, std::size_t lineStep);

template <class Record>
struct Listing {
    std::vector<Record> entries;  // in reply order
    int badLines = 0;             // lines dropped, or kept with a description cut to fit
};

// One line each. Font: number, description, type, size. Graphic and format: number,
// description, an ignored field, size. Page: number and further fields. Every line holds at
// least three commas. Numbers are decimal digits only; an empty number or (graphics and formats)
// an empty size counts as 0; a number above 65535 or a size above 4294967295 does not parse.
// Descriptions hold bytes from 32 up; one longer than 32 characters is cut and the line counted
// bad, but kept. Fields past the fourth are ignored.
Listing<FontInfo> ParseFontListing(std::string_view reply, std::size_t lineStep);
Listing<GraphicInfo> ParseGraphicListing(std::string_view reply, std::size_t lineStep);
Listing<FormatInfo> ParseFormatListing(std::string_view reply, std::size_t lineStep);
Listing<PageInfo> ParsePageListing(std::string_view reply, std::size_t lineStep);

}  // namespace tarvo
