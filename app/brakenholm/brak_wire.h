// Line framing and reply reading shared by the transactions of CBrakPrinter.
#pragma once

#include <string>
#include <string_view>

#include "brakenholm/script_port.h"

namespace tarvo::app {

// Sent before a command: the printer's verbosity switch, off.
inline constexpr std::string_view kVerboseOff = "SYSVAR(18)=0";
inline constexpr std::string_view kListingRequest = "SETUP WRITE \"UART1:\"";
inline constexpr char kDc1 = '\x11';

// Pauses (ms at 9600 baud and above).
inline constexpr int kAfterVerboseOffMs = 200;
inline constexpr int kBetweenEmptyReadsMs = 2500;

// The reply buffer: 4096 bytes, one kept for the terminator.
inline constexpr std::size_t kReplyBufferSize = 4096;
inline constexpr std::size_t kReplyLimit = kReplyBufferSize - 1;

// `line` ended by CR, unless it already is.
std::string WithCr(std::string_view line);

// `line` ended by exactly one CR LF: a lone CR gets its LF, a lone LF its CR before it.
std::string WithCrLf(std::string_view line);

struct RawReply {
    std::string text;        // at most kReplyLimit bytes, up to the first NUL
    bool truncated = false;  // more had come; it was read and dropped
    int error = 0;           // OS error of a failed read
};

// Reads once what the printer has queued. When it had more than the buffer holds, the rest is
// read and dropped (for a bounded number of reads) so it cannot answer the next question.
RawReply ReadOnce(ScriptConnection& connection);

}  // namespace tarvo::app
