// The bytes of the Zmodem protocol as a sender puts them on the line: frame types, the ZDLE
// escape, the two check sums, headers in their hex and binary forms, and data subpackets.
// Pure functions over byte strings; nothing here touches a port.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fwxfer {

// Frame types.
enum class Frame : std::uint8_t {
    RQInit = 0,  // sender asks the receiver to introduce itself
    RInit = 1,   // receiver ready: flags in F0, buffer size in P0/P1
    SInit = 2,
    Ack = 3,
    File = 4,  // file name and attributes follow as a subpacket
    Skip = 5,  // receiver does not want the file
    Nak = 6,
    Abort = 7,
    Fin = 8,   // session over
    RPos = 9,  // receiver wants data from this offset
    Data = 10,
    Eof = 11,  // sender: the file ends at this offset
    FErr = 12,
    Crc = 13,
    Challenge = 14,
    Compl = 15,
    Can = 16,
    FreeCnt = 17,
    Command = 18,
};

inline constexpr char kPad = '*';
inline constexpr char kZdle = 0x18;  // also CAN
inline constexpr char kCan = 0x18;
inline constexpr char kXon = 0x11;
inline constexpr char kXoff = 0x13;
inline constexpr char kHexHeader = 'B';
inline constexpr char kBin16Header = 'A';
inline constexpr char kBin32Header = 'C';

// How a data subpacket ends, which tells the receiver what comes next.
enum class SubpacketEnd : char {
    EndFrame = 'h',    // ZCRCE: a header follows, no answer expected
    Go = 'i',          // ZCRCG: more data follows, no answer expected
    AckAndGo = 'j',    // ZCRCQ: more data follows, answer with ZACK
    WaitForAck = 'k',  // ZCRCW: answer with ZACK (or ZRPOS) before anything follows
};

// Receiver capability flags (F0 of ZRINIT).
inline constexpr std::uint8_t kCanFullDuplex = 0x01;
inline constexpr std::uint8_t kCanOverlapIo = 0x02;
inline constexpr std::uint8_t kCanCrc32 = 0x20;
inline constexpr std::uint8_t kEscapeControls = 0x40;
inline constexpr std::uint8_t kEscape8th = 0x80;

// ZFILE F0: transfer the file as binary, unchanged.
inline constexpr std::uint8_t kConvertBinary = 1;

// The four argument bytes of a header in wire order (P0..P3; F0 is P3, F1 is P2).
using HeaderArgs = std::array<std::uint8_t, 4>;

struct Header {
    Frame type = Frame::RQInit;
    HeaderArgs args{};

    bool operator==(const Header&) const = default;
    // P0..P3 as a little-endian number: the file offset of ZRPOS, ZDATA, ZEOF.
    std::uint32_t position() const;
    std::uint8_t flags() const { return args[3]; }  // F0
};

// A header carrying `position` in P0..P3.
Header PositionHeader(Frame type, std::uint32_t position);
// A header carrying `f0` (and `f1`) as flags.
Header FlagsHeader(Frame type, std::uint8_t f0, std::uint8_t f1 = 0);

// CRC-16/XMODEM (polynomial 0x1021, start 0) over `data`, continuing from `crc`.
std::uint16_t Crc16(std::string_view data, std::uint16_t crc = 0);
// CRC-32 as in Ethernet: reflected polynomial 0xEDB88320, start and final complement.
std::uint32_t Crc32(std::string_view data);

// Escaping rules the receiver asked for.
struct EscapeRules {
    bool allControls = false;  // ESCCTL: escape every byte below 0x20 (and 0x80..0x9F)
};

// Appends `byte` to *out, escaped when the rules (or the protocol's own set: ZDLE; DLE, XON
// and XOFF with or without the high bit; CR after '@') require it. `previous` is the byte
// last written to the line, for the CR rule.
void AppendEscaped(std::uint8_t byte, const EscapeRules& rules, std::uint8_t* previous,
                   std::string* out);

// A hex header: "**" ZDLE 'B', type and args as hex digits, CRC-16 as hex, CR LF|0x80, and an
// XON unless the frame is ZACK or ZFIN.
std::string HexHeader(const Header& header);
// A binary header with CRC-32 ('C') or CRC-16 ('A'): "*" ZDLE, letter, escaped body.
std::string BinaryHeader(const Header& header, bool crc32, const EscapeRules& rules);
// An escaped data subpacket: the data, ZDLE and the end letter, the check sum (CRC-32 or
// CRC-16 over data and end letter), and an XON after a ZCRCW end.
std::string DataSubpacket(std::string_view data, SubpacketEnd end, bool crc32,
                          const EscapeRules& rules);
// The ZFILE subpacket's content: name, NUL, "size mtime mode 0 files-left bytes-left", NUL.
std::string FileInfo(std::string_view name, std::uint64_t size, std::uint64_t modifiedSeconds);

// What a sender puts on the line to abort: eight CAN then eight backspaces (which erase the
// CANs on a receiver that had already ended and echoes).
std::string_view AbortSequence();

}  // namespace fwxfer
