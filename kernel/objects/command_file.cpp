// Reading command files and sending them as formats or pages.
#include "objects/command_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>

#include "config/command_writer.h"
#include "objects/progress_window.h"
#include "objects/text_lines.h"
#include "objects/transfers.h"
#include "platform/clock.h"
#include "tarvo/base/notation.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr std::string_view kFieldCommands = "eMmOqBDHILUW";
constexpr const char* kProgressTitle = "Downloading command file";
constexpr long kNumberCeiling = 1000000;  // far above any valid number; stops overflow

// The number at the start of `text` as the printer reads one: blanks, a sign, digits.
long LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), kNumberCeiling);
    return negative ? -value : value;
}

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

// Sends the body lines. Returns 0 or the status that stopped it.
int SendBody(Connection* conn, std::string* file, std::istream& in, ProgressWindow& progress) {
    LineReader reader(in, kCommandLineLimit);
    std::string line;
    bool bodyStarted = false;
    for (;;) {
        const LineStatus read = reader.next(&line);
        if (read == LineStatus::kEnd)
            return 0;
        if (read != LineStatus::kLine)
            return PCU_ERR_FILE_READ;
        progress.moveTo(static_cast<std::int64_t>(reader.consumed()));
        const std::optional<std::string> command = BodyCommand(std::move(line), bodyStarted);
        if (!command)
            continue;
        bodyStarted = true;
        if (const int status = SendCommand(conn, file, kCommandSingle, *command); status != 0)
            return status;
        platform::PumpMessages();
    }
}

}  // namespace

bool StartsFieldCommand(std::string_view line) {
    return !line.empty() && kFieldCommands.find(line.front()) != std::string_view::npos;
}

void RemoveFrameBytes(std::string& line) {
    std::erase_if(line, [](char c) { return c == kStx || c == kEtx; });
}

bool ScanHeaderLine(std::string_view line, CommandFileHeader* header) {
    std::string text(line);
    ExpandMnemonics(text);
    RemoveFrameBytes(text);
    if (StartsFieldCommand(text))
        return false;
    const std::size_t letter = text.find_first_of("AFS");
    if (letter == std::string::npos)
        return true;
    std::string_view rest(text);
    rest.remove_prefix(letter + 1);
    rest = rest.substr(0, rest.find(';'));
    const bool page = text[letter] == 'S';
    const long number = LeadingNumber(rest);
    if (number < 1 || number > (page ? kMaxPageNumber : kMaxFormatNumber))
        return true;
    if (const std::size_t comma = rest.find(','); comma != std::string_view::npos) {
        header->named = true;
        header->name.assign(rest.substr(comma + 1));
    }
    header->number = static_cast<int>(number);
    header->isPage = header->isPage || page;
    return true;
}

CommandFileHeader ScanCommandFileHeader(std::istream& in) {
    CommandFileHeader header;
    LineReader reader(in, kHeaderScanLimit);
    std::string line;
    for (;;) {
        const LineStatus read = reader.next(&line);
        if (read != LineStatus::kLine && read != LineStatus::kTooLong)
            return header;
        if (!ScanHeaderLine(line, &header))
            return header;
    }
}

std::optional<std::string> BodyCommand(std::string line, bool bodyStarted) {
    ExpandMnemonics(line);
    if (!line.empty() && line.front() == kEtx)
        return std::nullopt;
    RemoveFrameBytes(line);
    if (line.empty() || (!bodyStarted && !StartsFieldCommand(line)))
        return std::nullopt;
    return line;
}

std::optional<std::string> CommandFileHeaderFor(const FormatInfo& entry) {
    char text[32 + PCU_DESCRIPTION_SIZE];
    if (entry.isPage != 0) {
        const int page = entry.id > kPageEntryOffset ? entry.id - kPageEntryOffset : entry.id;
        if (page < 1 || page > kMaxPageNumber)
            return std::nullopt;
        std::snprintf(text, sizeof text, "s%02d;S%02d;", page, page);
        return std::string(text);
    }
    if (entry.id < 1 || entry.id > kMaxFormatNumber)
        return std::nullopt;
    const std::string name(FieldText(entry.newDescription));
    std::snprintf(text, sizeof text, "E%02d;F%02d,%s;", entry.id, entry.id, name.c_str());
    return std::string(text);
}

int SendCommandStream(Connection* conn, std::string* file, const FormatInfo& entry,
                      std::istream& in, std::uint64_t total) {
    const std::optional<std::string> header = CommandFileHeaderFor(entry);
    if (!header)
        return PCU_ERR_OBJECT_NUMBER;
    std::optional<ProgressWindow> progress;
    progress.emplace(kProgressTitle, static_cast<std::int64_t>(total));
    int status = SendCommand(conn, file, kCommandSingle, "<ESC>P");
    if (status == 0)
        status = SendCommand(conn, file, kCommandSingle, *header);
    if (status == 0) {
        try {
            status = SendBody(conn, file, in, *progress);
        } catch (const std::bad_alloc&) {
            status = PCU_ERR_NO_MEMORY;
        }
    }
    progress.reset();
    // The printer leaves program mode even when the body failed, so that it takes labels again.
    const int closing = SendCommand(conn, file, kCommandSingle, "R");
    return status != 0 ? status : closing;
}

int SendCommandFile(Connection* conn, std::string* file, const FormatInfo& entry) {
    if (!CommandFileHeaderFor(entry))
        return PCU_ERR_OBJECT_NUMBER;
    const std::string path(FieldText(entry.path));
    std::ifstream in;
    if (!OpenTextFile(path, &in))
        return PCU_ERR_FILE_OPEN;
    return SendCommandStream(conn, file, entry, in, FileLength(path));
}

}  // namespace tarvo
