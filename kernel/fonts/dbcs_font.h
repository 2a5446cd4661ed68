// Double-byte conversion: a face rendered at a size into an .ibf image file for the .IBF sender.
#pragma once

#include <functional>
#include <string>

#include "fonts/ibf_layout.h"
#include "fonts/rendered_font.h"
#include "tarvo/directory.h"

namespace tarvo::fonts {

// The directory converted fonts are written to: the directory part of $TARVOFONT when it is
// set, else the kernel's data directory.
std::string IbfDirectory();

// True for a usable output name: not empty and without '/' (it must stay inside the
// directory).
bool ValidIbfName(const std::string& name);

// The image text of `font` over `index`: the blank record, every single-byte code from the
// larger of 32 and the first character to the last that has a glyph, then every double-byte
// code of the ranges that has one. `progress` (may be null) is told after each double-byte code
// how many were done. Returns 0, or PCU_ERR_DBCS_RANGES when the image outgrows the header's
// numbers. May throw std::bad_alloc.
int BuildIbfText(RenderedFont& font, const IbfIndex& index,
                 const std::function<void(long done)>& progress, std::string* text);

}  // namespace tarvo::fonts
