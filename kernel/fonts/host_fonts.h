// The TrueType faces installed on the host, as Fontconfig knows them, and the names the font
// pages list for them.
#pragma once

#include <string>
#include <vector>

#include "fonts/code_pages.h"

namespace tarvo::fonts {

inline constexpr std::size_t kMaxListedName = 64;

struct InstalledFace {
    std::string file;
    long index = 0;                      // face index inside the file (named instances too)
    std::string fullName;                // Fontconfig's first full name, else first family
    std::vector<std::string> families;   // every family name Fontconfig holds
    std::vector<CharacterSet> coverage;  // suffixed sets whose languages the face covers
};

// Every installed face with TrueType outlines (faces with PostScript outlines are not
// TrueType), except those whose names begin with "@", in file and index order. Empty when
// Fontconfig cannot start. May throw std::bad_alloc.
std::vector<InstalledFace> InstalledTrueTypeFaces();

// The listed names of `faces`: each full name, plus the full name with the suffix of every set
// in its coverage; names longer than kMaxListedName are left out (they could not be resolved
// again). Sorted, without duplicates.
std::vector<std::string> ListedNames(const std::vector<InstalledFace>& faces);

// ASCII-case-insensitive equality, the comparison of face names throughout.
bool SameName(std::string_view a, std::string_view b);

}  // namespace tarvo::fonts
