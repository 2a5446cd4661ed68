#include "tarvo/base/graphic_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "tarvo/base/bitmap_file.h"
#include "tarvo/base/image_ops.h"
#include "tarvo/base/dot_size.h"
#include "tarvo/downloads.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kRowsPerCharacter = 6;

int Refuse(int code, std::string* why, const std::string& reason) {
    if (why != nullptr)
        *why = reason;
    return code;
}

// A text field of a record, cut at its terminator or at its last byte, which always holds one.
std::string FieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size - 1));
}

// One side in dots from its exact value: truncated toward zero, at least 1.
int SideInDots(double exact, const char* side, std::int64_t* dots, std::string* why) {
    if (!(exact >= 0))
        return Refuse(PCU_ERR_IMAGE_SIZE, why,
                      std::string("the graphic's ") + side + " is not a positive number");
    if (exact >= static_cast<double>(kMaxGraphicSide + 1))
        return Refuse(PCU_ERR_IMAGE_SIZE, why,
                      std::string("the graphic's ") + side + " is over " +
                          std::to_string(kMaxGraphicSide) + " dots");
    *dots = std::max<std::int64_t>(1, static_cast<std::int64_t>(exact));
    return PCU_OK;
}

// The size in dots the printer receives, for a bitmap (already rotated) of width x height.
int TargetSize(const GraphicInfo& entry, int emulation, int width, int height,
               std::int64_t* dotsWide, std::int64_t* dotsHigh, std::string* why) {
    double exactWide = 0;
    double exactHigh = 0;
    if (entry.scaleMode == PCU_SCALE_BY_FACTOR) {
        exactWide = width * static_cast<double>(entry.scale);
        exactHigh = height * static_cast<double>(entry.scale);
    } else {
        const std::optional<double> dot = DotSizeMm(emulation);
        if (!dot)
            return Refuse(PCU_ERR_ARGUMENT, why,
                          "unknown emulation code " + std::to_string(emulation) +
                              ": the dot size is not known");
        exactWide = static_cast<double>(entry.width) * kMmPerInch / *dot;
        exactHigh = static_cast<double>(entry.height) * kMmPerInch / *dot;
    }
    if (const int rc = SideInDots(exactWide, "width", dotsWide, why); rc != PCU_OK)
        return rc;
    if (const int rc = SideInDots(exactHigh, "height", dotsHigh, why); rc != PCU_OK)
        return rc;
    if (*dotsWide * *dotsHigh > kMaxImagePixels)
        return Refuse(PCU_ERR_IMAGE_SIZE, why,
                      "the graphic is too large (" + std::to_string(*dotsWide) + " x " +
                          std::to_string(*dotsHigh) + " dots)");
    return PCU_OK;
}

// Loads the entry's bitmap and checks its rotation.
int LoadEntry(const GraphicInfo& entry, RgbImage* image, std::string* why) {
    if (entry.rotation < 0 || entry.rotation > 3)
        return Refuse(PCU_ERR_ARGUMENT, why,
                      "the graphic's rotation must be 0..3, not " + std::to_string(entry.rotation));
    return LoadBitmapFile(FieldText(entry.path, sizeof entry.path), image, why);
}

std::size_t DecimalDigits(std::int64_t v) {
    std::size_t n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

}  // namespace

int PrepareGraphic(const GraphicInfo& entry, int emulation, RgbImage* out, std::string* why) {
    if (out == nullptr)
        return Refuse(PCU_ERR_ARGUMENT, why, "no image to prepare into");
    try {
        RgbImage image;
        if (const int rc = LoadEntry(entry, &image, why); rc != PCU_OK)
            return rc;
        if (entry.rotation != 0)
            image = Rotate(image, entry.rotation);
        std::int64_t wide = 0;
        std::int64_t high = 0;
        if (const int rc =
                TargetSize(entry, emulation, image.width, image.height, &wide, &high, why);
            rc != PCU_OK)
            return rc;
        if (wide != image.width || high != image.height)
            image = Stretch(image, static_cast<int>(wide), static_cast<int>(high));
        *out = std::move(image);
    } catch (const std::bad_alloc&) {
        return Refuse(PCU_ERR_NO_MEMORY, why, "not enough memory to convert the graphic");
    }
    return PCU_OK;
}

