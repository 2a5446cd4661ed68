// Cutting values out of a setup listing and out of the printer's other answers.
#include <gtest/gtest.h>

#include <string>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_listing.h"
#include "brakenholm/brak_setting_text.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

// The serial lines every parse needs, ahead of what a test adds.
std::string Serial(const std::string& parity = "ODD") {
    return "SER-COM,UART1,BAUDRATE,9600\r\n"
           "SER-COM,UART1,CHAR LENGTH,8\r\n"
           "SER-COM,UART1,PARITY," +
           parity +
           "\r\n"
           "SER-COM,UART1,STOPBITS,1\r\n";
}

ListingParse Parse(const std::string& rest, int generation = 3) {
    return ParseListing(Serial() + rest, generation, 2);
}

TEST(BrakListing, NumbersEndTheLine) {
    EXPECT_EQ(TrailingNumber(",-30"), -30);
    EXPECT_EQ(TrailingNumber(",+12"), 12);
    EXPECT_EQ(TrailingNumber(",-30  "), 0) << "the digits must end the line";
    EXPECT_EQ(TrailingNumber(",abc"), 0);
    EXPECT_EQ(TrailingNumber(""), 0);
    EXPECT_EQ(TrailingNumber("WIDTH 12,832"), 832);
    EXPECT_EQ(TrailingNumber(",12-5"), 12) << "read as a decimal up to the first non-digit";

    const ListingParse p = Parse("FEEDADJ,STARTADJ,-30\r\nFEEDADJ,STOPADJ,7   \r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.setup.startAdjust, -30);
    EXPECT_EQ(p.setup.stopAdjust, 0);
}

// A listing cut short, or a partial file, leaves what it lacks "not read": never sent, never
// saved, never shown as 0 or DISABLE.
TEST(BrakListing, KeysAListingLacksStayNotReadAndAreNeverSentOrSaved) {
    const ListingParse p = Parse("MEDIA,MEDIA SIZE,WIDTH,832\r\nMEDIA,MEDIA SIZE,LENGTH,1200\r\n");
    ASSERT_TRUE(p.ok);
    using S = BrakSetting;
    for (const S read : {S::Baud, S::CharLength, S::Parity, S::StopBits, S::Width, S::Length})
        EXPECT_TRUE(WasRead(p.setup, read)) << SettingName(read);
    for (const S lacked : {S::StartAdjust, S::XStart, S::ReceiveBuffer, S::RtsCts, S::PrintSpeed})
        EXPECT_FALSE(WasRead(p.setup, lacked)) << SettingName(lacked);
    EXPECT_EQ(SettingsInSendOrder(p.setup, 3), (std::vector<S>{S::Width, S::Length}));
    EXPECT_EQ(SerialSettingsInSendOrder(p.setup),
              (std::vector<S>{S::Baud, S::Parity, S::StopBits, S::CharLength}));
    EXPECT_EQ(
        BuildSetupLines(p.setup, 3),
        (std::vector<std::string>{"SER-COM,UART1,BAUDRATE,9600", "SER-COM,UART1,CHAR LENGTH,8",
                                  "SER-COM,UART1,PARITY,ODD", "SER-COM,UART1,STOPBITS,1",
                                  "MEDIA,MEDIA SIZE,WIDTH,832", "MEDIA,MEDIA SIZE,LENGTH,1200"}));
    EXPECT_EQ(SettingValueText(S::StartAdjust, p.setup, 3), "(not read)");
    EXPECT_EQ(SettingValueText(S::RtsCts, p.setup, 3), "(not read)");

    BrakSetup edited = p.setup;
    ASSERT_EQ(SetSettingFromText(S::StartAdjust, "-4", 3, edited), std::nullopt);
    EXPECT_EQ(SettingValueText(S::StartAdjust, edited, 3), "-4") << "a value set is read";
}

TEST(BrakListing, HugeNumbersSaturateToTheirField) {
    const std::string digits(5000, '9');
    const ListingParse p =
        Parse("MEDIA,MEDIA SIZE,WIDTH," + digits + "\r\nFEEDADJ,STARTADJ,-" + digits +
              "\r\nMEDIA,MEDIA SIZE,LENGTH," + digits + "\r\nMEDIA,MEDIA SIZE,XSTART,-5\r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.setup.width, 65535);
    EXPECT_EQ(p.setup.startAdjust, -32768);
    EXPECT_EQ(p.setup.length, 2147483647);
    EXPECT_EQ(p.setup.xStart, 0) << "an unsigned field takes no negative value";
    EXPECT_EQ(ParseDecimal(digits), std::numeric_limits<long long>::max());
}

TEST(BrakListing, TextsAndFlags) {
    EXPECT_EQ(ValueText(",ENABLE  \t"), "ENABLE");
    EXPECT_EQ(ValueText(""), "");
    EXPECT_EQ(ValueText(","), "");
    const std::pair<std::string, bool> flags[] = {
        {"ENABLE", true},   {"ENABLED", false},  {"enable", false},
        {"DISABLE", false}, {"ENABLE   ", true}, {"", false},
    };
    for (const auto& [text, on] : flags) {
        const ListingParse p = Parse("SER-COM,UART1,FLOWCONTROL,RTS/CTS," + text + "\r\n");
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.setup.rtsCts, on) << text;
    }
    const ListingParse none = Parse("");
    EXPECT_FALSE(none.setup.rtsCts) << "an absent flag is clear";
}

TEST(BrakListing, FirstOccurrenceCaseSensitiveRestOfLineOnly) {
    const std::string listing = "x,width,100\r\nMEDIA,MEDIA SIZE,WIDTH,832\nSECOND,WIDTH,999\r\n";
    const auto line = FindKeyLine(listing, "WIDTH");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->rest, ",832");
    EXPECT_FALSE(FindKeyLine(listing, "MISSING").has_value());
    EXPECT_EQ(FindKeyLine(listing, "WIDTH", line->keyEnd)->rest, ",999");
    EXPECT_FALSE(FindKeyLine(listing, "WIDTH", listing.size() + 5).has_value());
}

