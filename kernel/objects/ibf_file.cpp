// Reading .IBF font images and sending them as fonts.
#include "objects/ibf_file.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>

#include "config/command_writer.h"
#include "objects/progress_window.h"
#include "objects/text_lines.h"
#include "objects/transfers.h"
#include "platform/clock.h"
#include "session/kernel_state.h"
#include "tarvo/downloads.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr int kRetries = 5;
constexpr int kAnswerWaitUnits = 250;  // PCUWait units between the question and the read
constexpr int kReplyTimeoutMs = 500;
constexpr std::uint64_t kBytesPerKb = 1000;  // as the printer's free memory is compared
constexpr int kImageFormat = 2;              // the last field of the font header: an image
constexpr const char* kProgressTitle = "Downloading .IBF file";

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits from the start of `text`, saturating at `ceiling`.
std::uint64_t Digits(std::string_view text, std::uint64_t ceiling) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        value = value > (ceiling - digit) / 10 ? ceiling : value * 10 + digit;
    }
    return value;
}

// Asks the printer for its free memory, outside program mode, and keeps the answer in the
// context's memoryFree when one came; the printer is back in program mode afterwards.
// Returns 0 or the status of the send that failed.
int RefreshFreeMemory(Context& context, Connection& conn) {
    if (const int status = SendCommand(&conn, nullptr, kCommandSingle, "R"); status != 0)
        return status;
    constexpr std::string_view kQuestion = "<ESC>m";
    unsigned sysErr = 0;
    if (const int status = FramedWrite(conn, kQuestion.data(), kQuestion.size(), kRetries, &sysErr);
        status != 0) {
        context.recordError(status, static_cast<int>(sysErr));
        return status;
    }
    PCUWait(kAnswerWaitUnits);
    std::string reply(kReceiveSize, '\0');
    std::size_t count = 0;
    FramedRead(conn, reply.data(), reply.size(), kRetries, kReplyTimeoutMs, true, &count, &sysErr);
    // Whatever did not fit is no answer to anything that follows.
    conn.pending.clear();
    reply.resize(count);
    if (const auto free = FreeMemoryFromReply(reply))
        context.settings.memoryFree = *free;
    return SendCommand(&conn, nullptr, kCommandSingle, "<ESC>P");
}

// Sends the font header and every line, the first one (already read) included.
int SendImage(Connection* conn, std::string* file, const FontInfo& entry, LineReader& reader,
              std::string& line, std::uint64_t total) {
    ProgressWindow progress(kProgressTitle, static_cast<std::int64_t>(total));
    char header[32 + PCU_DESCRIPTION_SIZE];
    const std::string name(FieldText(entry.newDescription));
    std::snprintf(header, sizeof header, "J%d,%s,%d", entry.id, name.c_str(), kImageFormat);
    if (const int status = SendCommand(conn, file, kCommandSingle, header); status != 0)
        return status;
    for (LineStatus read = LineStatus::kLine;; read = reader.next(&line)) {
        if (read == LineStatus::kEnd)
            return 0;
        if (read != LineStatus::kLine)
            return PCU_ERR_FILE_READ;
        const std::string command = IbfCommand(line);
        if (!command.empty()) {
            if (const int status = SendCommand(conn, file, kCommandSingle, command); status != 0) {
                return status;
            }
        }
        progress.moveTo(static_cast<std::int64_t>(reader.consumed()));
        platform::PumpMessages();
    }
}

}  // namespace

std::optional<std::uint64_t> IbfImageSize(std::string_view firstLine) {
    const std::string line = IbfCommand(firstLine);
    const std::string_view field = std::string_view(line).substr(0, line.find(','));
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (IsDigit(field[i]))
            return Digits(field.substr(i), std::numeric_limits<std::uint64_t>::max());
    }
    return std::nullopt;
}

std::optional<std::uint16_t> FreeMemoryFromReply(std::string_view reply) {
    const std::size_t comma = reply.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = reply.substr(comma + 1);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    if (rest.empty())
        return std::nullopt;
    if (rest.front() == '?')
        return 0;
    if (!IsDigit(rest.front()))
        return std::nullopt;
    return static_cast<std::uint16_t>(Digits(rest, std::numeric_limits<std::uint16_t>::max()));
}

std::string IbfCommand(std::string_view line) {
    std::string command;
    command.reserve(line.size());
    for (const char c : line) {
        if (c != '\x02' && c != '\x03')
            command.push_back(c);
    }
    return command;
}

int SendIbfStream(Context* context, Connection* conn, std::string* file, const FontInfo& entry,
                  std::istream& in, std::uint64_t total) {
    if (conn != nullptr && context == nullptr)
        return PCU_ERR_NO_CONTEXT;
    try {
        LineReader reader(in, kIbfLineLimit);
        std::string line;
        if (reader.next(&line) != LineStatus::kLine)
            return PCU_ERR_FILE_READ;
        const std::optional<std::uint64_t> size = IbfImageSize(line);
        if (!size)
            return PCU_ERR_FILE_READ;
        if (conn != nullptr) {
            if (const int status = RefreshFreeMemory(*context, *conn); status != 0)
                return status;
            if (context->settings.memoryFree * kBytesPerKb < *size) {
                context->recordError(PCU_LAST_ERROR_FONT_MEMORY, entry.id,
                                     FieldText(entry.newDescription));
                return PCU_ERR_PRINTER_MEMORY;
            }
        }
        return SendImage(conn, file, entry, reader, line, total);
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

int SendIbfFont(Context* context, Connection* conn, std::string* file, const FontInfo& entry) {
    const std::string path(FieldText(entry.path));
    std::ifstream in;
    if (!OpenTextFile(path, &in))
        return PCU_ERR_FILE_OPEN;
    return SendIbfStream(context, conn, file, entry, in, FileLength(path));
}

}  // namespace tarvo
