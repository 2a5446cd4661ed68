// An image in memory as the graphic conversion sees it: one 0xRRGGBB value per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

// Most pixels an image may hold, source or target: enough for any label a printer can take
// (65535 dots is the protocol's limit per side), small enough that a hostile file cannot make
// the conversion allocate without bound.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{64} << 20;

// Longest side of a graphic sent to the printer, in dots.
inline constexpr std::int64_t kMaxGraphicSide = 65535;

// Row-major pixels, top row first, each 0xRRGGBB (the top byte is always 0).
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // The pixel at column x, row y; both must lie inside the image.
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    std::uint32_t& at(int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

}  // namespace tarvo
