// The size of a printer font's characters in dots, from a font entry and the printer's dot size.
#pragma once

#include "tarvo/directory.h"

namespace tarvo::fonts {

// Largest character height or width in dots a conversion accepts.
inline constexpr int kMaxDots = 4000;

struct CharSize {
    int heightDots = 0;  // em height
    int widthDots = 0;   // average character width; 0 keeps the face's own proportion
};

// Size by points (sizeMode 1): ceiling(pointSize / 72 * 25.4 / dot size) dots high, the face's
// own width. Otherwise height and width in inches, each ceiling(inches * 25.4 / dot size) dots
// (a width of 0 keeps the face's proportion). Returns 0, or PCU_ERR_ARGUMENT for an emulation
// code without a dot size, a height that is not positive, a negative width, or a size above
// kMaxDots.
int ComputeCharSize(const FontInfo& entry, int emulation, CharSize* out);

}  // namespace tarvo::fonts
