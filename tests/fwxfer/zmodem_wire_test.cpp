// The sender's bytes on the wire, checked against values computed independently (the CRC check
// values of the standard test string, and headers as a receiver really sends them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwxfer/header_reader.h"
#include "fwxfer/zmodem_wire.h"

namespace fwxfer {
namespace {

using namespace std::string_literals;

TEST(ZmodemWire, CheckSumsOfTheStandardTestString) {
    EXPECT_EQ(Crc16("123456789"), 0x31C3);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
}

TEST(ZmodemWire, HexHeadersAreExact) {
    const struct {
        Header header;
        std::string wire;
    } cases[] = {
        {PositionHeader(Frame::RQInit, 0),
         "**\x18"
         "B00000000000000\r\x8a\x11"s},
        // What a receiver that can overlap I/O, full duplex and CRC-32 sends.
        {FlagsHeader(Frame::RInit, 0x23),
         "**\x18"
         "B0100000023be50\r\x8a\x11"s},
        // ZFIN and ZACK carry no XON.
        {PositionHeader(Frame::Fin, 0),
         "**\x18"
         "B0800000000022d\r\x8a"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexHeader(c.header), c.wire) << static_cast<int>(c.header.type);
}

TEST(ZmodemWire, BinaryHeadersCarryCrc32LowByteFirstAndEscapeTheirBody) {
    EXPECT_EQ(BinaryHeader(PositionHeader(Frame::Data, 0x1234), true, {}),
              "*\x18"
              "C\x0a\x34\x12\x00\x00\x54\xf7\x79\xec"s);
    EXPECT_EQ(BinaryHeader(PositionHeader(Frame::Data, 0x1118), true, {}),
              "*\x18"
              "C\x0a\x18\x58\x18\x51\x00\x00\x8b\x59\xdb\x04"s);
}

TEST(ZmodemWire, EscapesTheProtocolsBytesAndControlsWhenAsked) {
    const struct {
        std::uint8_t byte;
        std::uint8_t previous;
        bool allControls;
        std::string wire;
    } cases[] = {
        {0x18, 0, false, "\x18X"},
        {0x10, 0, false, "\x18P"},
        {0x11, 0, false, "\x18Q"},
        {0x13, 0, false, "\x18S"},
        {0x90, 0, false, "\x18\xd0"},
        {0x93, 0, false, "\x18\xd3"},
        // Each escape costs a byte of line time: ZDLE's high-bit twin goes plain unless every
        // control is escaped.
        {0x98, 0, false, "\x98"},
        {0x98, 0, true, "\x18\xd8"},
        {0x41, 0, false, "A"},
        {0x0D, 'A', false, "\r"},
        {0x0D, '@', false, "\x18M"},
        {0x8D, 0xC0, false, "\x18\xcd"},
        {0x01, 0, false, "\x01"},
        {0x01, 0, true,
         "\x18"
         "A"},
        {0x7F, 0, true, "\x7f"},
        {0x00, 0, true, "\x18@"},
    };
    for (const auto& c : cases) {
        std::string out;
        std::uint8_t previous = c.previous;
        AppendEscaped(c.byte, EscapeRules{c.allControls}, &previous, &out);
        EXPECT_EQ(out, c.wire) << int(c.byte);
    }
}

TEST(ZmodemWire, DataSubpacketEndsWithItsLetterAndCheckSum) {
    EXPECT_EQ(DataSubpacket("AB", SubpacketEnd::EndFrame, true, {}), "AB\x18h\x08\xfa\x3f\x0f"s);
    // ZCRCW is followed by an XON.
    EXPECT_EQ(DataSubpacket("", SubpacketEnd::WaitForAck, true, {}).back(), '\x11');
}

TEST(ZmodemWire, FileInfoNamesSizeTimeAndMode) {
    EXPECT_EQ(FileInfo("SANS.TTF", 1000, 8),
              "SANS.TTF\0"
              "1000 10 100644 0 1 1000\0"s);
}

std::vector<HeaderReader::Event> FeedAll(HeaderReader& reader, const std::string& bytes) {
    std::vector<HeaderReader::Event> events;
    for (char c : bytes) {
        if (auto e = reader.feed(c); e != HeaderReader::Event::None)
            events.push_back(e);
    }
    return events;
}

TEST(HeaderReader, ReadsTheReceiversHexHeaderWithoutStrayBytes) {
    HeaderReader reader;
    const auto events = FeedAll(reader,
                                "**\x18"
                                "B0100000023be50\r\x8a\x11"s);
    ASSERT_EQ(events, std::vector{HeaderReader::Event::Header});
    EXPECT_EQ(reader.header(), FlagsHeader(Frame::RInit, 0x23));
}

TEST(HeaderReader, ReadsBinaryHeadersBackWithEscapes) {
    for (bool crc32 : {true, false}) {
        const Header sent = PositionHeader(Frame::RPos, 0x13181190);
        HeaderReader reader;
        ASSERT_EQ(FeedAll(reader, BinaryHeader(sent, crc32, {})),
                  std::vector{HeaderReader::Event::Header});
        EXPECT_EQ(reader.header(), sent);
    }
}

TEST(HeaderReader, RefusesBadCheckSumsAndDigits) {
    for (const std::string& bad : {"**\x18"
                                   "B0100000023be51\r\x8a"s,
                                   "**\x18"
                                   "B01000z"s}) {
        HeaderReader reader;
        EXPECT_EQ(FeedAll(reader, bad).front(), HeaderReader::Event::BadHeader);
    }
}

TEST(HeaderReader, FiveCanAbortAndTextIsStray) {
    HeaderReader reader;
    const auto events = FeedAll(reader, "Ok\x18\x18\x18\x18\x18"s);
    EXPECT_EQ(events, (std::vector{HeaderReader::Event::Stray, HeaderReader::Event::Stray,
                                   HeaderReader::Event::Cancelled}));
}

}  // namespace
}  // namespace fwxfer
