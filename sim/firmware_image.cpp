#include "firmware_image.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "models.h"
#include "printer_state.h"
#include "tarvo/base/byte_order.h"
#include "tarvo/base/fs.h"
#include "tarvo/base/script_firmware.h"

namespace tarvo::sim {
namespace {

constexpr std::size_t kTrailerBytes = 4;
constexpr std::size_t kFirstPointerFromEnd = 16;
constexpr std::size_t kSecondPointerFromEnd = 20;
constexpr std::size_t kMaxProgramDigits = 6;
// Where the generator puts the texts and the cells pointing at them, from the image's end.
constexpr std::size_t kFirstTextFromEnd = 64;
constexpr std::size_t kSecondTextFromEnd = 56;
constexpr std::size_t kFirstCellFromEnd = 48;
constexpr std::size_t kSecondCellFromEnd = 44;
constexpr const char* kFlashAddress = "fee00000";

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return tarvo::Le32(bytes.data() + at);
}

void PutLe32(std::vector<std::uint8_t>* bytes, std::size_t at, std::uint32_t value) {
    StoreLe32(bytes->data() + at, value);
}

std::uint32_t Checksum(const std::vector<std::uint8_t>& image) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + kTrailerBytes < image.size(); ++i)
        sum += image[i];
    return sum;
}

// The image offset a printer address stands for, when `bytes` bytes from there lie inside the
// image's body (before the trailer).
std::optional<std::size_t> OffsetOf(std::uint32_t address, std::size_t bytes,
                                    std::size_t imageSize) {
    const std::uint32_t offset = address + kImageAddressToOffset;
    if (std::uint64_t{offset} + bytes > imageSize - kTrailerBytes)
        return std::nullopt;
    return offset;
}

std::uint32_t AddressOf(std::size_t offset) {
    return static_cast<std::uint32_t>(offset) - kImageAddressToOffset;
}

bool FollowChain(const std::vector<std::uint8_t>& image, std::size_t fromEnd, const char* which,
                 std::string* text, std::string* reason) {
    const auto cell = OffsetOf(Le32(image, image.size() - fromEnd), 4, image.size());
    if (!cell) {
        *reason = std::string("the pointer to the ") + which + " text leads outside the image";
        return false;
    }
    const auto at = OffsetOf(Le32(image, *cell), kImageTextBytes, image.size());
    if (!at) {
        *reason = std::string("the address of the ") + which + " text lies outside the image";
        return false;
    }
    text->assign(image.begin() + static_cast<std::ptrdiff_t>(*at),
                 image.begin() + static_cast<std::ptrdiff_t>(*at + kImageTextBytes));
    return true;
}

std::string ProgramDigits(const TestFirmwareOptions& options) {
    std::string number = options.programNumber;
    if (number.empty()) {
        const std::string reply = IdentificationReply(options.model, "0");
        number = reply.substr(0, reply.find(','));
    }
    std::string digits;
    for (char c : number) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
    }
    return digits;
}

std::string PadTo8(std::string text) {
    text.resize(kImageTextBytes, ' ');
    return text;
}

std::string CheckOptions(const TestFirmwareOptions& options, const std::string& digits) {
    if (IdentificationReply(options.model, "0").empty())
        return "model " + std::to_string(options.model) + " is not a Lanmere model";
    if (digits.empty() || digits.size() > kMaxProgramDigits)
        return "the program number must hold 1 to 6 digits";
    if (options.version.empty() || options.version.size() > kImageTextBytes ||
        !ValidFirmware(options.version))
        return "the version must be 1 to 8 printable characters without a comma";
    if (options.size < kMinImageBytes || options.size > kMaxImageBytes)
        return "the image size must be " + std::to_string(kMinImageBytes) + " to " +
               std::to_string(kMaxImageBytes) + " bytes";
    if (options.loaderBytes == 0 || options.loaderBytes > kMaxLoaderBytes)
        return "the loader size must be 1 to " + std::to_string(kMaxLoaderBytes) + " bytes";
    return {};
}

// Deterministic noise, so that the same options give the same files.
class Noise32 {
  public:
    explicit Noise32(const std::string& seedText) {
        for (char c : seedText)
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 16777619u;
        if (state_ == 0)
            state_ = 1;
    }
    std::uint8_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<std::uint8_t>(state_ >> 24);
    }

  private:
    std::uint32_t state_ = 2166136261u;
};

