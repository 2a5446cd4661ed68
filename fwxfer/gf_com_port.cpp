#include "fwxfer/gf_com_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "tarvo/base/termios_line.h"

namespace fwxfer {
namespace {

using tarvo::platform::FlowControl;
using tarvo::platform::LineFormat;

// Zmodem transfers run at the standard rates from 9600 to 230400 only.
speed_t Speed(unsigned baud) {
    return baud >= 9600 && baud <= 230400 ? tarvo::platform::TermiosSpeed(baud) : B0;
}

bool ValidFormat(const LineFormat& format) {
    return Speed(format.baud) != B0 && (format.dataBits == 7 || format.dataBits == 8) &&
           (format.stopBits == 1 || format.stopBits == 2) && format.parity != 0 &&
           std::string_view("EONMS").find(format.parity) != std::string_view::npos;
}

// Raw mode with the format; without software flow control, which Zmodem's escaping makes
// unnecessary and which would eat the protocol's own XON after a header.
termios Attributes(termios t, const LineFormat& format, bool pty) {
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | (pty || format.dataBits != 7 ? CS8 : CS7);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    if (!pty)
        t.c_cflag |= tarvo::platform::TermiosParityFlags(format.parity);
    if (format.stopBits == 2)
        t.c_cflag |= CSTOPB;
    if (format.flow == FlowControl::RtsCts)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, Speed(format.baud));
    ::cfsetospeed(&t, Speed(format.baud));
    return t;
}

bool Waits(int fd, short events, Millis timeout) {
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, static_cast<int>(timeout.count()));
    } while (rc < 0 && errno == EINTR);
    return rc > 0;
}

}  // namespace

std::unique_ptr<GFComPort> GFComPort::Open(const std::string& path, int* error) {
    tarvo::platform::UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    *error = fd ? 0 : errno;
    return fd ? std::unique_ptr<GFComPort>(new GFComPort(std::move(fd))) : nullptr;
}

std::unique_ptr<GFComPort> GFComPort::Adopt(int fd) {
    if (fd < 0)
        return nullptr;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<GFComPort>(new GFComPort(tarvo::platform::UniqueFd(fd)));
}

GFComPort::GFComPort(tarvo::platform::UniqueFd fd)
    : fd_(std::move(fd)), ptyNumber_(tarvo::platform::PtyNumberOf(fd_.get())) {}

GFComPort::~GFComPort() {
    if (notePublished_)
        tarvo::platform::RemoveLineNote(ptyNumber_);
}

int GFComPort::configure(const LineFormat& format) {
    if (!ValidFormat(format))
        return EINVAL;
    format_ = format;
    termios current{};
    if (::tcgetattr(fd_.get(), &current) != 0)
        return errno == ENOTTY ? 0 : errno;  // a socket or pipe: nothing to set
    const bool pty = ptyNumber_ >= 0;
    const termios want = Attributes(current, format, pty);
    if (::tcsetattr(fd_.get(), TCSANOW, &want) != 0)
        return errno;
    if (pty) {
        if (!tarvo::platform::WriteLineNote(ptyNumber_, format))
            return errno != 0 ? errno : EIO;
        notePublished_ = true;
        return 0;
    }
    termios got{};
    if (::tcgetattr(fd_.get(), &got) != 0)
        return errno;
    const tcflag_t mask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    const bool same =
        (want.c_cflag & mask) == (got.c_cflag & mask) && ::cfgetospeed(&got) == Speed(format.baud);
    return same ? 0 : EINVAL;
}

std::optional<bool> GFComPort::dsr() const {
    int lines = 0;
    if (::ioctl(fd_.get(), TIOCMGET, &lines) != 0)
        return std::nullopt;
    return (lines & TIOCM_DSR) != 0;
}

TimePoint GFComPort::now() {
    return std::chrono::steady_clock::now();
}

GFIo GFComPort::read(char* buffer, std::size_t size, Millis timeout, std::size_t* got) {
    *got = 0;
    if (!Waits(fd_.get(), POLLIN, timeout))
        return GFIo::Timeout;
    for (;;) {
        const ssize_t n = ::read(fd_.get(), buffer, size);
        if (n > 0) {
            *got = static_cast<std::size_t>(n);
            return GFIo::Ok;
        }
        if (n == 0 || errno == EIO)
            return GFIo::Closed;
        if (errno == EINTR)
            continue;
        // Readable but nothing to read: a hang-up reports itself through poll as readable.
        return errno == EAGAIN ? GFIo::Timeout : GFIo::Error;
    }
}

GFIo GFComPort::write(const char* data, std::size_t size, Millis timeout, std::size_t* written) {
    *written = 0;
    for (;;) {
        const ssize_t n = ::write(fd_.get(), data, size);
        if (n >= 0) {
            *written = static_cast<std::size_t>(n);
            return n > 0 || size == 0 ? GFIo::Ok : GFIo::Timeout;
        }
        if (errno == EINTR)
            continue;
        if (errno == EIO || errno == EPIPE || errno == ECONNRESET)
            return GFIo::Closed;
        if (errno != EAGAIN)
            return GFIo::Error;
        if (!Waits(fd_.get(), POLLOUT, timeout))
            return GFIo::Timeout;
        timeout = Millis{0};
    }
}

void GFComPort::purgeInput() {
    ::tcflush(fd_.get(), TCIFLUSH);
}

void GFComPort::purgeOutput() {
    // A pseudo-terminal's output already waits in the far side's input; throwing it away
    // would lose bytes that were reported written.
    if (ptyNumber_ < 0)
        ::tcflush(fd_.get(), TCOFLUSH);
}

int GFDataFormat::apply(LineFormat format) {
    return port_.configure(format);
}

int GFDataFormat::BaudRate(unsigned baud) {
    LineFormat format = port_.format();
    format.baud = baud;
    return apply(format);
}

int GFDataFormat::DataLength(int bits) {
    LineFormat format = port_.format();
    format.dataBits = bits;
    return apply(format);
}

int GFDataFormat::StopBits(int bits) {
    LineFormat format = port_.format();
    format.stopBits = bits;
    return apply(format);
}

int GFDataFormat::Parity(char letter) {
    LineFormat format = port_.format();
    format.parity = letter;
    return apply(format);
}

int GFLineStatus::Dsr() const {
    const std::optional<bool> dsr = port_.dsr();
    return dsr ? (*dsr ? 1 : 0) : -1;
}

int GFLineStatus::SetHandShake(bool rtsCts) {
    tarvo::platform::LineFormat format = port_.format();
    format.flow = rtsCts ? FlowControl::RtsCts : FlowControl::None;
    return port_.configure(format);
}

}  // namespace fwxfer
