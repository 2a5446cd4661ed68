// The exported string utilities. The tables behind them cover plain ASCII only: printer replies
// and user input arrive in whatever code page the host had, so bytes from 0x80 up are never
// case-mapped and never count as printable.
#include "tarvo/strings.h"

namespace {

bool IsAsciiLower(unsigned char c) {
    return c >= 'a' && c <= 'z';
}

bool IsPrintableOrLineEnd(unsigned char c) {
    return (c >= 0x20 && c <= 0x7E) || c == '\r' || c == '\n';
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

}  // namespace

char* StrToUpper(char* s) {
    if (s == nullptr) {
        return s;
    }
    for (char* p = s; *p != '\0'; ++p) {
        if (IsAsciiLower(static_cast<unsigned char>(*p))) {
            *p = static_cast<char>(*p - 'a' + 'A');
        }
    }
    return s;
}

int StrIsPrintable(const char* s) {
    if (s == nullptr) {
        return 1;
    }
    for (const char* p = s; *p != '\0'; ++p) {
        if (!IsPrintableOrLineEnd(static_cast<unsigned char>(*p))) {
            return 0;
        }
    }
    return 1;
}

char* SqueezeStr(char* s) {
    if (s == nullptr) {
        return s;
    }
    // The result is never longer than the input, so it can be written over it from the front.
    char* out = s;
    bool pendingSpace = false;
    for (const char* in = s; *in != '\0'; ++in) {
        if (IsSeparator(*in)) {
            pendingSpace = out != s;
            continue;
        }
        if (pendingSpace) {
            *out++ = ' ';
            pendingSpace = false;
        }
        *out++ = *in;
    }
    *out = '\0';
    return s;
}

char* ConvertTo7Bit(char* s) {
    if (s == nullptr) {
        return s;
    }
    for (char* p = s; *p != '\0'; ++p) {
        *p = static_cast<char>(static_cast<unsigned char>(*p) & 0x7F);
    }
    return s;
}
