// .IBF font images: text files of font image commands, one per line, each line framed by raw
// STX and ETX bytes. The first line (tag '&') states the image size in bytes, which the printer
// must have room for. The pieces here work on text, so tests and fuzzers drive them without
// files or printers; SendIbfFont (transfers.h) is the sender over a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "port/framing.h"
#include "session/kernel_state.h"
#include "tarvo/directory.h"

namespace tarvo {

// Longest line an .IBF file may hold (line end not counted).
inline constexpr std::size_t kIbfLineLimit = 255;

// The image size that the first line of an .IBF file states: with STX and ETX removed, the
// number that begins at the first digit of the line's first comma-separated field (saturating
// at the largest 64-bit value). nullopt when that field holds no digit: not an .IBF image.
std::optional<std::uint64_t> IbfImageSize(std::string_view firstLine);

// The free memory in KB that a reply to <ESC>m ("total,free") reports: the number after the
// first ',' (blanks before it skipped), where '?' (unknown) counts as 0; saturates at 65535.
// nullopt when there is no ',' or neither a digit nor '?' follows it.
std::optional<std::uint16_t> FreeMemoryFromReply(std::string_view reply);

// The command that one line of an .IBF file gives (line end removed): the line without its
// STX and ETX bytes.
std::string IbfCommand(std::string_view line);

// SendIbfFont over an open stream of `total` bytes (the progress window's range).
// Returns 0, PCU_ERR_NO_CONTEXT (a printer target without a context), PCU_ERR_FILE_READ
// (a first line that states no image size, or a line longer than kIbfLineLimit; nothing of
// that line is sent), PCU_ERR_PRINTER_MEMORY, PCU_ERR_NO_MEMORY or the first failing send's
// status.
int SendIbfStream(Context* context, Connection* conn, std::string* file, const FontInfo& entry,
                  std::istream& in, std::uint64_t total);

}  // namespace tarvo
