#include "tarvo/base/notation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using namespace std::string_literals;

std::string Expanded(std::string text) {
    EXPECT_TRUE(ExpandMnemonics(text));
    return text;
}

TEST(ExpandMnemonics, ReplacesNamesByTheirBytes) {
    EXPECT_EQ(Expanded("<ESC>P"),
              "\x1B"
              "P");
    EXPECT_EQ(Expanded("<STX>abc<ETX>"),
              "\x02"
              "abc"
              "\x03");
    EXPECT_EQ(Expanded("<SI>R0"), "\x0FR0");
    EXPECT_EQ(Expanded("<STX><ESC>.x,whoami<ETX>"), "\x02\x1B.x,whoami\x03");
    EXPECT_EQ(Expanded("<CR><LF>"), "\r\n");
    EXPECT_EQ(Expanded("<ESC><ESC>"), "\x1B\x1B");
}

TEST(ExpandMnemonics, NulInTheMiddleCountsInTheLength) {
    char buffer[] = "a<NUL>b";
    std::size_t length = 7;
    ASSERT_TRUE(ExpandMnemonics(buffer, &length));
    ASSERT_EQ(length, 3u);
    EXPECT_EQ(std::string(buffer, length), "a\0b"s);
}

TEST(ExpandMnemonics, EveryNameExpandsToItsIndex) {
    const std::vector<std::string> names = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                            "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                            "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                            "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    ASSERT_EQ(names.size(), 32u);
    for (std::size_t code = 0; code < names.size(); ++code) {
        SCOPED_TRACE(names[code]);
        EXPECT_EQ(Expanded("x<" + names[code] + ">y"), "x"s + static_cast<char>(code) + "y");
        unsigned char looked = 0xAA;
        EXPECT_TRUE(LookupMnemonic(names[code].c_str(), &looked));
        EXPECT_EQ(looked, code);
    }
}

TEST(ExpandMnemonics, LeavesNonMnemonicsLiteral) {
    for (const std::string text :
         {"<esc>", "<Esc>P", "<DEL>", "<SP>", "<XY>", "<>", "<ESCA>", "a<b>c", "1 < 2 > 0", "<ESC",
          "<CR", "<E", "<", "plain text", ""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Expanded(text), text);
    }
}

TEST(ExpandMnemonics, CloseBracketMustBeWithinFourPlaces) {
    // `<` at r, `>` at r + 4 at most: a three-letter name is the longest that fits.
    EXPECT_EQ(Expanded("<NUL>"), "\0"s);
    EXPECT_EQ(Expanded("< ESC>"), "< ESC>");
    EXPECT_EQ(Expanded("<ESC >"), "<ESC >");
}

TEST(ExpandMnemonics, DoubledBracketEscapes) {
    EXPECT_EQ(Expanded("<<ETX>"), "<ETX>");
    EXPECT_EQ(Expanded("<<STX>"), "<STX>");
    EXPECT_EQ(Expanded("<<CR>"), "<CR>");
    EXPECT_EQ(Expanded("a<<ESC>b<ESC>"), "a<ESC>b\x1B");
    // `<<` gives one `<` whenever two more bytes follow, mnemonic or not.
    EXPECT_EQ(Expanded("<<ab"), "<ab");
    EXPECT_EQ(Expanded("x<<"), "x<<");
    EXPECT_EQ(Expanded("<<a"), "<<a");
    // Every `<` preceded by a `<` in the input is dropped, not only the second.
    EXPECT_EQ(Expanded("<<<STX>"), "<STX>");
}

TEST(ExpandMnemonics, OnlyABracketBeforeTheBracketEscapes) {
    // The byte before the second `<` is the end of an expanded mnemonic, not a `<`.
    EXPECT_EQ(Expanded("<ESC><STX>"), "\x1B\x02");
    EXPECT_EQ(Expanded("<ESC>a<<STX>"),
              "\x1B"
              "a<STX>");
    EXPECT_EQ(Expanded("<<ESC><STX>"), "<ESC>\x02");
    // A dropped `<` still escapes the one after it.
    EXPECT_EQ(Expanded("a<<<<ESC>"), "a<ESC>");
}

