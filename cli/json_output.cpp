#include "json_output.h"

#include <iostream>

namespace tarvo::cli {
namespace {

// Length of the valid UTF-8 sequence starting at text[at], or 0 when it is not one.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms, surrogates and code points above U+10FFFF are not UTF-8 either.
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

}  // namespace

std::string Utf8Text(const std::string& bytes) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            out += bytes[at];
        } else if (const std::size_t length = Utf8Length(bytes, at); length > 0) {
            out.append(bytes, at, length);
            at += length - 1;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

void PrintJson(const Json& document) {
    // Every string was made UTF-8 on the way in; replacing rather than throwing keeps a slip
    // from ending the program halfway through the document.
    std::cout << document.dump(2, ' ', true, Json::error_handler_t::replace) << "\n";
}

}  // namespace tarvo::cli
