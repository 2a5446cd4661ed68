// Bitmap files built byte by byte for the graphic tests: uncompressed bitmap files of every
// depth and raw monochrome device bitmaps, plus helpers to damage them on purpose.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace tarvo::test {

inline void PutLe16(std::string& bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void PutLe32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    PutLe16(bytes, offset, value & 0xFFFF);
    PutLe16(bytes, offset + 2, value >> 16);
}

// Offsets of the fields the tests change.
inline constexpr std::size_t kReserved1 = 6;
inline constexpr std::size_t kReserved2 = 8;
inline constexpr std::size_t kDataOffset = 10;
inline constexpr std::size_t kInfoSize = 14;
inline constexpr std::size_t kWidth = 18;
inline constexpr std::size_t kHeight = 22;
inline constexpr std::size_t kBitCount = 28;
inline constexpr std::size_t kCompression = 30;
inline constexpr std::size_t kColorsUsed = 46;

struct BmpOptions {
    bool topDown = false;
    std::uint32_t colorsUsed = 0;  // written as is; the palette given is stored in full
};

// A bitmap file of width x height at `bpp` bits. `value(x, y)` (y = 0 the top row) gives a
// palette index for 1, 4 and 8 bits, the raw 16-bit word for 16 bits and 0xRRGGBB for 24 and 32.
// `palette` holds 0xRRGGBB entries.
inline std::string Bmp(int width, int height, int bpp,
                       const std::function<std::uint32_t(int, int)>& value,
                       const std::vector<std::uint32_t>& palette = {}, BmpOptions options = {}) {
    const std::size_t stride = ((static_cast<std::size_t>(bpp) * width + 31) / 32) * 4;
    const std::size_t offset = 54 + palette.size() * 4;
    std::string b(offset + stride * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    PutLe32(b, 2, static_cast<std::uint32_t>(b.size()));
    PutLe32(b, kDataOffset, static_cast<std::uint32_t>(offset));
    PutLe32(b, kInfoSize, 40);
    PutLe32(b, kWidth, static_cast<std::uint32_t>(width));
    PutLe32(b, kHeight, static_cast<std::uint32_t>(options.topDown ? -height : height));
    PutLe16(b, 26, 1);
    PutLe16(b, kBitCount, static_cast<std::uint32_t>(bpp));
    PutLe32(b, kColorsUsed, options.colorsUsed);
    for (std::size_t i = 0; i < palette.size(); ++i)
        PutLe32(b, 54 + i * 4, palette[i]);  // B, G, R, 0 in the file
    for (int y = 0; y < height; ++y) {
        const int fileRow = options.topDown ? y : height - 1 - y;
        const std::size_t row = offset + static_cast<std::size_t>(fileRow) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            if (bpp <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * bpp;
                const int shift = 8 - bpp - static_cast<int>(bit % 8);
                b[row + bit / 8] = static_cast<char>(b[row + bit / 8] | (v << shift));
            } else if (bpp == 16) {
                PutLe16(b, row + x * 2, v);
            } else {
                const std::size_t p = row + static_cast<std::size_t>(x) * (bpp / 8);
                b[p] = static_cast<char>(v & 0xFF);
                b[p + 1] = static_cast<char>((v >> 8) & 0xFF);
                b[p + 2] = static_cast<char>((v >> 16) & 0xFF);
            }
        }
    }
    return b;
}

// A 1-bit bitmap file drawn as text: '#' black (printed), anything else white. All rows have
// the first row's length.
inline std::string MonoBmp(const std::vector<std::string>& rows, BmpOptions options = {}) {
    return Bmp(
        static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 1,
        [&](int x, int y) { return rows[y][x] == '#' ? 0u : 1u; }, {0x000000, 0xFFFFFF}, options);
}

// A raw monochrome device bitmap: mark 2, 0; the 24-byte record; the rows top first. `black(x,
// y)` pixels get bit 0, the rest bit 1.
inline std::string RawBitmap(int width, int height, int widthBytes,
                             const std::function<bool(int, int)>& black) {
    std::string b(26 + static_cast<std::size_t>(widthBytes) * height, '\0');
    b[0] = 2;
    PutLe32(b, 6, static_cast<std::uint32_t>(width));
    PutLe32(b, 10, static_cast<std::uint32_t>(height));
    PutLe32(b, 14, static_cast<std::uint32_t>(widthBytes));
    PutLe16(b, 18, 1);           // planes
    PutLe16(b, 20, 1);           // bits per pixel
    PutLe32(b, 22, 0xDEADBEEF);  // a stored pointer, meaningless in a file
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < widthBytes * 8; ++x) {
            if (x >= width || !black(x, y)) {
                const std::size_t at = 26 + static_cast<std::size_t>(y) * widthBytes + x / 8;
                b[at] = static_cast<char>(b[at] | (0x80 >> (x % 8)));
            }
        }
    }
    return b;
}

}  // namespace tarvo::test
