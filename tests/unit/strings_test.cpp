#include "tarvo/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs an in-place utility on a copy and checks it returned its argument.
template <typename Fn>
std::string Applied(Fn fn, std::string text) {
    char* result = fn(text.data());
    EXPECT_EQ(result, text.data());
    return std::string(text.c_str());
}

TEST(StrToUpper, UpperCasesAsciiLettersOnly) {
    EXPECT_EQ(Applied(StrToUpper, "com1: 9600,e,7,1"), "COM1: 9600,E,7,1");
    EXPECT_EQ(Applied(StrToUpper, "azAZ@[`{"), "AZAZ@[`{");
    EXPECT_EQ(Applied(StrToUpper, "\xE4\xF6\xFF"), "\xE4\xF6\xFF");
    EXPECT_EQ(Applied(StrToUpper, ""), "");
    EXPECT_EQ(StrToUpper(nullptr), nullptr);
}

TEST(StrIsPrintable, AcceptsPrintableAsciiAndLineEnds) {
    EXPECT_EQ(StrIsPrintable("AB\r\n"), 1);
    EXPECT_EQ(StrIsPrintable(" ~"), 1);
    EXPECT_EQ(StrIsPrintable(""), 1);
    EXPECT_EQ(StrIsPrintable(nullptr), 1);
    EXPECT_EQ(StrIsPrintable("A\tB"), 0);
    EXPECT_EQ(StrIsPrintable("\x1B"
                             "P"),
              0);
    EXPECT_EQ(StrIsPrintable("abc\x7F"), 0);
    EXPECT_EQ(StrIsPrintable("caf\xE9"), 0);
}

TEST(StrIsPrintable, EveryByteClassified) {
    for (int b = 1; b < 256; ++b) {
        const char text[] = {'x', static_cast<char>(b), 'y', '\0'};
        const bool expected = (b >= 0x20 && b <= 0x7E) || b == '\r' || b == '\n';
        EXPECT_EQ(StrIsPrintable(text), expected ? 1 : 0) << "byte " << b;
    }
}

TEST(SqueezeStr, JoinsPiecesWithSingleSpaces) {
    EXPECT_EQ(Applied(SqueezeStr, "  a \r\n b  "), "a b");
    EXPECT_EQ(Applied(SqueezeStr, "one two"), "one two");
    EXPECT_EQ(Applied(SqueezeStr, "one\r\n\r\ntwo\nthree"), "one two three");
    EXPECT_EQ(Applied(SqueezeStr, "tab\tstays  put"), "tab\tstays put");
    EXPECT_EQ(Applied(SqueezeStr, "x"), "x");
    EXPECT_EQ(Applied(SqueezeStr, " \r\n "), "");
    EXPECT_EQ(Applied(SqueezeStr, ""), "");
    EXPECT_EQ(SqueezeStr(nullptr), nullptr);
}

TEST(SqueezeStr, TerminatesAtTheNewEnd) {
    // The bytes after the new terminator are not part of the result; what matters is that the
    // terminator moved and nothing past the old one was touched.
    char buffer[] = "  a   b  \0Z";
    SqueezeStr(buffer);
    EXPECT_STREQ(buffer, "a b");
    EXPECT_EQ(buffer[10], 'Z');
}

TEST(ConvertTo7Bit, ClearsTheTopBit) {
    EXPECT_EQ(Applied(ConvertTo7Bit,
                      "\xC1\xE2"
                      "c\xFF"),
              "Abc\x7F");
    EXPECT_EQ(Applied(ConvertTo7Bit, "plain"), "plain");
    EXPECT_EQ(ConvertTo7Bit(nullptr), nullptr);
    // 0x80 becomes NUL, which ends the string there.
    EXPECT_EQ(Applied(ConvertTo7Bit,
                      "ab\x80"
                      "cd"),
              "ab");
}

}  // namespace
