// The serial port of a transfer over termios, its data format and its modem lines. On a
// pseudo-terminal, which holds neither parity nor 7 data bits, the port applies 8 bits without
// parity and publishes the requested format in the line-format note, as the kernel's port does,
// so a simulated printer still hears whether the format is right.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "fwxfer/gf_link.h"
#include "tarvo/base/line_format.h"
#include "tarvo/base/unique_fd.h"

namespace fwxfer {

class GFComPort final : public GFLink {
  public:
    // Opens `path` read-write, non-blocking, without becoming its controlling terminal.
    // Returns the port, or null with *error set to the errno. `error` must not be null.
    static std::unique_ptr<GFComPort> Open(const std::string& path, int* error);
    // Takes over an open descriptor (a socket pair's end in the tests); it is made
    // non-blocking. Returns null for a negative descriptor.
    static std::unique_ptr<GFComPort> Adopt(int fd);

    ~GFComPort() override;

    // Sets the line (raw mode). A descriptor that is no terminal takes any format.
    // Returns 0 or errno (EINVAL when a real device did not take the format).
    int configure(const tarvo::platform::LineFormat& format);
    const tarvo::platform::LineFormat& format() const { return format_; }

    // DSR: true or false, or nullopt where the device cannot tell (a pseudo-terminal).
    std::optional<bool> dsr() const;

    TimePoint now() override;
    GFIo read(char* buffer, std::size_t size, Millis timeout, std::size_t* got) override;
    GFIo write(const char* data, std::size_t size, Millis timeout, std::size_t* written) override;
    void purgeInput() override;
    void purgeOutput() override;

  private:
    explicit GFComPort(tarvo::platform::UniqueFd fd);

    tarvo::platform::UniqueFd fd_;
    int ptyNumber_ = -1;
    bool notePublished_ = false;
    tarvo::platform::LineFormat format_;
};

// The data format of a port: each setter changes one field and applies the whole format.
// Each returns 0 or errno.
class GFDataFormat {
  public:
    explicit GFDataFormat(GFComPort& port) : port_(port) {}
    int BaudRate(unsigned baud);
    int DataLength(int bits);  // 7 or 8
    int StopBits(int bits);    // 1 or 2
    int Parity(char letter);   // E, O, N, M or S
    // Every field at once.
    int Set(const tarvo::platform::LineFormat& format) { return port_.configure(format); }

  private:
    int apply(tarvo::platform::LineFormat format);
    GFComPort& port_;
};

// The modem lines of a port.
class GFLineStatus {
  public:
    explicit GFLineStatus(GFComPort& port) : port_(port) {}
    // 1 when DSR is on, 0 when off, -1 when the device cannot tell.
    int Dsr() const;
    // RTS/CTS handshake on or off. Returns 0 or errno.
    int SetHandShake(bool rtsCts);

  private:
    GFComPort& port_;
};

}  // namespace fwxfer