TEST(BrakListing, SerialValuesDecideWhetherTheListingCounts) {
    ListingParse p = ParseListing(Serial("NONE") + "MEDIA,MEDIA SIZE,WIDTH,832\r\n", 3, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.setup.baud, 0);
    EXPECT_EQ(p.setup.charLength, 8);
    EXPECT_EQ(p.setup.parity, 2);
    EXPECT_EQ(p.setup.stopBits, 1);
    EXPECT_EQ(p.setup.portIndex, 4);

    for (const std::string& cut : {std::string("SER-COM,UART1,CHAR LENGTH,8\r\n"),
                                   std::string("SER-COM,UART1,STOPBITS,1\r\nWIDTH,832"),
                                   std::string("SER-COM,UART1,CHAR LENGTH,0\r\nSTOPBITS,1"),
                                   std::string("\x01\xff garbage"), std::string()}) {
        EXPECT_FALSE(ParseListing(cut, 3, 0).ok) << cut;
    }
    const ListingParse baud =
        ParseListing("SER-COM,UART1,BAUDRATE,19200\r\n" + Serial().substr(29), 3, 0);
    ASSERT_TRUE(baud.ok);
    EXPECT_EQ(baud.setup.baud, 1);
}

TEST(BrakListing, UnknownTableValuesReadAsUnsetAndAreNamed) {
    const ListingParse p = Parse(
        "SER-COM,UART1,NEW LINE,CRLF\r\n"
        "MEDIA,MEDIA TYPE,RFID LABEL\r\n"
        "MEDIA,PAPER TYPE,DIRECT THERMAL\r\n"
        "MEDIA,CONTRAST,+1%\r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.setup.newLine, kNoIndex);
    EXPECT_EQ(p.setup.mediaType, kNoIndex);
    EXPECT_EQ(p.setup.paperType, 0);
    EXPECT_EQ(p.setup.contrast, kNoContrast);
    EXPECT_EQ(p.unrecognised, (std::vector<std::string>{"NEW LINE: CRLF", "MEDIA TYPE: RFID LABEL",
                                                        "CONTRAST: +1%"}));

    // A grade name of the old tree that the grade table does not hold is never sent back.
    const ListingParse grade = Parse("SERVICE,PRINT DEFS,PAPER TYPE,NO SUCH GRADE\r\n", 1);
    EXPECT_EQ(grade.setup.paperType, kNoIndex);
    const ListingParse known =
        Parse("SERVICE,PRINT DEFS,PAPER TYPE," + std::string(PaperGradeTable()[27]) + "\r\n", 1);
    EXPECT_EQ(known.setup.paperType, 27);
}

TEST(BrakListing, ContrastByTree) {
    EXPECT_EQ(Parse("MEDIA,CONTRAST,+4%\r\n", 3).setup.contrast, 7);
    EXPECT_EQ(Parse("CONTRAST,5\r\n", 1).setup.contrast, 5);
    EXPECT_EQ(Parse("CONTRAST,-2\r\n", 0).setup.contrast, -2);
}

TEST(BrakListing, BuffersByGeneration) {
    const std::string listing =
        "SER-COM,UART1,REC BUF,4096\r\n"
        "SER-COM,UART1,TRANS BUF,2048\r\n"
        "SERVICE,MEMORY ALLOC,REC BUF UART1,300\r\n"
        "SERVICE,MEMORY ALLOC,TRANS BUF UART1,200\r\n";
    const ListingParse g3 = Parse(listing, 3);
    EXPECT_EQ(g3.setup.receiveBuffer, 4096);
    EXPECT_EQ(g3.setup.transmitBuffer, 2048);
    const ListingParse g1 = Parse(listing, 1);
    EXPECT_EQ(g1.setup.receiveBuffer, 300);
    EXPECT_EQ(g1.setup.transmitBuffer, 200);
    const ListingParse g0 = Parse(listing, 0);
    EXPECT_EQ(g0.setup.receiveBuffer, 0);
    EXPECT_EQ(g0.setup.transmitBuffer, 0);

    EXPECT_EQ(Parse("SERVICE,MEMORY ALLOC,IMAGE BUFF SIZE,65536\r\n", 1).setup.imageBufferSize,
              65536)
        << "as the printer lists it";
    EXPECT_EQ(Parse("SERVICE,MEMORY ALLOC,IMAGE BUF SIZE,32768\r\n", 1).setup.imageBufferSize,
              32768)
        << "as the setup file writes it";
}

TEST(BrakListing, LssAdjustOnlyOnTheOldTree) {
    const std::string listing = "DETECTION,LSS ADJUST,23\r\n";
    EXPECT_EQ(Parse(listing, 1).setup.lssAdjust, 23);
    EXPECT_EQ(Parse(listing, 0).setup.lssAdjust, 23);
    EXPECT_EQ(Parse(listing, 2).setup.lssAdjust, 0);
}

TEST(BrakListing, SuppliesOfGenerationZeroComeInPairs) {
    const auto supplies = [](const std::string& first, const std::string& second) {
        std::string listing = "SERVICE,PRINT DEFS,NEW SUPPLIES," + first + "\r\n";
        if (!second.empty())
            listing += "SERVICE,PRINT DEFS,NEW SUPPLIES," + second + "\r\n";
        const ListingParse p = Parse(listing, 0);
        return std::pair(p.setup.newSupplies1, p.setup.newSupplies2);
    };
    using Pair = std::pair<std::uint16_t, std::uint16_t>;
    EXPECT_EQ(supplies("GZ6", "GJ118"), Pair(5, 24));
    EXPECT_EQ(supplies("GQ90", "GJ118"), Pair(14, kNoIndex))
        << "a single grade reads no second value";
    EXPECT_EQ(supplies("GF100", "GZ0"), Pair(0, 17))
        << "a second-of-pair first still reads the other";
    EXPECT_EQ(supplies("GZ1", "GZ0"), Pair(kNoIndex, kNoIndex))
        << "a grade in no list changes nothing";
    EXPECT_EQ(supplies("GZ10", ""), Pair(8, kNoIndex));

    // Generation 1 reads one value of the whole table; newer printers none.
    EXPECT_EQ(Parse("SERVICE,PRINT DEFS,NEW SUPPLIES,GZ1\r\n", 1).setup.newSupplies1, 1);
    EXPECT_EQ(Parse("SERVICE,PRINT DEFS,NEW SUPPLIES,GZ1\r\n", 3).setup.newSupplies1, kNoIndex);
}

TEST(BrakListing, NetworkAndTheRest) {
    const ListingParse p = Parse(
        "NET1,IP ADDRESS,10.0.0.7\r\n"
        "PRINT DEFS,HEAD RESIST,1250\r\n"
        "PRINT DEFS,PRINT SPEED,150\r\n"
        "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,50\r\n"
        "MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,-4\r\n",
        3);
    EXPECT_TRUE(p.setup.networkPresent);
    EXPECT_EQ(p.setup.headResistance, 1250);
    EXPECT_EQ(p.setup.printSpeed, 150);
    EXPECT_EQ(p.setup.labelConstant, 50);
    EXPECT_EQ(p.setup.labelOffset, -4);
    EXPECT_FALSE(Parse("NET1,IP ADDRESS,   \r\n").setup.networkPresent);
}

TEST(BrakText, ReplyHelpers) {
    EXPECT_EQ(CollapseBlanks("  V7.12   build  3  "), "V7.12 build 3");
    EXPECT_EQ(CollapseBlanks("   "), "");
    EXPECT_EQ(StripLineEnds("x \r\n\r\n"), "x ");
    EXPECT_EQ(FigureBefore("Files: 4096 bytes used", " bytes"), "4096");
    EXPECT_EQ(FigureBefore("used total:4096 bytes", " bytes"), "total:4096")
        << "the run stops only at a character below '0'";
    EXPECT_EQ(FigureBefore(" bytes", " bytes"), "");
    EXPECT_FALSE(FigureBefore("nothing here", " bytes").has_value());
    EXPECT_EQ(ValueAfterColon("Total free to malloc():   12345\r\nnext", "Total free to malloc()"),
              "12345");
    EXPECT_FALSE(ValueAfterColon("Total free to malloc() 5", "Total free to malloc()"));
    EXPECT_EQ(ParseDecimal("  -42abc"), -42);
    EXPECT_EQ(ParseDecimal("x1"), 0);
    EXPECT_EQ(Saturate<std::int16_t>(40000), 32767);
}

}  // namespace
}  // namespace tarvo::app
