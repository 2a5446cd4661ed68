// The serial link to a printer's boot ROM and boot loader: a port of its own (not the port
// layer's), raw 8N1 without flow control, at one of the speed codes. The protocol code above it
// sees only the BootLink interface, so tests can put a scripted peer in its place. Every wait
// goes through the platform clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace tarvo::firmware {

using platform::Millis;

// Speed codes: 115200 divided by the baud rate.
inline constexpr int kSpeed57600 = 2;
inline constexpr int kSpeed38400 = 3;

// The baud rate of a speed code (1, 2, 3, 6, 12, 24, 48, 96, 384); 0 for any other code.
unsigned BaudOfSpeedCode(int code);

class BootLink {
  public:
    virtual ~BootLink() = default;
    // Discards unread input (the look-ahead too) and unsent output.
    virtual void purge() = 0;
    // Writes `bytes`, waiting while the line holds them back. False when `stall` passes without
    // a byte going out, or the line is gone.
    virtual bool write(std::string_view bytes, Millis stall) = 0;
    // The next byte, waiting up to `timeout`; nullopt when none came (or the line is gone, which
    // returns at once: callers take nullopt as the end of their wait).
    virtual std::optional<std::uint8_t> readByte(Millis timeout) = 0;
    // Waits until everything written has left, at most `timeout`. False when it has not.
    virtual bool drain(Millis timeout) = 0;
    // Moves the link to a speed code. False when the code is unknown or the port refuses it.
    virtual bool setSpeed(int code) = 0;
};

// The link over a serial device.
class SerialBootLink final : public BootLink {
  public:
    SerialBootLink() = default;
    ~SerialBootLink() override;
    SerialBootLink(const SerialBootLink&) = delete;
    SerialBootLink& operator=(const SerialBootLink&) = delete;

    // Opens logical port COM`portNumber` (numbers outside 1..4 count as 1) through the profile's
    // device mapping, exclusively, raw 8N1 without flow control at `speedCode`, and purges it.
    // Returns 0 or errno; the link stays closed on failure.
    int open(int portNumber, int speedCode);
    // Opens a device path directly (tests, tools). Returns 0 or errno.
    int openPath(const std::string& path, const std::string& label, int speedCode);
    bool isOpen() const { return device_.has_value(); }
    void close();

    void purge() override;
    bool write(std::string_view bytes, Millis stall) override;
    std::optional<std::uint8_t> readByte(Millis timeout) override;
    bool drain(Millis timeout) override;
    bool setSpeed(int code) override;

  private:
    std::optional<platform::SerialDevice> device_;
    bool exclusive_ = false;
    std::string ahead_;  // bytes read but not yet taken
    std::size_t aheadPos_ = 0;
};

}  // namespace tarvo::firmware
