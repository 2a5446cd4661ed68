// Firmware images as the printer's boot code reads them, and a generator of test firmware
// directories (list, boot loader and image) that a host can download.
//
// An image ends in a 32-bit little-endian checksum, the sum of all its other bytes modulo 2^32.
// At 16 bytes from the end a 32-bit little-endian printer address leads to a 32-bit address of
// an eight-character text (the program number, "FT" and digits); at 20 bytes from the end the
// same for a second text (the firmware version, padded with blanks). A printer address A is the
// image offset A + 0x011C0000, modulo 2^32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::sim {

inline constexpr std::uint32_t kImageAddressToOffset = 0x011C0000;
inline constexpr std::size_t kImageTextBytes = 8;

struct FirmwareTexts {
    std::string first;   // 8 bytes, as the image holds them
    std::string second;  // 8 bytes, as the image holds them
};

// Checks the trailer of `image` and follows both pointer chains. Returns true with both texts
// in *texts, or false with why the image is unusable in *reason.
bool ReadFirmwareImage(const std::vector<std::uint8_t>& image, FirmwareTexts* texts,
                       std::string* reason);

struct TestFirmwareOptions {
    int model = 18;  // a Lanmere model index; its program number is the default
    // Digits (or text holding 1..6 digits) of the program number; empty: the model's own.
    std::string programNumber;
    std::string version = "2.00";    // 1..8 printable characters, no comma
    std::size_t size = 256 * 1024;   // image bytes, kMinImageBytes..kMaxImageBytes
    std::size_t loaderBytes = 4096;  // bytes of flashldr.bin after its length prefix
};

inline constexpr std::size_t kMinImageBytes = 128;
inline constexpr std::size_t kMaxImageBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxLoaderBytes = 1024 * 1024;

// The image's file name for the options ("fw066197.bin"), or empty when the program number
// holds no digits or more than six.
std::string TestFirmwareFileName(const TestFirmwareOptions& options);

// Builds the image: pseudo-random bytes (the same for the same options) with both texts, their
// pointer chains and the checksum trailer. Returns false with a reason in *error for options
// out of range.
bool BuildTestFirmware(const TestFirmwareOptions& options, std::vector<std::uint8_t>* image,
                       std::string* error);

// Writes DIR/listfile.txt (";<image>" and "filetoflash <image> fee00000"), DIR/flashldr.bin
// (a 4-byte big-endian length and that many bytes) and DIR/<image>, each atomically; DIR must
// exist. Returns false with a reason in *error.
bool WriteTestFirmware(const std::string& dir, const TestFirmwareOptions& options,
                       std::string* error);

// Writes a firmware file of the script family to `path` atomically: the tag line naming
// "Tallyscript <version>", then filler up to options.size bytes. Returns false with a reason
// in *error.
bool WriteScriptFirmware(const std::string& path, const TestFirmwareOptions& options,
                         std::string* error);

}  // namespace tarvo::sim
