#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tarvo::platform {
namespace {

using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kSection = "Version 2.1";

TEST(IniParse, ReadsEntriesOfTheirSections) {
    const auto doc = IniDocument::Parse(
        "top=level\n"
        "; comment = not an entry\n"
        "# also a comment\n"
        "[Version 2.1]\n"
        "Port=COM2\n"
        "  Baud =  19200  \n"
        "Empty=\n"
        "\n"
        "[ Other ]\n"
        "Port=COM4\n");
    EXPECT_EQ(doc.Get(kSection, "Port"), "COM2");
    EXPECT_EQ(doc.Get(kSection, "Baud"), "19200");
    EXPECT_EQ(doc.Get(kSection, "Empty"), "");
    EXPECT_EQ(doc.Get(kSection, "top"), std::nullopt);
    EXPECT_EQ(doc.Get("", "top"), "level");
    EXPECT_EQ(doc.Get("Other", "Port"), "COM4");
    EXPECT_EQ(doc.Get(kSection, "; comment"), std::nullopt);
    EXPECT_EQ(doc.Get(kSection, "missing"), std::nullopt);
    EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"Version 2.1", "Other"}));
}

TEST(IniParse, NamesCompareWithoutCase) {
    const auto doc = IniDocument::Parse("[version 2.1]\nDATABITS=8\n");
    EXPECT_EQ(doc.Get("VERSION 2.1", "DataBits"), "8");
    EXPECT_EQ(doc.Get(kSection, "databits"), "8");
}

TEST(IniParse, FirstOfDuplicateKeysWins) {
    const auto doc = IniDocument::Parse("[A]\nk=1\nK=2\n[a]\nk=3\n");
    EXPECT_EQ(doc.Get("a", "k"), "1");
    EXPECT_EQ(doc.Entries("A"), (Entries{{"k", "1"}, {"K", "2"}, {"k", "3"}}));
}

TEST(IniParse, UnparsableLinesAreIgnored) {
    const auto doc = IniDocument::Parse(
        "[Version 2.1]\n"
        "no equals sign\n"
        "=no key\n"
        "[unclosed\n"
        "[]\n"
        "[x] trailing\n"
        "Port=COM3\n");
    EXPECT_EQ(doc.Entries(kSection), (Entries{{"Port", "COM3"}}));
    EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"Version 2.1"}));
}

TEST(IniParse, CrLfLinesAndMissingFinalNewline) {
    const auto doc = IniDocument::Parse("[Version 2.1]\r\nPort=COM2\r\nBaud=9600");
    EXPECT_EQ(doc.Get(kSection, "Port"), "COM2");
    EXPECT_EQ(doc.Get(kSection, "Baud"), "9600");
    EXPECT_EQ(doc.Serialize(), "[Version 2.1]\r\nPort=COM2\r\nBaud=9600\n");
}

TEST(IniParse, EmptyText) {
    const auto doc = IniDocument::Parse("");
    EXPECT_EQ(doc.Serialize(), "");
    EXPECT_TRUE(doc.Sections().empty());
}

// That a write keeps every other line byte for byte is tested through the profile
// (profile_test).
TEST(IniSet, NewKeyGoesAfterTheLastEntryOfItsSection) {
    auto doc = IniDocument::Parse("[Version 2.1]\nA=1\nB=2\n\n; next\n[Other]\nC=3\n");
    ASSERT_TRUE(doc.Set(kSection, "New", "v"));
    EXPECT_EQ(doc.Serialize(), "[Version 2.1]\nA=1\nB=2\nNew=v\n\n; next\n[Other]\nC=3\n");
}

TEST(IniSet, NewKeyInASectionWithoutEntriesFollowsTheHeader) {
    auto doc = IniDocument::Parse("[Version 2.1]\n\n[Other]\nC=3\n");
    ASSERT_TRUE(doc.Set(kSection, "Port", "COM1"));
    EXPECT_EQ(doc.Serialize(), "[Version 2.1]\nPort=COM1\n\n[Other]\nC=3\n");
}

TEST(IniSet, MissingSectionIsAppended) {
    auto doc = IniDocument::Parse("; only a comment\n[Other]\nC=3");
    ASSERT_TRUE(doc.Set(kSection, "Port", "COM1"));
    EXPECT_EQ(doc.Serialize(), "; only a comment\n[Other]\nC=3\n[Version 2.1]\nPort=COM1\n");
    ASSERT_TRUE(doc.Set(kSection, "Baud", "9600"));
    EXPECT_EQ(doc.Serialize(),
              "; only a comment\n[Other]\nC=3\n[Version 2.1]\nPort=COM1\nBaud=9600\n");
}

TEST(IniSet, GlobalEntriesGoBeforeTheFirstSection) {
    auto doc = IniDocument::Parse("a=1\n[S]\nb=2\n");
    ASSERT_TRUE(doc.Set("", "c", "3"));
    EXPECT_EQ(doc.Serialize(), "a=1\nc=3\n[S]\nb=2\n");
    auto empty = IniDocument::Parse("[S]\n");
    ASSERT_TRUE(empty.Set("", "c", "3"));
    EXPECT_EQ(empty.Serialize(), "c=3\n[S]\n");
}

