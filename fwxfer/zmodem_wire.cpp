#include "fwxfer/zmodem_wire.h"

#include <cstdio>

namespace fwxfer {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::uint8_t byte, std::string* out) {
    out->push_back(kHexDigits[byte >> 4]);
    out->push_back(kHexDigits[byte & 0x0F]);
}

std::string HeaderBody(const Header& header) {
    std::string body(1, static_cast<char>(header.type));
    for (std::uint8_t arg : header.args)
        body.push_back(static_cast<char>(arg));
    return body;
}

// The check sum of `body` as the bytes that follow it on the line: CRC-32 low byte first,
// CRC-16 high byte first.
std::string CheckBytes(std::string_view body, bool crc32) {
    std::string bytes;
    if (crc32) {
        const std::uint32_t crc = Crc32(body);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((crc >> shift) & 0xFF));
    } else {
        const std::uint16_t crc = Crc16(body);
        bytes.push_back(static_cast<char>(crc >> 8));
        bytes.push_back(static_cast<char>(crc & 0xFF));
    }
    return bytes;
}

void AppendAllEscaped(std::string_view bytes, const EscapeRules& rules, std::uint8_t* previous,
                      std::string* out) {
    for (char c : bytes)
        AppendEscaped(static_cast<std::uint8_t>(c), rules, previous, out);
}

}  // namespace

std::uint32_t Header::position() const {
    return static_cast<std::uint32_t>(args[0]) | static_cast<std::uint32_t>(args[1]) << 8 |
           static_cast<std::uint32_t>(args[2]) << 16 | static_cast<std::uint32_t>(args[3]) << 24;
}

Header PositionHeader(Frame type, std::uint32_t position) {
    return Header{
        type,
        {static_cast<std::uint8_t>(position), static_cast<std::uint8_t>(position >> 8),
         static_cast<std::uint8_t>(position >> 16), static_cast<std::uint8_t>(position >> 24)}};
}

Header FlagsHeader(Frame type, std::uint8_t f0, std::uint8_t f1) {
    return Header{type, {0, 0, f1, f0}};
}

std::uint16_t Crc16(std::string_view data, std::uint16_t crc) {
    for (char c : data) {
        crc ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

std::uint32_t Crc32(std::string_view data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : data)
        crc = table[(crc ^ static_cast<std::uint8_t>(c)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void AppendEscaped(std::uint8_t byte, const EscapeRules& rules, std::uint8_t* previous,
                   std::string* out) {
    bool escape = false;
    switch (byte) {
        case 0x18:  // ZDLE itself; its high-bit twin is plain data to every receiver
        case 0x10:  // DLE: some modems and networks eat it
        case 0x11:  // XON and XOFF: flow control on the way
        case 0x13:
        case 0x90:
        case 0x91:
        case 0x93:
            escape = true;
            break;
        case 0x0D:  // "@" CR is a command to some packet networks
        case 0x8D:
            escape = rules.allControls || (*previous & 0x7F) == '@';
            break;
        default:
            escape = rules.allControls && (byte & 0x60) == 0;
    }
    if (escape) {
        out->push_back(kZdle);
        byte ^= 0x40;
    }
    out->push_back(static_cast<char>(byte));
    *previous = byte;
}

std::string HexHeader(const Header& header) {
    std::string out{kPad, kPad, kZdle, kHexHeader};
    const std::string body = HeaderBody(header);
    for (char c : body)
        AppendHex(static_cast<std::uint8_t>(c), &out);
    const std::uint16_t crc = Crc16(body);
    AppendHex(static_cast<std::uint8_t>(crc >> 8), &out);
    AppendHex(static_cast<std::uint8_t>(crc & 0xFF), &out);
    out += "\r\x8a";
    if (header.type != Frame::Ack && header.type != Frame::Fin)
        out.push_back(kXon);
    return out;
}

std::string BinaryHeader(const Header& header, bool crc32, const EscapeRules& rules) {
    std::string out{kPad, kZdle, crc32 ? kBin32Header : kBin16Header};
    const std::string body = HeaderBody(header);
    std::uint8_t previous = 0;
    AppendAllEscaped(body, rules, &previous, &out);
    AppendAllEscaped(CheckBytes(body, crc32), rules, &previous, &out);
    return out;
}

std::string DataSubpacket(std::string_view data, SubpacketEnd end, bool crc32,
                          const EscapeRules& rules) {
    std::string out;
    out.reserve(data.size() + data.size() / 16 + 16);
    std::uint8_t previous = 0;
    AppendAllEscaped(data, rules, &previous, &out);
    out.push_back(kZdle);
    out.push_back(static_cast<char>(end));
    std::string checked(data);
    checked.push_back(static_cast<char>(end));
    previous = static_cast<std::uint8_t>(end);
    AppendAllEscaped(CheckBytes(checked, crc32), rules, &previous, &out);
    if (end == SubpacketEnd::WaitForAck)
        out.push_back(kXon);
    return out;
}

std::string FileInfo(std::string_view name, std::uint64_t size, std::uint64_t modifiedSeconds) {
    char attributes[96];
    std::snprintf(attributes, sizeof attributes, "%llu %llo 100644 0 1 %llu",
                  static_cast<unsigned long long>(size),
                  static_cast<unsigned long long>(modifiedSeconds),
                  static_cast<unsigned long long>(size));
    std::string info(name);
    info.push_back('\0');
    info += attributes;
    info.push_back('\0');
    return info;
}

std::string_view AbortSequence() {
    static const std::string sequence = std::string(8, kCan) + std::string(8, '\b');
    return sequence;
}

}  // namespace fwxfer
