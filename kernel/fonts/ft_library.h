// FreeType handles owned by objects: a library set up for the printer's monochrome glyphs and
// the faces opened from it. A face must not outlive the library it came from; holders declare
// the library first.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fonts/sfnt_tables.h"

namespace tarvo::fonts {

// A FreeType library with the TrueType interpreter of version 35, whose monochrome hinting
// gives the crisp one-bit glyphs a thermal printer needs.
class FtLibrary {
  public:
    FtLibrary();
    ~FtLibrary();
    FtLibrary(const FtLibrary&) = delete;
    FtLibrary& operator=(const FtLibrary&) = delete;

    // Null when FreeType could not start (no memory).
    FT_Library get() const { return library_; }

  private:
    FT_Library library_ = nullptr;
};

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FtFace = std::unique_ptr<FT_FaceRec_, FaceCloser>;

// Opens face `index` of `file`; null when FreeType cannot read it.
FtFace OpenFace(const FtLibrary& library, const std::string& file, long index);

// The number of faces in `file` (1 for a single font); 0 when FreeType cannot read it.
long FaceCount(const FtLibrary& library, const std::string& file);

// The bytes of table `tag` of `face`; none when the face has no such table.
std::optional<std::vector<std::uint8_t>> LoadTable(FT_Face face, std::uint32_t tag);

// True for a face whose glyphs are TrueType outlines (an sfnt with a glyf table).
bool HasTrueTypeOutlines(FT_Face face);

// What a face says about itself, read from its own tables.
struct FaceTraits {
    std::vector<std::string> familyNames;  // FreeType's family name and the name-table's
    std::vector<std::string> fullNames;    // name ID 4, every platform
    FaceStyle style;                       // OS/2, or the defaults without one
};
FaceTraits ReadFaceTraits(FT_Face face);

}  // namespace tarvo::fonts
