// Reading what a printer reports about its configuration: the answer to <ESC>p (the
// configuration in the printer's own command form, raw control bytes), which is also what the
// configuration part of a file becomes once its notation is expanded, and the short numeric
// answers to <ESC>m, <ESC>m1 and <ESC>O.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "session/config_record.h"

namespace tarvo {

// Parses a configuration reply into `record`. The reply is delimited by its length (a 0 byte is
// a legal start or end character); one leading <DC1> or <DC2> is skipped and <ETX> ends it.
// Numbers are digits with `?` for an unknown value (it resets the number to 0), a leading `-`
// only for top of form, darkness and rest adjustment; at most 10 digits, and the value must
// fit the field. The reply is parsed into a copy of `record`, which is replaced only when the
// whole reply parsed, so a failure leaves `record` exactly as it was.
// Returns false for an empty reply, one without <ETX>, a bad or missing number or comma, or a
// command cut off by the end of the data.
bool ParseConfigurationReply(std::string_view reply, ConfigRecord& record);

// The printer's memory from "total,free" (KB each, one leading <DC1> or <DC2> allowed).
struct MemoryReport {
    std::uint16_t total = 0;
    std::uint16_t free = 0;
};
// nullopt when either of the first two fields is not a number of 16 bits (blanks and control
// bytes may follow a number; fields after the second are ignored).
std::optional<MemoryReport> ParseMemoryReply(std::string_view reply);

// The second comma-separated number of a reply (the image buffer in the answer to <ESC>m1);
// nullopt when there is none or it does not fit 16 bits.
std::optional<std::uint16_t> ParseSecondNumber(std::string_view reply);

// The decimal number a reply starts with (after one <DC1> or <DC2>); nullopt when it starts
// with something else or has more than 10 digits.
std::optional<int> ParseLeadingNumber(std::string_view reply);

}  // namespace tarvo
