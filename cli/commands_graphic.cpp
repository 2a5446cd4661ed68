// `tarvo graphic preview`: what a graphic download would print, drawn as a black and white PNG
// (printed dots black), after the same rotation, sizing and colour rule as the download itself.
#include <png.h>
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_line.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/image_ops.h"
#include "tarvo/base/fs.h"
#include "tarvo/directory.h"

namespace tarvo::cli {
namespace {

constexpr const char* kPreviewUsage =
    "usage: tarvo graphic preview FILE [--scale S | --size WxH] [--rotate 0|90|180|270] "
    "[--emulation N] --out PNG";

struct PreviewOptions {
    std::string file;
    std::string out;
    std::optional<double> scale;
    std::optional<double> widthInches;
    double heightInches = 0;
    int rotation = 0;  // quarter turns clockwise
    int emulation = 0;
};

// A whole decimal number, finite; false for anything else.
bool ParseDecimal(const std::string& text, double* value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end && std::isfinite(*value);
}

bool ParseInteger(const std::string& text, int* value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end;
}

// Reads one option and its value; returns an error text, empty on success.
std::string ReadOption(const std::string& name, const std::string& value, PreviewOptions* o) {
    if (name == "--out") {
        o->out = value;
    } else if (name == "--scale") {
        double scale = 0;
        if (!ParseDecimal(value, &scale) || scale <= 0)
            return "--scale takes a positive number, not '" + value + "'";
        o->scale = scale;
    } else if (name == "--size") {
        const auto x = value.find('x');
        double w = 0;
        double h = 0;
        if (x == std::string::npos || !ParseDecimal(value.substr(0, x), &w) ||
            !ParseDecimal(value.substr(x + 1), &h) || w <= 0 || h <= 0)
            return "--size takes WIDTHxHEIGHT in inches (e.g. 1.5x0.75), not '" + value + "'";
        o->widthInches = w;
        o->heightInches = h;
    } else if (name == "--rotate") {
        int degrees = -1;
        if (!ParseInteger(value, &degrees) || degrees < 0 || degrees > 270 || degrees % 90 != 0)
            return "--rotate takes 0, 90, 180 or 270, not '" + value + "'";
        o->rotation = degrees / 90;
    } else if (name == "--emulation") {
        if (!ParseInteger(value, &o->emulation))
            return "--emulation takes a whole number, not '" + value + "'";
    } else {
        return "unknown option " + name;
    }
    return "";
}

std::optional<PreviewOptions> ParsePreview(const std::vector<std::string>& args,
                                           std::string* error) {
    PreviewOptions o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            if (!o.file.empty()) {
                *error = "more than one bitmap file given";
                return std::nullopt;
            }
            o.file = arg;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = "option " + arg + " needs a value";
            return std::nullopt;
        }
        *error = ReadOption(arg, args[++i], &o);
        if (!error->empty())
            return std::nullopt;
    }
    if (o.file.empty() || o.out.empty())
        *error = "a bitmap FILE and --out PNG are needed";
    else if (o.scale && o.widthInches)
        *error = "give either --scale or --size, not both";
    else if (o.file.size() >= PCU_OBJECT_PATH_SIZE)
        *error = "the bitmap file's path is longer than " +
                 std::to_string(PCU_OBJECT_PATH_SIZE - 1) + " bytes";
    if (!error->empty())
        return std::nullopt;
    return o;
}

GraphicInfo EntryFor(const PreviewOptions& o) {
    GraphicInfo entry{};
    std::memcpy(entry.path, o.file.c_str(), o.file.size() + 1);
    entry.rotation = static_cast<std::int16_t>(o.rotation);
    if (o.widthInches) {
        entry.scaleMode = 0;
        entry.width = static_cast<float>(*o.widthInches);
        entry.height = static_cast<float>(o.heightInches);
    } else {
        entry.scaleMode = PCU_SCALE_BY_FACTOR;
        entry.scale = static_cast<float>(o.scale.value_or(1.0));
    }
    return entry;
}

// libpng's output callback: appends to the std::string given as its I/O pointer.
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    bool ok = true;
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

// One image row as 1-bit grey, most significant bit first: 0 where the printer prints.
void PackRow(const RgbImage& image, int y, std::uint8_t* row) {
    std::memset(row, 0xFF, (static_cast<std::size_t>(image.width) + 7) / 8);
    for (int x = 0; x < image.width; ++x) {
        if (IsPrintedPixel(image.at(x, y)))
            row[x / 8] = static_cast<std::uint8_t>(row[x / 8] & ~(0x80 >> (x % 8)));
    }
}

// Encodes the image into *out. libpng reports errors by longjmp, so this frame holds nothing
// that needs a destructor; the row buffer and the output belong to the caller.
bool EncodePng(const RgbImage& image, std::uint8_t* row, std::string* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        PackRow(image, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes the preview to `path` through a temporary file beside it, so an existing file is
// either kept or replaced whole.
bool WritePreview(const RgbImage& image, const std::string& path) {
    std::vector<std::uint8_t> row((static_cast<std::size_t>(image.width) + 7) / 8);
    std::string bytes;
    if (!EncodePng(image, row.data(), &bytes))
        return false;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return platform::WriteFileAtomically(path, bytes, 0666 & ~mask);
}

int RunPreview(const CommandLine& line) {
    std::string error;
    const std::optional<PreviewOptions> o = ParsePreview(line.args, &error);
    if (!o)
        return Fail(error + "\n" + kPreviewUsage, kUsage);
    RgbImage image;
    std::string why;
    if (PrepareGraphic(EntryFor(*o), o->emulation, &image, &why) != 0)
        return Fail("cannot convert " + o->file + ": " + why);
    try {
        if (!WritePreview(image, o->out))
            return Fail("cannot write " + o->out);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory to write " + o->out);
    }
    const std::int64_t bytes = std::int64_t{image.width} * image.height / 8;
    std::cout << image.width << "x" << image.height << " dots, " << bytes << " bytes\n";
    return 0;
}

}  // namespace

int RunGraphic(int /*ctx*/, const CommandLine& line) {
    if (line.args.empty() || line.args[0] != "preview")
        return Fail(kPreviewUsage, kUsage);
    return RunPreview(line);
}

}  // namespace tarvo::cli
