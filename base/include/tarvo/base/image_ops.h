// Turning and sizing images, and the rule that decides which pixels the printer prints.
#pragma once

#include <cstdint>

#include "tarvo/base/rgb_image.h"

namespace tarvo {

// True when the printer prints a pixel of colour `rgb` (0xRRGGBB): no green at all and no red or
// no blue. Black, pure red and pure blue print; white and anything with green do not.
// Inline: the encoder asks once per pixel.
inline bool IsPrintedPixel(std::uint32_t rgb) {
    const std::uint32_t red = (rgb >> 16) & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = rgb & 0xFF;
    return green == 0 && (red == 0 || blue == 0);
}

// The image turned by `rotation`: 0 unchanged, 1 a quarter turn clockwise (W x H becomes
// H x W, source (x, y) lands at (H - 1 - y, x)), 2 a half turn, 3 a quarter turn
// counter-clockwise (source (x, y) lands at (y, W - 1 - x)). Other values are the caller's
// error and leave the image unchanged. May throw std::bad_alloc.
RgbImage Rotate(const RgbImage& source, int rotation);

// The image resized to width x height (both at least 1), each axis on its own. Shrinking an axis
// combines every source pixel s that lands on destination pixel i = floor(s * D / S) with a
// bitwise AND of their colours, so a single printed pixel survives; enlarging repeats pixel
// floor(i * S / D). May throw std::bad_alloc.
RgbImage Stretch(const RgbImage& source, int width, int height);

}  // namespace tarvo
