// Resolving what a font entry names (a listed face name or a font file) to one installed or
// file-held TrueType face.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fonts/code_pages.h"
#include "fonts/sfnt_tables.h"
#include "tarvo/directory.h"

namespace tarvo::fonts {

struct ResolvedFace {
    std::string file;
    long index = 0;
    std::string faceName;  // the name matched: the listed name without suffix, or a family
    std::string fullName;
    FaceStyle style;
    CharacterSet charSet = CharacterSet::Default;
};

// A name from the host font list: cut before " (", compared (ASCII case ignored) with the full
// names of the installed TrueType faces; the first face in file order wins. The suffix selects
// the character set. None when no face matches. May throw std::bad_alloc.
std::optional<ResolvedFace> ResolveListedName(std::string_view listedName);

// A TrueType font file (or collection): its family-name candidates and style are read from its
// first face's tables; for each candidate in turn the file's own faces and then the installed
// faces are tried. With a style, a face matches when one of its family names equals the
// candidate and its weight, italic, underline and strike-out agree; without one, when one of
// its full names equals the candidate. None when the file is not a TrueType font or nothing
// matches. May throw std::bad_alloc.
std::optional<ResolvedFace> ResolveFontFile(const std::string& path);

// The face of a font entry: by faceName with source PCU_FONT_SOURCE_FACE, else by path.
std::optional<ResolvedFace> ResolveEntry(const FontInfo& entry);

// The name of a font entry's converted file: the resolved face name for a face, the file's
// base name without its extension for a file.
std::string OutputNameOf(const FontInfo& entry, const ResolvedFace& face);

}  // namespace tarvo::fonts
