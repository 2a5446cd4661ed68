#include "fwxfer/header_reader.h"

#include <string_view>

namespace fwxfer {
namespace {

constexpr int kHexDigitsInHeader = 14;  // type, four args, CRC-16, two digits each
constexpr int kCanToAbort = 5;

int HexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsFlowControl(std::uint8_t byte) {
    return (byte & 0x7F) == 0x11 || (byte & 0x7F) == 0x13;
}

bool EndsHexHeader(std::uint8_t byte) {
    return (byte & 0x7F) == '\r' || (byte & 0x7F) == '\n';
}

Header HeaderOf(const std::uint8_t* bytes) {
    return Header{static_cast<Frame>(bytes[0]), {bytes[1], bytes[2], bytes[3], bytes[4]}};
}

std::string_view Body(const std::uint8_t* bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes), 5);
}

}  // namespace

void HeaderReader::reset() {
    state_ = State::Idle;
    canRun_ = 0;
    afterHex_ = false;
    count_ = 0;
}

HeaderReader::Event HeaderReader::feed(char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    canRun_ = byte == static_cast<std::uint8_t>(kCan) ? canRun_ + 1 : 0;
    if (canRun_ >= kCanToAbort) {
        reset();
        return Event::Cancelled;
    }
    if (IsFlowControl(byte))
        return Event::None;
    switch (state_) {
        case State::Idle:
            return idle(byte);
        case State::Pad:
            if (byte == kPad)
                return Event::None;
            state_ = byte == static_cast<std::uint8_t>(kZdle) ? State::Zdle : State::Idle;
            return Event::None;
        case State::Zdle:
            count_ = 0;
            crc32_ = byte == kBin32Header;
            if (byte == kHexHeader) {
                state_ = State::Hex;
            } else if (byte == kBin16Header || byte == kBin32Header) {
                state_ = State::Binary;
            } else {
                state_ = State::Idle;
            }
            return Event::None;
        case State::Hex:
            return hexDigit(byte);
        case State::Binary:
        case State::BinaryEscape:
            return binaryByte(byte);
    }
    return Event::None;
}

HeaderReader::Event HeaderReader::idle(std::uint8_t byte) {
    if (byte == kPad) {
        state_ = State::Pad;
        afterHex_ = false;
        return Event::None;
    }
    if (afterHex_ && EndsHexHeader(byte))
        return Event::None;
    afterHex_ = false;
    if (byte == static_cast<std::uint8_t>(kCan))
        return Event::None;
    stray_ = static_cast<char>(byte);
    return Event::Stray;
}

HeaderReader::Event HeaderReader::hexDigit(std::uint8_t byte) {
    const int value = HexValue(byte);
    if (value < 0) {
        state_ = State::Idle;
        return Event::BadHeader;
    }
    if (count_ % 2 == 0)
        bytes_[count_ / 2] = static_cast<std::uint8_t>(value << 4);
    else
        bytes_[count_ / 2] |= static_cast<std::uint8_t>(value);
    if (++count_ < kHexDigitsInHeader)
        return Event::None;
    state_ = State::Idle;
    afterHex_ = true;
    const auto crc = static_cast<std::uint16_t>(bytes_[5] << 8 | bytes_[6]);
    if (Crc16(Body(bytes_)) != crc)
        return Event::BadHeader;
    header_ = HeaderOf(bytes_);
    return Event::Header;
}

HeaderReader::Event HeaderReader::binaryByte(std::uint8_t byte) {
    if (state_ == State::Binary && byte == static_cast<std::uint8_t>(kZdle)) {
        state_ = State::BinaryEscape;
        return Event::None;
    }
    if (state_ == State::BinaryEscape) {
        state_ = State::Binary;
        if (byte == 'l')
            byte = 0x7F;
        else if (byte == 'm')
            byte = 0xFF;
        else
            byte ^= 0x40;
    }
    bytes_[count_++] = byte;
    return count_ == (crc32_ ? 9 : 7) ? finishBinary() : Event::None;
}

HeaderReader::Event HeaderReader::finishBinary() {
    state_ = State::Idle;
    bool good = false;
    if (crc32_) {
        const std::uint32_t crc = static_cast<std::uint32_t>(bytes_[5]) |
                                  static_cast<std::uint32_t>(bytes_[6]) << 8 |
                                  static_cast<std::uint32_t>(bytes_[7]) << 16 |
                                  static_cast<std::uint32_t>(bytes_[8]) << 24;
        good = Crc32(Body(bytes_)) == crc;
    } else {
        good = Crc16(Body(bytes_)) == static_cast<std::uint16_t>(bytes_[5] << 8 | bytes_[6]);
    }
    if (!good)
        return Event::BadHeader;
    header_ = HeaderOf(bytes_);
    return Event::Header;
}

}  // namespace fwxfer
