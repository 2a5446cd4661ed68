// The firmware image of a Lanmere-family printer: its closing checksum, the two version texts it
// carries, and whether it was built for the attached printer. The image is read through a small
// source interface, so the same checks run over a file and over bytes in memory (tests,
// fuzzing) without loading a large image whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::firmware {

// Codes of the firmware road (they differ from the kernel's general table).
inline constexpr int kFwOk = 0;
inline constexpr int kFwCannotOpen = 5;    // a file to be read cannot be opened
inline constexpr int kFwMismatch = 30;     // the image is for another printer
inline constexpr int kFwListSyntax = 31;   // first line of listfile.txt is not ";name"
inline constexpr int kFwBadChecksum = 34;  // checksum wrong, or the image's layout is broken

// Random access to an image's bytes.
class ImageSource {
  public:
    virtual ~ImageSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads `count` bytes at `offset` into `out`. False when they are not all there.
    virtual bool read(std::uint64_t offset, std::size_t count, unsigned char* out) const = 0;
};

// An image held in memory (not owned: `bytes` must outlive the source).
class MemoryImage final : public ImageSource {
  public:
    explicit MemoryImage(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, std::size_t count, unsigned char* out) const override;

  private:
    std::string_view bytes_;
};

// An image file, read with positioned reads; closed with the object.
class FileImage final : public ImageSource {
  public:
    explicit FileImage(const std::string& path);
    ~FileImage() override;
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;
    bool isOpen() const { return fd_ >= 0; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::size_t count, unsigned char* out) const override;

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// An eight-character version text exactly as the image holds it (no terminator inside).
using VersionText = std::array<char, 8>;

struct ImageVersions {
    VersionText first{};   // through the pointer 16 bytes from the end
    VersionText second{};  // through the pointer 20 bytes from the end
};

// A printer address A is found in the image at offset (A + kImageOffsetBias) mod 2^32.
inline constexpr std::uint32_t kImageOffsetBias = 0x011C0000;

// True when the last four bytes (little-endian) equal the sum of all other bytes mod 2^32.
// An image shorter than four bytes, or one that cannot be read, is false.
bool ChecksumMatches(const ImageSource& image);

// Checks the checksum and follows the two version pointer chains; each pointer and each text
// must lie inside the image. Returns kFwOk with *versions filled, or kFwBadChecksum.
int ReadImageVersions(const ImageSource& image, ImageVersions* versions);

// Whether a printer's program number fits an image's version text: leading characters from
// "ftFT0" are skipped in both, then the next five characters must agree. Fewer than five
// characters left on either side is a mismatch. `programNumber` ends at its first NUL.
bool VersionFitsPrinter(const VersionText& imageVersion, std::string_view programNumber);

}  // namespace tarvo::firmware
