// Outline download: the font file itself, hex-encoded into "j" commands after a "J" header, for
// the printer to store as a scalable font.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "config/command_writer.h"
#include "fonts/font_resolve.h"
#include "fonts/sfnt_tables.h"
#include "objects/progress_window.h"
#include "objects/transfers.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

constexpr std::size_t kChunkBytes = 10000;
constexpr std::size_t kBytesPerCommand = 121;  // "j" + 242 hex digits + ";" fits any frame

// Reads up to `size` bytes; returns the count (short only at the end of the file) or -1.
ssize_t ReadFully(int fd, std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// A TrueType download must be one TrueType font: a collection would reach the printer as a
// whole, every face of it, and a PostScript-outline or foreign file is no TrueType at all.
int CheckTrueTypeFile(int fd) {
    std::uint8_t head[4] = {};
    if (::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) {
        platform::TraceNote("fonts", "outline download refused: the file is not a TrueType font");
        return PCU_ERR_NOT_OUTLINE;
    }
    switch (fonts::ClassifySfnt(head)) {
        case fonts::SfntKind::TrueType:
            return 0;
        case fonts::SfntKind::Collection:
            platform::TraceNote("fonts",
                                "outline download refused: the face is inside a font collection "
                                "(.ttc), which cannot be sent as one font");
            return PCU_ERR_NOT_OUTLINE;
        default:
            platform::TraceNote("fonts",
                                "outline download refused: the file is not a TrueType font");
            return PCU_ERR_NOT_OUTLINE;
    }
}

std::string FontFileOf(const FontInfo& entry) {
    return std::string(entry.path, ::strnlen(entry.path, sizeof entry.path));
}

class HexCommands {
  public:
    HexCommands(Connection* conn, std::string* file) : conn_(conn), file_(file) {
        command_.reserve(2 * kBytesPerCommand + 2);
        command_ = "j";
    }

    // Adds `data` to the commands, sending each one that is full. Returns 0 or the failed
    // send's status.
    int add(const std::uint8_t* data, std::size_t size) {
        static constexpr char kDigits[] = "0123456789abcdef";
        for (std::size_t i = 0; i < size; ++i) {
            command_ += kDigits[data[i] >> 4];
            command_ += kDigits[data[i] & 0x0F];
            if (++bytes_ == kBytesPerCommand) {
                if (const int status = flush(); status != 0)
                    return status;
            }
        }
        return 0;
    }

    // Closes the current command with ";" and sends it; the next one begins.
    int flush() {
        command_ += ';';
        const int status = SendCommand(conn_, file_, kCommandSingle, command_);
        command_ = "j";
        bytes_ = 0;
        return status;
    }

  private:
    Connection* conn_;
    std::string* file_;
    std::string command_;
    std::size_t bytes_ = 0;
};

int SendFileData(Connection* conn, std::string* file, int fd, std::int64_t total) {
    std::vector<std::uint8_t> chunk(kChunkBytes);
    ProgressWindow progress("Downloading fonts", total);
    HexCommands commands(conn, file);
    std::int64_t done = 0;
    while (done < total) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(kChunkBytes, total - done));
        const ssize_t got = ReadFully(fd, chunk.data(), wanted);
        if (got != static_cast<ssize_t>(wanted))
            return PCU_ERR_SEND;  // the file ended (or failed) before its stated size
        if (const int status = commands.add(chunk.data(), wanted); status != 0)
            return status;
        done += got;
        progress.moveTo(done);
        platform::PumpMessages();
    }
    return commands.flush();
}

}  // namespace

int SendOutlineFont(Connection* conn, std::string* file, const FontInfo& entry) {
    if (entry.status == PCU_STATUS_EMPTY)
        return PCU_ERR_EMPTY_FONT;
    const bool trueType = entry.fontType == PCU_FONT_TYPE_TRUETYPE;
    if (!trueType && entry.fontType != PCU_FONT_TYPE_SPEEDO)
        return PCU_ERR_NOT_OUTLINE;
    try {
        std::string path = FontFileOf(entry);
        if (entry.source == PCU_FONT_SOURCE_FACE) {
            const std::optional<fonts::ResolvedFace> face = fonts::ResolveEntry(entry);
            if (!face)
                return PCU_ERR_FACE;
            path = face->file;
        }
        platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return PCU_ERR_FILE_OPEN;
        if (trueType) {
            if (const int status = CheckTrueTypeFile(fd.get()); status != 0)
                return status;
        }
        const std::string header =
            "J" + std::string(entry.id < 10 ? "0" : "") + std::to_string(entry.id) + "," +
            std::string(entry.newDescription,
                        ::strnlen(entry.newDescription, sizeof entry.newDescription)) +
            "," + (trueType ? "1" : "0") + "," + std::to_string(static_cast<long>(st.st_size)) +
            ";";
        if (const int status = SendCommand(conn, file, kCommandSingle, header); status != 0)
            return status;
        return SendFileData(conn, file, fd.get(), st.st_size);
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

}  // namespace tarvo