bool WriteFile(const std::string& path, const std::string& contents, std::string* error) {
    if (platform::WriteFileAtomically(path, contents, 0644))
        return true;
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
}

std::string LoaderFile(const TestFirmwareOptions& options) {
    std::string bytes;
    const auto n = static_cast<std::uint32_t>(options.loaderBytes);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>(n >> shift);
    Noise32 noise("loader" + std::to_string(n));
    for (std::uint32_t i = 0; i < n; ++i)
        bytes += static_cast<char>(noise.next());
    return bytes;
}

}  // namespace

bool ReadFirmwareImage(const std::vector<std::uint8_t>& image, FirmwareTexts* texts,
                       std::string* reason) {
    if (image.size() < kSecondPointerFromEnd + kImageTextBytes) {
        *reason = "the image is too short (" + std::to_string(image.size()) + " bytes)";
        return false;
    }
    const std::uint32_t stored = Le32(image, image.size() - kTrailerBytes);
    if (Checksum(image) != stored) {
        *reason = "the image's checksum is wrong";
        return false;
    }
    FirmwareTexts found;
    if (!FollowChain(image, kFirstPointerFromEnd, "first", &found.first, reason) ||
        !FollowChain(image, kSecondPointerFromEnd, "second", &found.second, reason)) {
        return false;
    }
    *texts = std::move(found);
    return true;
}

std::string TestFirmwareFileName(const TestFirmwareOptions& options) {
    const std::string digits = ProgramDigits(options);
    if (digits.empty() || digits.size() > kMaxProgramDigits)
        return {};
    return "fw" + digits + ".bin";
}

bool BuildTestFirmware(const TestFirmwareOptions& options, std::vector<std::uint8_t>* image,
                       std::string* error) {
    const std::string digits = ProgramDigits(options);
    if (std::string problem = CheckOptions(options, digits); !problem.empty()) {
        *error = problem;
        return false;
    }
    const std::size_t size = options.size;
    std::vector<std::uint8_t> bytes(size);
    Noise32 noise(digits + "/" + options.version + "/" + std::to_string(size));
    for (std::uint8_t& byte : bytes)
        byte = noise.next();
    const std::string first = PadTo8("FT" + digits);
    const std::string second = PadTo8(options.version);
    std::copy(first.begin(), first.end(), bytes.begin() + (size - kFirstTextFromEnd));
    std::copy(second.begin(), second.end(), bytes.begin() + (size - kSecondTextFromEnd));
    PutLe32(&bytes, size - kFirstCellFromEnd, AddressOf(size - kFirstTextFromEnd));
    PutLe32(&bytes, size - kSecondCellFromEnd, AddressOf(size - kSecondTextFromEnd));
    PutLe32(&bytes, size - kFirstPointerFromEnd, AddressOf(size - kFirstCellFromEnd));
    PutLe32(&bytes, size - kSecondPointerFromEnd, AddressOf(size - kSecondCellFromEnd));
    PutLe32(&bytes, size - kTrailerBytes, Checksum(bytes));
    *image = std::move(bytes);
    return true;
}

bool WriteTestFirmware(const std::string& dir, const TestFirmwareOptions& options,
                       std::string* error) {
    std::string ignored;
    if (error == nullptr)
        error = &ignored;
    if (dir.empty()) {
        *error = "no firmware directory given";
        return false;
    }
    std::vector<std::uint8_t> image;
    if (!BuildTestFirmware(options, &image, error))
        return false;
    if (!platform::MakeDirectories(dir, 0755)) {
        *error = "cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    const std::string name = TestFirmwareFileName(options);
    const std::string list =
        ";" + name + "\r\n" + "filetoflash " + name + " " + kFlashAddress + "\r\n";
    // The list goes last: a directory with a list names files that are already complete.
    return WriteFile(dir + "/" + name, std::string(image.begin(), image.end()), error) &&
           WriteFile(dir + "/flashldr.bin", LoaderFile(options), error) &&
           WriteFile(dir + "/listfile.txt", list, error);
}

bool WriteScriptFirmware(const std::string& path, const TestFirmwareOptions& options,
                         std::string* error) {
    std::string content = platform::ScriptFirmwareHeader("Tallyscript " + options.version);
    // Filler that holds every byte value, the ones Zmodem escapes included.
    for (std::size_t i = 0; content.size() < options.size; ++i)
        content.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
    return WriteFile(path, content, error);
}

}  // namespace tarvo::sim