TEST(IniSet, OnlyTheFirstDuplicateSectionIsExtended) {
    auto doc = IniDocument::Parse("[S]\na=1\n[T]\n[s]\nb=2\n");
    ASSERT_TRUE(doc.Set("S", "c", "3"));
    EXPECT_EQ(doc.Serialize(), "[S]\na=1\nc=3\n[T]\n[s]\nb=2\n");
    ASSERT_TRUE(doc.Set("S", "B", "4"));  // an existing key in the second copy is rewritten
    EXPECT_EQ(doc.Serialize(), "[S]\na=1\nc=3\n[T]\n[s]\nb=4\n");
}

TEST(IniSet, RefusesNamesThatCannotBeReadBack) {
    auto doc = IniDocument::Parse("[S]\na=1\n");
    for (const std::string& key : {""s, "a=b"s, "a\nb"s, "a\rb"s, "[a"s, "a]"s, " a"s, "a "s,
                                   "\ta"s, ";a"s, "#a"s, "a\x7F"s, "a\0b"s}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(doc.Set("S", key, "v"));
    }
    EXPECT_FALSE(doc.Set("S]", "a", "v"));
    EXPECT_FALSE(doc.Set(" S", "a", "v"));
    EXPECT_FALSE(doc.Set("S\n", "a", "v"));
    EXPECT_EQ(doc.Serialize(), "[S]\na=1\n");
    EXPECT_TRUE(IsValidIniKey("Device.COM1"));
    EXPECT_TRUE(IsValidIniKey("a b"));
}

TEST(IniEscape, ExactSpelling) {
    EXPECT_EQ(EscapeIniValue("plain text"), "plain text");
    EXPECT_EQ(EscapeIniValue("a\\b"), "a\\\\b");
    EXPECT_EQ(EscapeIniValue("l1\nl2\r\tz"), "l1\\nl2\\r\\tz");
    EXPECT_EQ(EscapeIniValue("\x01\x1B\x7F"), "\\x01\\x1B\\x7F");
    EXPECT_EQ(EscapeIniValue("\0"s), "\\x00");
    EXPECT_EQ(EscapeIniValue("[Version 2.1]"), "\\x5BVersion 2.1]");
    EXPECT_EQ(EscapeIniValue(" a b "), "\\x20a b\\x20");
    EXPECT_EQ(EscapeIniValue(" "), "\\x20");
    EXPECT_EQ(EscapeIniValue("\xE9\xFF"), "\xE9\xFF");
    EXPECT_EQ(EscapeIniValue("a=b;c#d"), "a=b;c#d");
}

TEST(IniEscape, UnescapeIsLenientAboutForeignBackslashes) {
    EXPECT_EQ(UnescapeIniValue("C:\\tarvo\\fonts"), "C:\tarvo\\fonts");
    EXPECT_EQ(UnescapeIniValue("a\\qb"), "a\\qb");
    EXPECT_EQ(UnescapeIniValue("end\\"), "end\\");
    EXPECT_EQ(UnescapeIniValue("\\x4"), "\\x4");
    EXPECT_EQ(UnescapeIniValue("\\xZZ"), "\\xZZ");
    EXPECT_EQ(UnescapeIniValue("\\x4a\\x4A"), "JJ");
}

TEST(IniEscape, EveryByteSurvivesTheFile) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (int b = 0; b < 256; ++b) {
        // Alone, and at both ends and in the middle of a value, where blanks are treated apart.
        const std::string c(1, static_cast<char>(b));
        for (const std::string& value : {c, c + "x" + c, "x" + c + "x"}) {
            auto doc = IniDocument::Parse("[Version 2.1]\n");
            ASSERT_TRUE(doc.Set(kSection, "Preamble", value));
            const std::string text = doc.Serialize();
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << "byte " << b;
            EXPECT_EQ(IniDocument::Parse(text).Get(kSection, "Preamble"), value) << "byte " << b;
        }
    }
    auto doc = IniDocument::Parse("");
    ASSERT_TRUE(doc.Set(kSection, "All", all));
    const std::string text = doc.Serialize();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(IniDocument::Parse(text).Get(kSection, "All"), all);
}

TEST(IniEscape, EscapedValuesCannotForgeLines) {
    auto doc = IniDocument::Parse("[Version 2.1]\n");
    ASSERT_TRUE(doc.Set(kSection, "A", "x\n[Other]\nB=evil"));
    const auto reread = IniDocument::Parse(doc.Serialize());
    EXPECT_EQ(reread.Sections(), (std::vector<std::string>{"Version 2.1"}));
    EXPECT_EQ(reread.Entries(kSection), (Entries{{"A", "x\n[Other]\nB=evil"}}));
}

}  // namespace
}  // namespace tarvo::platform
