// The port object under the framing layer: opened with retries, configured from the connection's
// line settings, read in polled chunks, written whole. Every operation returns a port status
// with the OS error and a detail code beside it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/serial_device.h"
#include "tarvo/base/port_names.h"

namespace tarvo {

// Port statuses (internal; the PCU functions map them to public codes).
enum PortStatus : int {
    kPortOk = 0,
    kPortNoMemory = 9,
    kPortNotOpen = 400,
    kPortReadFailed = 404,  // read failed, timed out, or the line went away
    kPortXonXoffEqual = 407,
    kPortPurgeInputFailed = 408,
    kPortPurgeOutputFailed = 409,
    kPortWriteFailed = 413,
    kPortOpenFailed = 414,  // open or configure failed
    kPortCannotOpen = 425,
};

// Which step failed, kept beside the status.
enum PortDetail : int {
    kDetailNone = 0,
    kDetailOpen = 420,
    kDetailConfigure = 421,
    kDetailRead = 422,
    kDetailWrite = 423,
    kDetailClose = 424,
};

struct PortResult {
    int status = kPortOk;
    int sysError = 0;  // errno, or the line-error mask for a line error
    int detail = kDetailNone;

    bool ok() const { return status == kPortOk; }
};

// One port of one connection.
struct Port {
    bool inX = false;   // receive-side XON/XOFF
    bool outX = false;  // transmit-side XON/XOFF
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char parity = 'E';  // E, O or N
    std::string name;   // COM1 .. LPT3
    int portIndex = 0;
    unsigned baud = 9600;
    int dataBits = 7;
    int stopBits = 1;
    std::optional<platform::SerialDevice> device;  // present while open

    bool isOpen() const { return device.has_value(); }
    bool isParallel() const { return portIndex >= 4; }
};

// The device a port name maps to: profile value Device.<NAME>, else /dev/ttyS0../dev/ttyS3,
// /dev/lp0../dev/lp2. Empty for an index outside 0..6 or a port mapped to "none".
std::string PortDevicePath(int portIndex);

// Opens and configures the port, trying `attempts` times (at least once) with `pauseMs` between
// failures. An open port is left as it is. 414 with detail 420 when it does not open; the
// configure status (detail 421) when it opens but cannot be set up.
PortResult PortOpen(Port& port, int attempts, int pauseMs);

// Reads what arrives into `buffer`: waits up to `firstByteMs` for the first byte (250 ms when
// 0), then keeps collecting while more bytes keep coming within 250 ms of each other, until
// `capacity` is reached. Nothing arriving is success with *count 0. A line that goes away is
// 404 (detail 422, EIO) unless some bytes were read.
PortResult PortRead(Port& port, char* buffer, std::size_t capacity, int firstByteMs,
                    std::size_t* count);

// Tells whether the bytes received so far, as they came off the line, are a whole reply.
using ReplyComplete = std::function<bool(std::string_view received)>;

// Reads a reply as it comes: waits up to `firstByteMs` for its first byte, then collects while
// more bytes come within `gapMs` of each other, and stops at once when `complete` (may be
// empty) says the reply is whole or `capacity` is reached. Results as PortRead's.
PortResult PortReadReply(Port& port, char* buffer, std::size_t capacity, int firstByteMs, int gapMs,
                         const ReplyComplete& complete, std::size_t* count);

// Waits up to `timeoutMs` for one byte. 404 when none came (sysError ETIMEDOUT) or the line
// went away (EIO).
PortResult PortReadByte(Port& port, int timeoutMs, char* byte);

// Writes all bytes, bounded by the port's write time-out. 400 when closed, 413 (detail 423)
// when the write fails or comes up short.
PortResult PortWrite(Port& port, const char* bytes, std::size_t length);

// Discards unread input. 400 when closed, 408 on failure.
PortResult PortPurgeInput(Port& port);

// Closes the port. 400 when already closed; a failing close still leaves it closed (detail 424).
PortResult PortClose(Port& port);

}  // namespace tarvo