std::string EncodeGraphicCommand(unsigned id, std::string_view description, const RgbImage& image) {
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    const std::size_t chars = (height + kRowsPerCharacter - 1) / kRowsPerCharacter;

    // The characters of every column, column after column. The image is read in memory order,
    // six rows (one character of every column) at a time, so each character is written once.
    std::vector<char> columns(width * chars, '@');
    for (std::size_t band = 0; band < chars; ++band) {
        const std::size_t top = band * kRowsPerCharacter;
        const std::size_t rows = std::min<std::size_t>(kRowsPerCharacter, height - top);
        for (std::size_t r = 0; r < rows; ++r) {
            const std::uint32_t* row = image.pixels.data() + (top + r) * width;
            const char bit = static_cast<char>(1 << r);
            char* out = columns.data() + band;
            for (std::size_t x = 0; x < width; ++x, out += chars) {
                if (IsPrintedPixel(row[x]))
                    *out |= bit;
            }
        }
    }

    char header[64];
    const int headerLength = std::snprintf(header, sizeof header, "G%u,", id);
    char size[64];
    const int sizeLength = std::snprintf(size, sizeof size, ";x%d;y%d;", image.width, image.height);
    std::size_t total = static_cast<std::size_t>(headerLength) + description.size() +
                        static_cast<std::size_t>(sizeLength);
    for (std::size_t x = 0; x < width; ++x)
        total += 3 + DecimalDigits(static_cast<std::int64_t>(x)) + chars;  // "u" x "," ... ";"

    std::string text;
    text.reserve(total);
    text.append(header, static_cast<std::size_t>(headerLength));
    text.append(description);
    text.append(size, static_cast<std::size_t>(sizeLength));
    for (std::size_t x = 0; x < width; ++x) {
        std::array<char, 24> number{};
        const auto written = std::to_chars(number.data(), number.data() + number.size(), x);
        text += 'u';
        text.append(number.data(), written.ptr);
        text += ',';
        text.append(columns.data() + x * chars, chars);
        text += ';';
    }
    return text;
}

int BuildGraphicCommand(const GraphicInfo& entry, int emulation, std::string* text,
                        std::string* why) {
    if (text == nullptr)
        return Refuse(PCU_ERR_ARGUMENT, why, "no text to build into");
    RgbImage image;
    if (const int rc = PrepareGraphic(entry, emulation, &image, why); rc != PCU_OK)
        return rc;
    try {
        *text = EncodeGraphicCommand(
            entry.id, FieldText(entry.newDescription, sizeof entry.newDescription), image);
    } catch (const std::bad_alloc&) {
        return Refuse(PCU_ERR_NO_MEMORY, why, "not enough memory for the graphic's command text");
    }
    return PCU_OK;
}

int EstimateGraphicSize(const GraphicInfo& entry, int emulation, GraphicEstimate* out) {
    if (out == nullptr)
        return PCU_ERR_ARGUMENT;
    *out = GraphicEstimate{};
    std::int64_t wide = 0;
    std::int64_t high = 0;
    try {
        RgbImage image;
        if (const int rc = LoadEntry(entry, &image, nullptr); rc != PCU_OK)
            return rc;
        // A quarter turn swaps the sides; the pixels themselves do not matter here.
        const bool quarter = entry.rotation == 1 || entry.rotation == 3;
        const int width = quarter ? image.height : image.width;
        const int height = quarter ? image.width : image.height;
        if (const int rc = TargetSize(entry, emulation, width, height, &wide, &high, nullptr);
            rc != PCU_OK)
            return rc;
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
    out->width = wide;
    out->height = high;
    out->bytes = wide * high / 8;
    return PCU_OK;
}

}  // namespace tarvo