TEST(ExpandMnemonics, NeverReadsPastTheGivenLength) {
    // The bytes after the length look like the end of a mnemonic; they must not complete one.
    char buffer[] =
        "ab<ES"
        "C>zz";
    std::size_t length = 5;
    ASSERT_TRUE(ExpandMnemonics(buffer, &length));
    EXPECT_EQ(std::string(buffer, length), "ab<ES");

    // Exactly sized heap buffers let the address sanitizer catch a scan beyond the end.
    for (const std::string tail : {"<", "<E", "<ES", "<ESC", "<<", "<<E", "<<ES", "a<>"}) {
        std::vector<char> exact(tail.begin(), tail.end());
        std::size_t n = exact.size();
        ASSERT_TRUE(ExpandMnemonics(exact.data(), &n));
        EXPECT_EQ(std::string(exact.data(), n), tail == "<<ES" ? "<ES" : tail);
    }
}

TEST(ExpandMnemonics, RefusesOverlongDataAndNullArguments) {
    std::string big(kMaxNotationLength + 1, 'a');
    big.replace(0, 5, "<ESC>");
    const std::string before = big;
    EXPECT_FALSE(ExpandMnemonics(big));
    EXPECT_EQ(big, before);

    std::size_t length = big.size();
    EXPECT_FALSE(ExpandMnemonics(big.data(), &length));
    EXPECT_EQ(length, kMaxNotationLength + 1);
    EXPECT_EQ(big, before);

    EXPECT_FALSE(ExpandMnemonics(nullptr, &length));
    EXPECT_FALSE(ExpandMnemonics(big.data(), nullptr));

    std::string largest(kMaxNotationLength, 'b');
    largest.replace(largest.size() - 5, 5, "<ETX>");
    ASSERT_TRUE(ExpandMnemonics(largest));
    EXPECT_EQ(largest.size(), kMaxNotationLength - 4);
    EXPECT_EQ(largest.back(), '\x03');
}

TEST(ExpandMnemonics, ZeroLengthIsFine) {
    std::size_t length = 0;
    char byte = 'q';
    ASSERT_TRUE(ExpandMnemonics(&byte, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(byte, 'q');
}

TEST(LookupMnemonic, ExactCaseAndWholeName) {
    unsigned char code = 0x55;
    EXPECT_TRUE(LookupMnemonic("ESC", &code));
    EXPECT_EQ(code, 0x1B);
    code = 0x55;
    EXPECT_FALSE(LookupMnemonic("esc", &code));
    EXPECT_FALSE(LookupMnemonic("ES", &code));
    EXPECT_FALSE(LookupMnemonic("ESCX", &code));
    EXPECT_FALSE(LookupMnemonic("DEL", &code));
    EXPECT_FALSE(LookupMnemonic("", &code));
    EXPECT_FALSE(LookupMnemonic(nullptr, &code));
    EXPECT_EQ(code, 0x55);
}

TEST(RenderMnemonics, SpellsControlAndHighBytes) {
    EXPECT_EQ(RenderMnemonics("\x02"
                              "abc"
                              "\x03"),
              "<STX>abc<ETX>");
    EXPECT_EQ(RenderMnemonics("\0\x1F\x7F\x80\xFF "s), "<NUL><US><x7F><x80><xFF> ");
    EXPECT_EQ(RenderMnemonics("\xAB\xcd"), "<xAB><xCD>");
    EXPECT_EQ(RenderMnemonics(""), "");
    EXPECT_EQ(RenderMnemonics("<ESC>"), "<ESC>");
}

TEST(RenderMnemonics, ExpandUndoesRenderForControlBytesAndPlainText) {
    std::string all;
    for (int b = 0; b < 0x7F; ++b) {
        if (b != '<') {
            all += static_cast<char>(b);
        }
    }
    all += all;  // every pair of neighbours occurs at least once around the seam
    EXPECT_EQ(Expanded(RenderMnemonics(all)), all);
}

}  // namespace
}  // namespace tarvo
