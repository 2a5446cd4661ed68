#include "services/firmware/boot_rom.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace tarvo::firmware {
namespace {

constexpr Millis kAttentionTotal{15000};
constexpr Millis kAttentionPause{50};
constexpr Millis kDc1EchoWait{500};
constexpr Millis kUploadLimit{8000};
constexpr Millis kAnswerWait{6000};
constexpr Millis kSumByteStall{500};
constexpr std::size_t kUploadChunk = 2048;
constexpr int kShortRead = 8;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Millis Left(platform::TimePoint deadline) {
    return std::chrono::duration_cast<Millis>(deadline - platform::CurrentClock().now());
}

// Takes every byte that is already there, but none after `deadline` (a noisy line never runs
// dry); true when a DLE was among them.
bool DleArrived(BootLink& link, platform::TimePoint deadline) {
    platform::Clock& clock = platform::CurrentClock();
    bool seen = false;
    while (clock.now() < deadline) {
        const auto byte = link.readByte(Millis{0});
        if (!byte)
            break;
        seen = seen || *byte == kDle;
    }
    return seen;
}

int WaitForDc1Echo(BootLink& link) {
    const platform::TimePoint deadline = platform::CurrentClock().now() + kDc1EchoWait;
    for (;;) {
        const Millis left = Left(deadline);
        if (left <= Millis{0})
            return kLoaderNoDc1Echo;
        const auto byte = link.readByte(left);
        if (!byte)
            return kLoaderNoDc1Echo;
        if (*byte == kDc1)
            return 0;
    }
}

// Opens the loader and reads its length prefix; the file must hold exactly that much more.
int OpenLoader(const std::string& path, File* file, std::uint32_t* length,
               unsigned char prefix[4]) {
    file->reset(std::fopen(path.c_str(), "rb"));
    if (!*file)
        return kLoaderCannotOpen;
    std::FILE* f = file->get();
    if (std::fseek(f, 0, SEEK_END) != 0)
        return kLoaderLengthWrong;
    const long size = std::ftell(f);
    std::rewind(f);
    if (size < 4 || std::fread(prefix, 1, 4, f) != 4)
        return kLoaderLengthWrong;
    *length = static_cast<std::uint32_t>(prefix[0]) << 24 |
              static_cast<std::uint32_t>(prefix[1]) << 16 |
              static_cast<std::uint32_t>(prefix[2]) << 8 | prefix[3];
    return static_cast<std::uint64_t>(size) == static_cast<std::uint64_t>(*length) + 4
               ? 0
               : kLoaderLengthWrong;
}

// Sends the prefix and the loader, summing the loader's bytes.
int SendLoader(BootLink& link, std::FILE* file, std::uint32_t length, const unsigned char prefix[4],
               std::uint16_t* sum) {
    const platform::TimePoint deadline = platform::CurrentClock().now() + kUploadLimit;
    if (!link.write(std::string_view(reinterpret_cast<const char*>(prefix), 4), Left(deadline)))
        return kLoaderTooSlow;
    std::vector<char> chunk(kUploadChunk);
    for (std::uint32_t sent = 0; sent < length;) {
        const std::size_t n = std::min<std::size_t>(kUploadChunk, length - sent);
        if (std::fread(chunk.data(), 1, n, file) != n)
            return kShortRead;
        for (std::size_t i = 0; i < n; ++i)
            *sum = static_cast<std::uint16_t>(*sum + static_cast<unsigned char>(chunk[i]));
        if (Left(deadline) <= Millis{0} ||
            !link.write(std::string_view(chunk.data(), n), Left(deadline)))
            return kLoaderTooSlow;
        sent += static_cast<std::uint32_t>(n);
    }
    return Left(deadline) < Millis{0} ? kLoaderTooSlow : 0;
}

}  // namespace

int WaitForBootRom(BootLink& link) {
    platform::Clock& clock = platform::CurrentClock();
    const platform::TimePoint deadline = clock.now() + kAttentionTotal;
    while (clock.now() < deadline) {
        link.purge();
        link.write(std::string_view(reinterpret_cast<const char*>(&kDle), 1), kAttentionPause);
        clock.sleepFor(kAttentionPause);
        if (DleArrived(link, deadline))
            return 0;
    }
    return kBootRomSilent;
}

int UploadLoader(BootLink& link, const std::string& path) {
    link.write(std::string_view(reinterpret_cast<const char*>(&kDc1), 1), kDc1EchoWait);
    if (const int rc = WaitForDc1Echo(link); rc != 0)
        return rc;
    File file;
    std::uint32_t length = 0;
    unsigned char prefix[4] = {};
    if (const int rc = OpenLoader(path, &file, &length, prefix); rc != 0)
        return rc;
    std::uint16_t sum = 0;
    if (const int rc = SendLoader(link, file.get(), length, prefix, &sum); rc != 0)
        return rc;
    // The sum goes out byte by byte, each until the line takes it.
    const char sumBytes[2] = {static_cast<char>(sum >> 8), static_cast<char>(sum & 0xFF)};
    for (const char b : sumBytes) {
        if (!link.write(std::string_view(&b, 1), kSumByteStall))
            return kLoaderTooSlow;
    }
    const auto answer = link.readByte(kAnswerWait);
    if (!answer)
        return kLoaderNoAnswer;
    return *answer == kEm ? 0 : kLoaderRefused;
}

}  // namespace tarvo::firmware
