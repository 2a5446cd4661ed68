#include "tarvo/base/bitmap_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "tarvo/base/byte_order.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/downloads.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::size_t kRawRecordOffset = 2;
constexpr std::size_t kRawRecordSize = 24;
constexpr std::uint64_t kMaxRawBits = 65534;
// Pixel data is read this many bytes at a time (rounded to whole rows).
constexpr std::size_t kChunkBytes = 16384;

// Where the bytes come from: a file read with pread, or memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies `n` bytes from `offset` into `dst`; false on an error or a short read.
    virtual bool read(std::uint64_t offset, std::size_t n, std::uint8_t* dst) const = 0;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, std::size_t n, std::uint8_t* dst) const override {
        if (offset > bytes_.size() || n > bytes_.size() - offset)
            return false;
        std::memcpy(dst, bytes_.data() + offset, n);
        return true;
    }

  private:
    std::string_view bytes_;
};

class FileSource : public ByteSource {
  public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::size_t n, std::uint8_t* dst) const override {
        std::size_t done = 0;
        while (done < n) {
            const ssize_t got =
                ::pread(fd_, dst + done, n - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    std::uint64_t size_;
};

std::int32_t LeInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(Le32(p));
}

int Refuse(int code, std::string* why, const std::string& reason) {
    if (why != nullptr)
        *why = reason;
    return code;
}

// Reads whole rows of `stride` bytes from `offset` in chunks of about kChunkBytes and hands each
// to `decode(rowIndexInFile, bytes)`.
template <typename Decode>
bool ReadRows(const ByteSource& src, std::uint64_t offset, std::size_t stride, std::int64_t rows,
              Decode decode) {
    const std::size_t perChunk = std::max<std::size_t>(1, kChunkBytes / stride);
    std::vector<std::uint8_t> chunk(perChunk * stride);
    for (std::int64_t first = 0; first < rows;) {
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::int64_t>(perChunk, rows - first));
        if (!src.read(offset + static_cast<std::uint64_t>(first) * stride, count * stride,
                      chunk.data()))
            return false;
        for (std::size_t r = 0; r < count; ++r)
            decode(first + static_cast<std::int64_t>(r), chunk.data() + r * stride);
        first += static_cast<std::int64_t>(count);
    }
    return true;
}

// The fields of the file and information headers that matter here.
struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; topDown keeps the sign
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t colorsUsed = 0;
};

int ReadBmpHeader(const ByteSource& src, BmpHeader* h, std::string* why) {
    std::uint8_t b[kFileHeaderSize + kInfoHeaderSize];
    if (!src.read(0, kFileHeaderSize + 4, b))
        return Refuse(PCU_ERR_FILE_READ, why, "the bitmap file ends inside its header");
    if (Le16(b + 6) != 0 || Le16(b + 8) != 0)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "the bitmap file's reserved header words are not zero");
    const std::uint32_t infoSize = Le32(b + kFileHeaderSize);
    if (infoSize == kCoreHeaderSize)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "bitmaps with the old 12-byte core header are not supported");
    if (infoSize != kInfoHeaderSize)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "the bitmap's information header has " + std::to_string(infoSize) +
                          " bytes; only the 40-byte header is supported");
    if (!src.read(0, sizeof b, b))
        return Refuse(PCU_ERR_FILE_READ, why, "the bitmap file ends inside its header");
    const std::uint8_t* info = b + kFileHeaderSize;
    h->dataOffset = Le32(b + 10);
    h->width = LeInt32(info + 4);
    const std::int64_t height = LeInt32(info + 8);
    h->bitsPerPixel = Le16(info + 14);
    const std::uint32_t compression = Le32(info + 16);
    h->colorsUsed = Le32(info + 32);
    if (h->width <= 0 || height == 0)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "the bitmap's width must be positive and its height not zero");
    h->topDown = height < 0;
    h->height = height < 0 ? -height : height;
    switch (h->bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                          "bitmaps with " + std::to_string(h->bitsPerPixel) +
                              " bits per pixel are not supported (1, 4, 8, 16, 24 or 32)");
    }
    if (compression != 0)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "compressed bitmaps are not supported; save the bitmap uncompressed");
    return PCU_OK;
}

