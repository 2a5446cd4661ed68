#include "tarvo/base/notation.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvo {
namespace {

// Index = byte value. No name exceeds three characters, which bounds the scan for the `>`.
constexpr std::array<const char*, 32> kMnemonics = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",  // 0x00
    "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",   // 0x08
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",  // 0x10
    "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",   // 0x18
};

constexpr std::size_t kMaxNameLength = 3;

// The `>` of a mnemonic may sit at most this many places after its `<`.
constexpr std::size_t kCloseSearchSpan = kMaxNameLength + 2;

bool LookupName(const char* name, std::size_t length, unsigned char* code) {
    if (length == 0 || length > kMaxNameLength) {
        return false;
    }
    for (std::size_t i = 0; i < kMnemonics.size(); ++i) {
        const char* candidate = kMnemonics[i];
        if (std::strlen(candidate) == length && std::memcmp(candidate, name, length) == 0) {
            *code = static_cast<unsigned char>(i);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ExpandMnemonics(char* buffer, std::size_t* length) {
    if (buffer == nullptr || length == nullptr || *length > kMaxNotationLength) {
        return false;
    }
    const std::size_t n = *length;
    std::size_t r = 0;
    std::size_t w = 0;
    // The write position trails the read position, so the byte before `r` may already have been
    // overwritten by output; the escape rule needs the input byte, so it is kept here.
    char previous = '\0';
    bool havePrevious = false;
    while (r < n) {
        const char c = buffer[r];
        bool escaped = false;
        if (c == '<' && r + 3 <= n) {
            escaped = havePrevious && previous == '<';
            const std::size_t end = std::min(n, r + kCloseSearchSpan);
            std::size_t close = r + 1;
            while (close < end && buffer[close] != '>') {
                ++close;
            }
            unsigned char code = 0;
            if (close < end && !escaped && LookupName(buffer + r + 1, close - r - 1, &code)) {
                buffer[w++] = static_cast<char>(code);
                previous = '>';
                havePrevious = true;
                r = close + 1;
                continue;
            }
        }
        if (!escaped) {
            buffer[w++] = c;
        }
        previous = c;
        havePrevious = true;
        ++r;
    }
    *length = w;
    return true;
}

bool ExpandMnemonics(std::string& text) {
    std::size_t length = text.size();
    if (!ExpandMnemonics(text.data(), &length)) {
        return false;
    }
    text.resize(length);
    return true;
}

bool LookupMnemonic(const char* name, unsigned char* code) {
    if (name == nullptr || code == nullptr) {
        return false;
    }
    return LookupName(name, std::strlen(name), code);
}

std::string RenderMnemonics(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < kMnemonics.size()) {
            out += '<';
            out += kMnemonics[b];
            out += '>';
        } else if (b >= 0x7F) {
            out += "<x";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
            out += '>';
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace tarvo
