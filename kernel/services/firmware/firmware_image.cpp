#include "services/firmware/firmware_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tarvo::firmware {
namespace {

constexpr std::size_t kSumChunk = 16384;
constexpr std::uint64_t kFirstPointerFromEnd = 16;
constexpr std::uint64_t kSecondPointerFromEnd = 20;
constexpr std::string_view kSkippedLead = "ftFT0";
constexpr std::size_t kComparedCharacters = 5;

bool ReadLe32(const ImageSource& image, std::uint64_t offset, std::uint32_t* value) {
    unsigned char b[4];
    if (offset > image.size() || image.size() - offset < 4 || !image.read(offset, 4, b))
        return false;
    *value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
             static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
}

std::uint64_t ImageOffset(std::uint32_t printerAddress) {
    return static_cast<std::uint32_t>(printerAddress + kImageOffsetBias);
}

// Follows one chain: a pointer at `pointerOffset` to a pointer to the text.
bool FollowChain(const ImageSource& image, std::uint64_t pointerOffset, VersionText* text) {
    std::uint32_t address = 0;
    std::uint32_t textAddress = 0;
    if (!ReadLe32(image, pointerOffset, &address) ||
        !ReadLe32(image, ImageOffset(address), &textAddress))
        return false;
    const std::uint64_t at = ImageOffset(textAddress);
    if (at > image.size() || image.size() - at < text->size())
        return false;
    return image.read(at, text->size(), reinterpret_cast<unsigned char*>(text->data()));
}

std::string_view SkipLead(std::string_view text) {
    const std::size_t start = text.find_first_not_of(kSkippedLead);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

}  // namespace

bool MemoryImage::read(std::uint64_t offset, std::size_t count, unsigned char* out) const {
    if (offset > bytes_.size() || bytes_.size() - offset < count)
        return false;
    std::memcpy(out, bytes_.data() + offset, count);
    return true;
}

FileImage::FileImage(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0)
        size_ = static_cast<std::uint64_t>(st.st_size);
}

FileImage::~FileImage() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileImage::read(std::uint64_t offset, std::size_t count, unsigned char* out) const {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ChecksumMatches(const ImageSource& image) {
    const std::uint64_t size = image.size();
    if (size < 4)
        return false;
    const std::uint64_t body = size - 4;
    std::vector<unsigned char> chunk(kSumChunk);
    std::uint32_t sum = 0;
    for (std::uint64_t at = 0; at < body;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(kSumChunk, body - at));
        if (!image.read(at, n, chunk.data()))
            return false;
        for (std::size_t i = 0; i < n; ++i)
            sum += chunk[i];
        at += n;
    }
    std::uint32_t stored = 0;
    return ReadLe32(image, body, &stored) && stored == sum;
}

int ReadImageVersions(const ImageSource& image, ImageVersions* versions) {
    const std::uint64_t size = image.size();
    if (size < kSecondPointerFromEnd || !ChecksumMatches(image))
        return kFwBadChecksum;
    if (!FollowChain(image, size - kFirstPointerFromEnd, &versions->first) ||
        !FollowChain(image, size - kSecondPointerFromEnd, &versions->second))
        return kFwBadChecksum;
    return kFwOk;
}

bool VersionFitsPrinter(const VersionText& imageVersion, std::string_view programNumber) {
    const std::string_view image(imageVersion.data(),
                                 strnlen(imageVersion.data(), imageVersion.size()));
    const std::string_view printer(programNumber.data(),
                                   strnlen(programNumber.data(), programNumber.size()));
    const std::string_view a = SkipLead(image);
    const std::string_view b = SkipLead(printer);
    if (a.size() < kComparedCharacters || b.size() < kComparedCharacters)
        return false;
    return a.substr(0, kComparedCharacters) == b.substr(0, kComparedCharacters);
}

}  // namespace tarvo::firmware
