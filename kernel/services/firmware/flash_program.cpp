#include "services/firmware/flash_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>

#include "objects/progress_window.h"

namespace tarvo::firmware {
namespace {

constexpr const char* kProgressTitle = "Downloading Firmware";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Uniform(std::string_view block) {
    return std::all_of(block.begin(), block.end(), [&](char c) { return c == block.front(); });
}

// Sends one staged block: a uniform block as a fill, any other as its bytes.
int StageBlock(BootLoader& loader, std::uint32_t ram, std::string_view block) {
    const auto first = static_cast<std::uint8_t>(block.front());
    const bool full = block.size() == kStageBlock;
    if (Uniform(block)) {
        return full ? loader.fillRamWords(ram, kStageBlock / 2,
                                          static_cast<std::uint16_t>(first << 8 | first))
                    : loader.fillRamBytes(ram, static_cast<std::uint32_t>(block.size()), first);
    }
    return loader.storeRam(ram, block, full);
}

// Stages `length` bytes of the file at kStagingRam.
int StageSegment(BootLoader& loader, std::FILE* file, std::uint32_t length) {
    std::string block;
    for (std::uint32_t at = 0; at < length; at += kStageBlock) {
        block.resize(std::min(kStageBlock, length - at));
        if (std::fread(block.data(), 1, block.size(), file) != block.size())
            return kTransferShortRead;
        if (const int rc = StageBlock(loader, kStagingRam + at, block); rc != 0)
            return rc;
    }
    return 0;
}

// Erases the block at `flash`, writes `length` staged bytes into it and protects it again.
int FlashSegment(BootLoader& loader, std::uint32_t flash, std::uint32_t length) {
    if (const int rc = loader.eraseFlash(flash); rc != 0)
        return rc;
    for (std::uint32_t at = 0; at < length; at += kFlashWritePiece) {
        const std::uint32_t piece = std::min(kFlashWritePiece, length - at);
        if (const int rc = loader.writeFlash(flash + at, kStagingRam + at, piece); rc != 0)
            return rc;
    }
    return loader.writeProtect(flash);
}

// Writes all of `bytes` to `fd`.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A temporary file beside the target, removed unless it was published.
class TempFile {
  public:
    explicit TempFile(const std::string& target) : path_(target + ".XXXXXX") {
        fd_ = ::mkstemp(path_.data());
    }
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!published_)
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    int fd() const { return fd_; }
    // Gives the file its name unless that name is taken: link() never replaces.
    bool publishAs(const std::string& target) {
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
            fd_ = -1;
            return false;
        }
        fd_ = -1;
        published_ = ::link(path_.c_str(), target.c_str()) == 0;
        ::unlink(path_.c_str());
        return published_;
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool published_ = false;
};

}  // namespace

int ProgramFileToFlash(BootLoader& loader, const std::string& path, std::uint32_t flashAddress) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return kTransferCannotOpen;
    struct stat st {};
    if (::fstat(::fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return kTransferCannotOpen;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    std::uint32_t type = 0;
    if (const int rc = loader.flashType(flashAddress, &type); rc != 0)
        return rc;
    ProgressWindow progress(kProgressTitle, static_cast<std::int64_t>(size));
    std::uint32_t flash = flashAddress;
    for (std::uint64_t done = 0; done < size;) {
        // The last segment is shorter: only what was staged is written.
        const auto length =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kSegmentSize, size - done));
        if (const int rc = StageSegment(loader, file.get(), length); rc != 0)
            return rc;
        if (const int rc = FlashSegment(loader, flash, length); rc != 0)
            return rc;
        done += length;
        flash += length;
        progress.moveTo(static_cast<std::int64_t>(done));
    }
    return 0;
}

int ReadRamToFile(BootLoader& loader, const std::string& path, std::uint32_t address,
                  std::uint32_t length) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return kTransferCannotOpen;
    TempFile temp(path);
    if (temp.fd() < 0)
        return kTransferCannotOpen;
    std::string bytes;
    for (std::uint32_t at = 0; at < length;) {
        const std::uint32_t piece = std::min(kRamReadPiece, length - at);
        if (const int rc = loader.readRam(address + at, piece, &bytes); rc != 0)
            return rc;
        if (!WriteAll(temp.fd(), bytes))
            return kTransferCannotOpen;
        at += piece;
    }
    return temp.publishAs(path) ? 0 : kTransferCannotOpen;
}

}  // namespace tarvo::firmware