// The colour table of an indexed bitmap, 0xRRGGBB; indices past its end read as black.
int ReadPalette(const ByteSource& src, const BmpHeader& h, std::vector<std::uint32_t>* palette,
                std::string* why) {
    const std::uint32_t full = 1u << h.bitsPerPixel;
    const std::uint32_t count = h.colorsUsed == 0 ? full : std::min(h.colorsUsed, full);
    std::vector<std::uint8_t> raw(count * 4);
    if (!src.read(kFileHeaderSize + kInfoHeaderSize, raw.size(), raw.data()))
        return Refuse(PCU_ERR_FILE_READ, why, "the bitmap file ends inside its colour table");
    palette->assign(full, 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = raw.data() + i * 4;
        (*palette)[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
    }
    return PCU_OK;
}

// A 5-bit field widened to 8 bits so that zero stays zero and anything else stays nonzero.
std::uint32_t Widen5(std::uint32_t v) {
    return (v << 3) | (v >> 2);
}

// One stored row of pixel data into 0xRRGGBB values.
void DecodeRow(const BmpHeader& h, const std::vector<std::uint32_t>& palette,
               const std::uint8_t* row, std::uint32_t* out) {
    const int bpp = h.bitsPerPixel;
    const std::int64_t width = h.width;
    switch (bpp) {
        case 1:
        case 4:
        case 8: {
            const unsigned mask = (1u << bpp) - 1;
            for (std::int64_t x = 0; x < width; ++x) {
                const std::int64_t bit = x * bpp;
                const int shift = 8 - bpp - static_cast<int>(bit % 8);
                out[x] = palette[(row[bit / 8] >> shift) & mask];
            }
            break;
        }
        case 16:
            for (std::int64_t x = 0; x < width; ++x) {
                const std::uint32_t v = Le16(row + x * 2);
                out[x] =
                    (Widen5((v >> 10) & 31) << 16) | (Widen5((v >> 5) & 31) << 8) | Widen5(v & 31);
            }
            break;
        default:  // 24 and 32: blue, green, red (and an unused byte)
            for (std::int64_t x = 0; x < width; ++x) {
                const std::uint8_t* p = row + x * (bpp / 8);
                out[x] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            }
            break;
    }
}

int ParseBmp(const ByteSource& src, RgbImage* out, std::string* why) {
    BmpHeader h;
    if (const int rc = ReadBmpHeader(src, &h, why); rc != PCU_OK)
        return rc;
    const std::uint64_t stride =
        ((static_cast<std::uint64_t>(h.bitsPerPixel) * static_cast<std::uint64_t>(h.width) + 31) /
         32) *
        4;
    const std::uint64_t dataSize = stride * static_cast<std::uint64_t>(h.height);
    if (h.dataOffset > src.size() || dataSize > src.size() - h.dataOffset)
        return Refuse(PCU_ERR_FILE_READ, why,
                      "the bitmap file is shorter than its headers say (" +
                          std::to_string(h.width) + " x " + std::to_string(h.height) +
                          " pixels need " + std::to_string(dataSize) + " bytes of pixel data)");
    if (h.width * h.height > kMaxImagePixels)
        return Refuse(PCU_ERR_IMAGE_SIZE, why,
                      "the bitmap is too large (" + std::to_string(h.width) + " x " +
                          std::to_string(h.height) + " pixels)");
    std::vector<std::uint32_t> palette;
    if (h.bitsPerPixel <= 8) {
        if (const int rc = ReadPalette(src, h, &palette, why); rc != PCU_OK)
            return rc;
    }
    RgbImage image;
    image.width = static_cast<int>(h.width);
    image.height = static_cast<int>(h.height);
    image.pixels.resize(static_cast<std::size_t>(h.width * h.height));
    const bool ok = ReadRows(src, h.dataOffset, static_cast<std::size_t>(stride), h.height,
                             [&](std::int64_t fileRow, const std::uint8_t* bytes) {
                                 const std::int64_t y =
                                     h.topDown ? fileRow : h.height - 1 - fileRow;
                                 DecodeRow(h, palette, bytes, image.pixels.data() + y * h.width);
                             });
    if (!ok)
        return Refuse(PCU_ERR_FILE_READ, why, "the bitmap's pixel data could not be read");
    *out = std::move(image);
    return PCU_OK;
}

// A raw device bitmap: mark, a 24-byte record (type, width, height, bytes per row as int32;
// planes, bits per pixel as uint16; a stored bits pointer, meaningless in a file), the bits.
int ParseRaw(const ByteSource& src, RgbImage* out, std::string* why) {
    std::uint8_t rec[kRawRecordSize];
    if (!src.read(kRawRecordOffset, sizeof rec, rec))
        return Refuse(PCU_ERR_FILE_READ, why, "the raw bitmap file ends inside its header");
    const std::int64_t width = LeInt32(rec + 4);
    const std::int64_t height = LeInt32(rec + 8);
    const std::int64_t widthBytes = LeInt32(rec + 12);
    const std::uint16_t planes = Le16(rec + 16);
    const std::uint16_t bitsPixel = Le16(rec + 18);
    if (width <= 0 || height <= 0 || widthBytes <= 0 || planes == 0 || bitsPixel == 0)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "the raw bitmap's width, height, row size, planes and bits per pixel must "
                      "be positive");
    // Multiplied step by step so that the product stays small enough to compare.
    std::uint64_t bits = planes;
    for (const std::int64_t factor : {std::int64_t{bitsPixel}, widthBytes, height}) {
        bits *= static_cast<std::uint64_t>(factor);
        if (bits > kMaxRawBits)
            return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                          "a raw bitmap holds at most 65534 bytes of bits");
    }
    if (planes != 1 || bitsPixel != 1)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "only monochrome raw bitmaps (one plane, one bit per pixel) are supported");
    if (widthBytes < (width + 7) / 8)
        return Refuse(PCU_ERR_IMAGE_FORMAT, why,
                      "the raw bitmap's rows are shorter than its width");
    const std::uint64_t dataOffset = kRawRecordOffset + kRawRecordSize;
    if (dataOffset > src.size() || bits > src.size() - dataOffset)
        return Refuse(PCU_ERR_FILE_READ, why,
                      "the raw bitmap file is shorter than its header says");
    if (width * height > kMaxImagePixels)
        return Refuse(PCU_ERR_IMAGE_SIZE, why, "the raw bitmap is too large");
    RgbImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<std::size_t>(width * height));
    const bool ok = ReadRows(src, dataOffset, static_cast<std::size_t>(widthBytes), height,
                             [&](std::int64_t y, const std::uint8_t* row) {
                                 for (std::int64_t x = 0; x < width; ++x) {
                                     const bool white = (row[x / 8] >> (7 - x % 8)) & 1;
                                     image.pixels[y * width + x] = white ? 0xFFFFFF : 0;
                                 }
                             });
    if (!ok)
        return Refuse(PCU_ERR_FILE_READ, why, "the raw bitmap's bits could not be read");
    *out = std::move(image);
    return PCU_OK;
}

