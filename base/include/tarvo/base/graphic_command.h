// A graphic entry's bitmap file turned into the printer's graphic command text: load, rotate,
// size in dots, stretch, then encode column by column six rows to a character.
//
// Every function here is stateless and reads nothing but the entry's bitmap file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tarvo/base/rgb_image.h"
#include "tarvo/directory.h"

namespace tarvo {

// Load, rotate, size and stretch: the image the printer will receive (before the printed-pixel
// rule). The size in dots is the rotated bitmap's size times entry.scale when entry.scaleMode is
// PCU_SCALE_BY_FACTOR, otherwise entry.width x entry.height inches converted with the dot size of
// `emulation`; each is truncated toward zero and then raised to at least 1.
// Returns 0, the loader's codes (see LoadBitmapFile), PCU_ERR_ARGUMENT (null out, a rotation
// outside 0..3, or an unknown emulation code when sizing by inches), PCU_ERR_IMAGE_SIZE (a size
// that is not a number, negative, over kMaxGraphicSide dots per side or over kMaxImagePixels) or
// PCU_ERR_NO_MEMORY. *out is replaced only on success; *why (may be null) gets a reason for the
// user on failure.
int PrepareGraphic(const GraphicInfo& entry, int emulation, RgbImage* out, std::string* why);

// The whole command text for the entry: "G<id>,<newDescription>;x<width>;y<height>;" and one
// "u<x>,<characters>;" per column. Returns 0 or an error code of PrepareGraphic (PCU_ERR_ARGUMENT
// also for a null text); *why gets a reason for the user on failure (may be null). *text is
// replaced only on success.
int BuildGraphicCommand(const GraphicInfo& entry, int emulation, std::string* text,
                        std::string* why);

// Encodes an already prepared image (used by BuildGraphicCommand and by benchmarks): each column
// has (height + 5) / 6 characters starting at '@', row y setting bit (y mod 6) when its pixel is
// printed. May throw std::bad_alloc.
std::string EncodeGraphicCommand(unsigned id, std::string_view description, const RgbImage& image);

// Printed size of a graphic: dots across and down, and width * height / 8 bytes.
struct GraphicEstimate {
    std::int64_t width = 0, height = 0, bytes = 0;
};

// Loads and sizes the entry's graphic as PrepareGraphic does, without stretching it, and fills
// *out. A graphic that cannot be loaded or sized estimates all zeros and returns the error (the
// codes of PrepareGraphic); a null out gives PCU_ERR_ARGUMENT.
int EstimateGraphicSize(const GraphicInfo& entry, int emulation, GraphicEstimate* out);

}  // namespace tarvo
