// Reads arbitrary bytes as a bitmap file. Whatever a file claims, the reader must refuse it or
// return an image whose pixels match its size; a small result is also turned, stretched and
// encoded to check the command text's shape.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "tarvo/base/bitmap_file.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/image_ops.h"
#include "tarvo/downloads.h"

namespace {

// Images up to this many pixels are also encoded; larger ones only loaded.
constexpr std::int64_t kEncodeLimit = 1 << 14;

void CheckEncoding(const tarvo::RgbImage& image) {
    const std::string text = tarvo::EncodeGraphicCommand(12, "FUZZ", image);
    const std::string header =
        "G12,FUZZ;x" + std::to_string(image.width) + ";y" + std::to_string(image.height) + ";";
    Check(text.starts_with(header), "the text starts with its header");
    const std::size_t chars = (static_cast<std::size_t>(image.height) + 5) / 6;
    std::size_t at = header.size();
    for (int x = 0; x < image.width; ++x) {
        const std::string column = "u" + std::to_string(x) + ",";
        Check(text.compare(at, column.size(), column) == 0, "each column is numbered in turn");
        at += column.size();
        for (std::size_t c = 0; c < chars; ++c)
            Check(text[at + c] >= '@' && text[at + c] <= '\x7F', "characters lie in @..DEL");
        at += chars;
        Check(text[at] == ';', "each column ends with ';'");
        ++at;
    }
    Check(at == text.size(), "nothing follows the last column");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tarvo::RgbImage image;
    std::string why;
    const int rc = tarvo::ParseBitmap(bytes, &image, &why);
    if (rc != PCU_OK) {
        Check(!why.empty(), "a refusal gives a reason");
        Check(rc == PCU_ERR_FILE_READ || rc == PCU_ERR_IMAGE_FORMAT || rc == PCU_ERR_IMAGE_SIZE ||
                  rc == PCU_ERR_NO_MEMORY,
              "a refusal has a loader's code");
        return 0;
    }
    Check(image.width > 0 && image.height > 0, "an image has pixels");
    Check(static_cast<std::int64_t>(image.width) * image.height <= tarvo::kMaxImagePixels,
          "an image keeps to the pixel budget");
    Check(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height,
          "the pixels match the size");
    for (const std::uint32_t p : image.pixels)
        Check(p <= 0xFFFFFF, "pixels are 0xRRGGBB");
    if (static_cast<std::int64_t>(image.width) * image.height > kEncodeLimit)
        return 0;
    CheckEncoding(image);
    const tarvo::RgbImage turned = tarvo::Rotate(image, 1 + static_cast<int>(size % 3));
    Check(turned.pixels.size() == image.pixels.size(), "a turn keeps every pixel");
    const int width = 1 + static_cast<int>(data[size / 2] % 40);
    const int height = 1 + static_cast<int>(data[size - 1] % 40);
    const tarvo::RgbImage stretched = tarvo::Stretch(turned, width, height);
    Check(stretched.width == width && stretched.height == height &&
              stretched.pixels.size() == static_cast<std::size_t>(width) * height,
          "a stretch gives the size asked for");
    CheckEncoding(stretched);
    return 0;
}