int Parse(const ByteSource& src, RgbImage* out, std::string* why) {
    std::uint8_t mark[2];
    if (!src.read(0, sizeof mark, mark))
        return Refuse(PCU_ERR_FILE_READ, why, "the file is too short to be a bitmap");
    try {
        if (mark[0] == 'B' && mark[1] == 'M')
            return ParseBmp(src, out, why);
        if (mark[0] == 2 && mark[1] <= 1)
            return ParseRaw(src, out, why);
    } catch (const std::bad_alloc&) {
        return Refuse(PCU_ERR_NO_MEMORY, why, "not enough memory for the bitmap");
    }
    return Refuse(PCU_ERR_IMAGE_FORMAT, why, "the file is not a bitmap file");
}

}  // namespace

int LoadBitmapFile(const std::string& path, RgbImage* out, std::string* why) {
    if (out == nullptr)
        return Refuse(PCU_ERR_ARGUMENT, why, "no image to load into");
    // Non-blocking, so that a named pipe is refused below instead of waiting for a writer.
    platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd)
        return Refuse(PCU_ERR_FILE_OPEN, why, "cannot open " + path + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return Refuse(PCU_ERR_FILE_OPEN, why, path + " is not a regular file");
    const FileSource src(fd.get(), static_cast<std::uint64_t>(st.st_size));
    return Parse(src, out, why);
}

int ParseBitmap(std::string_view bytes, RgbImage* out, std::string* why) {
    if (out == nullptr)
        return Refuse(PCU_ERR_ARGUMENT, why, "no image to load into");
    const MemorySource src(bytes);
    return Parse(src, out, why);
}

}  // namespace tarvo
