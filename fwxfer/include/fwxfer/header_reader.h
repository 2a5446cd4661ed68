// Reads the headers a Zmodem receiver sends, one byte at a time: hex headers (the receiver's
// usual form) and binary headers with CRC-16 or CRC-32. Also notices the receiver's abort (five
// CAN in a row) and hands back bytes that belong to no header, so that a host can show what the
// printer printed. Flow-control bytes are dropped.
#pragma once

#include <cstdint>

#include "fwxfer/zmodem_wire.h"

namespace fwxfer {

class HeaderReader {
  public:
    enum class Event {
        None,       // the byte was taken; nothing complete yet
        Header,     // a header arrived with a good check sum: see header()
        BadHeader,  // a header arrived whose check sum or hex digits were wrong
        Cancelled,  // the receiver aborted the session
        Stray,      // a byte outside any header: see stray()
    };

    // Takes the next byte from the line.
    Event feed(char byte);

    // The header of the last Header event.
    const Header& header() const { return header_; }
    // The byte of the last Stray event.
    char stray() const { return stray_; }

    // Forgets a half-read header and the run of CAN.
    void reset();

  private:
    enum class State { Idle, Pad, Zdle, Hex, Binary, BinaryEscape };

    Event idle(std::uint8_t byte);
    Event hexDigit(std::uint8_t byte);
    Event binaryByte(std::uint8_t byte);
    Event finishBinary();

    State state_ = State::Idle;
    int canRun_ = 0;
    bool afterHex_ = false;  // the CR, LF and XON that end a hex header are no stray bytes
    bool crc32_ = false;
    std::uint8_t bytes_[9] = {};  // type, four args, up to four check sum bytes
    int count_ = 0;               // bytes (binary) or hex digits (hex) gathered
    Header header_;
    char stray_ = 0;
};

}  // namespace fwxfer
