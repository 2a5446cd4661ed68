// Firmware files for tests: an image with its two version texts and checksum, a loader with its
// length prefix, and a firmware directory holding them with a listfile.txt.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/test_env.h"

namespace tarvo::test {

inline void PutLe32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The printer address of image offset `offset`.
inline std::uint32_t PrinterAddress(std::uint32_t offset) {
    return offset - 0x011C0000u;
}

// Sets the last four bytes to the sum of the others.
inline void Seal(std::string& image) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 4 < image.size(); ++i)
        sum += static_cast<unsigned char>(image[i]);
    PutLe32(image, image.size() - 4, sum);
}

// An image of `size` bytes (at least 64) whose filler bytes follow `fill`, with the first
// version text at offset 32 and the second at 40, reached through pointers at 0 and 4.
inline std::string MakeImage(std::string_view first, std::string_view second,
                             std::size_t size = 256, char (*fill)(std::size_t) = nullptr) {
    std::string b(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        b[i] = fill != nullptr ? fill(i) : static_cast<char>(i * 7 + 3);
    b.replace(32, 8, std::string(first).append(8, ' ').substr(0, 8));
    b.replace(40, 8, std::string(second).append(8, ' ').substr(0, 8));
    PutLe32(b, 0, PrinterAddress(32));
    PutLe32(b, 4, PrinterAddress(40));
    PutLe32(b, size - 16, PrinterAddress(0));
    PutLe32(b, size - 20, PrinterAddress(4));
    Seal(b);
    return b;
}

// A loader file: a big-endian length prefix of `prefix` followed by `body` bytes.
inline std::string MakeLoader(std::uint32_t prefix, std::size_t body) {
    std::string b(4 + body, '\0');
    b[0] = static_cast<char>(prefix >> 24);
    b[1] = static_cast<char>(prefix >> 16);
    b[2] = static_cast<char>(prefix >> 8);
    b[3] = static_cast<char>(prefix);
    for (std::size_t i = 0; i < body; ++i)
        b[4 + i] = static_cast<char>(i * 13 + 1);
    return b;
}

// A firmware directory: listfile.txt (";<name>" then `script`), flashldr.bin and the image.
inline void WriteFirmwareDir(const std::filesystem::path& dir, const std::string& name,
                             const std::string& image, const std::string& script,
                             const std::string& loader = MakeLoader(1000, 1000)) {
    std::filesystem::create_directories(dir);
    WriteFile((dir / "listfile.txt").string(), ";" + name + "\r\n" + script);
    WriteFile((dir / "flashldr.bin").string(), loader);
    WriteFile((dir / name).string(), image);
}

}  // namespace tarvo::test
