// The command text of a bitmap font: a face rendered at a size and sent character by character
// as dot columns ("T..;x..;y..;" once, then "t..;Z..;u..;" per character). The text is built
// apart from sending it, so that it can be measured and checked without a printer.
#pragma once

#include <string>
#include <vector>

#include "fonts/rendered_font.h"
#include "tarvo/directory.h"

namespace tarvo::fonts {

// "T<id>,<newDescription>;x<max width>;y<cell height>;".
std::string BitmapFontHeader(const FontInfo& entry, const TextMetrics& metrics);

// The codes a conversion tries, ascending, from the larger of 32 and the face's first character
// up to its last: charRange 1 letters and digits, 2 digits, 3 printable (32..126), any other
// value all of them. A code the face has no glyph for is skipped later.
std::vector<unsigned> BitmapFontCodes(int charRange, const TextMetrics& metrics);

// The progress total: 62, 10 or 95 for charRange 1, 2, 3, otherwise last - first + 1 (at
// least 0).
int BitmapFontProgressTotal(int charRange, const TextMetrics& metrics);

// The commands of one character: "t<code>,<A>;Z<B>;" when A is negative, else
// "t<code>;Z<advance>;" (advance capped at the maximum width), then per column x of the glyph
// "u<x>," with (cell height / 6) + 1 characters of six rows each ('@' plus bit r mod 6 for a set
// dot in row r) and ";". A glyph without a bitmap sends `advance` blank columns; empty when its
// advance is below 1 (the character is not sent).
std::string BitmapCharacterCommands(unsigned code, const Glyph& glyph, const TextMetrics& metrics);

// The whole conversion without sending it: the header first, then the commands of each
// character that is sent, in code order. May throw std::bad_alloc.
std::vector<std::string> BuildBitmapFontCommands(const FontInfo& entry, RenderedFont& font);

}  // namespace tarvo::fonts
