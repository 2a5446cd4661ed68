// A serial (or parallel) device node opened for the printer: termios set-up, bounded reads and
// writes, purges and line-error counts. Errors are errno values; callers map them to their own
// statuses. Every byte moved is traced under the device's port label.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "tarvo/base/line_format.h"
#include "tarvo/base/unique_fd.h"

namespace tarvo::platform {

struct SerialSettings {
    LineFormat line;
    unsigned char xonChar = 0x11;
    unsigned char xoffChar = 0x13;
};

class SerialDevice {
  public:
    // Opens `path` read-write, without becoming its controlling terminal, non-blocking and
    // close-on-exec. Returns the device, or nullopt with *error set to the errno.
    static std::optional<SerialDevice> Open(const std::string& path, const std::string& label,
                                            int* error);

    SerialDevice(SerialDevice&&) noexcept;
    SerialDevice& operator=(SerialDevice&&) noexcept;
    ~SerialDevice();

    // True when the device answers termios requests (a serial port or pseudo-terminal).
    bool isSerial() const;
    bool isPty() const { return ptyNumber_ >= 0; }
    int fd() const { return fd_.get(); }
    const std::string& label() const { return label_; }

    // Applies the settings in raw mode. On a pseudo-terminal only what it can hold is applied
    // (8 data bits, no parity) and the requested format is published in the line-format note;
    // on a real device the settings are read back and a difference is EINVAL. Returns 0 or
    // errno.
    int configure(const SerialSettings& settings);

    // Bytes waiting to be read. Returns 0 or errno; EIO when the line has gone away.
    int queuedInput(std::size_t* count);

    // Line errors (framing, parity, overrun, break) seen since the last call, as a bit mask
    // (1 frame, 2 parity, 4 overrun, 8 break); 0 where the driver cannot tell.
    unsigned takeLineErrors();

    // Reads at most `size` bytes without waiting. Returns 0 or errno; *got may be 0 when
    // nothing was queued. End of file or a hang-up is EIO.
    int readAvailable(char* buffer, std::size_t size, std::size_t* got);

    // Waits up to `timeout` for input. True when input (or a hang-up) is there.
    bool waitReadable(Millis timeout);

    // Writes all `size` bytes within `timeout` (output held by XOFF or CTS does not block
    // forever). Returns 0, or errno (ETIMEDOUT when the time ran out); *written tells how many
    // bytes left.
    int writeAll(const char* data, std::size_t size, Millis timeout, std::size_t* written);

    // Discards unread input / unsent output (on a pseudo-terminal output is kept: see the
    // definition). Return 0 or errno.
    int purgeInput();
    int purgeOutput();

    // Closes the device. Returns 0 or errno.
    int close();

  private:
    SerialDevice(UniqueFd fd, std::string label);
    void removeNote();

    UniqueFd fd_;
    std::string label_;
    int ptyNumber_ = -1;
    bool notePublished_ = false;
    struct Counts {
        int frame = 0, parity = 0, overrun = 0, brk = 0;
    };
    std::optional<Counts> lastCounts_;
};

// Sets an arbitrary input and output speed on `fd` (termios2 with BOTHER), for rates the termios
// constants lack. Returns 0 or errno.
int SetCustomBaud(int fd, unsigned baud);

// Reads the speed set with SetCustomBaud. Returns 0 or errno.
int GetCustomBaud(int fd, unsigned* baud);

}  // namespace tarvo::platform
