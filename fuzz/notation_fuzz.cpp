// Expands arbitrary bytes and checks the in-place expander against a straightforward
// out-of-place reading of the same rules, plus the invariants that rendering promises.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "tarvo/base/notation.h"

namespace {

// Kept apart from the kernel's table on purpose, so a wrong entry there shows up here.
const char* const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

int Code(const std::string& name) {
    for (int i = 0; i < 32; ++i) {
        if (name == kNames[i]) {
            return i;
        }
    }
    return -1;
}

// The rules read from a separate input and output, where the byte before `r` is always input.
std::string Reference(const std::string& in) {
    std::string out;
    const std::size_t n = in.size();
    std::size_t r = 0;
    while (r < n) {
        bool escaped = false;
        if (in[r] == '<' && r + 3 <= n) {
            escaped = r > 0 && in[r - 1] == '<';
            const std::size_t close = in.find('>', r);
            if (close != std::string::npos && close < r + 5) {
                const int code = Code(in.substr(r + 1, close - r - 1));
                if (code >= 0 && !escaped) {
                    out += static_cast<char>(code);
                    r = close + 1;
                    continue;
                }
            }
        }
        if (!escaped) {
            out += in[r];
        }
        ++r;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string expanded = input;
    const bool accepted = tarvo::ExpandMnemonics(expanded);
    if (size > tarvo::kMaxNotationLength) {
        Check(!accepted && expanded == input, "over-long data must be refused untouched");
        return 0;
    }
    Check(accepted, "data within the limit must be accepted");
    Check(expanded.size() <= size, "expansion never grows the data");
    Check(expanded == Reference(input), "in-place expansion equals the reference");
    if (input.find('<') == std::string::npos) {
        Check(expanded == input, "text without '<' is left alone");
    }

    // An exactly sized heap copy lets the address sanitizer see any read past the length.
    std::unique_ptr<char[]> exact(new char[size == 0 ? 1 : size]);
    std::memcpy(exact.get(), data, size);
    std::size_t length = size;
    Check(tarvo::ExpandMnemonics(exact.get(), &length), "raw overload accepts");
    Check(std::string(exact.get(), length) == expanded, "both overloads agree");

    const std::string rendered = tarvo::RenderMnemonics(input);
    for (const char c : rendered) {
        Check(c >= 0x20 && c < 0x7F, "rendering is printable ASCII");
    }
    bool plain = true;
    for (const char c : input) {
        const auto b = static_cast<unsigned char>(c);
        plain = plain && c != '<' && b < 0x7F;
    }
    if (plain && rendered.size() <= tarvo::kMaxNotationLength) {
        std::string back = rendered;
        Check(tarvo::ExpandMnemonics(back) && back == input, "expansion undoes rendering");
    }
    return 0;
}
