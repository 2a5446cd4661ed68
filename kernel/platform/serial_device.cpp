#include "platform/serial_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/trace.h"
#include "tarvo/base/termios_line.h"

namespace tarvo::platform {
namespace {

// Builds raw-mode attributes for `s`. A pseudo-terminal refuses 7 data bits and parity, so it
// gets 8 bits and none; the requested format travels in the line-format note instead.
termios BuildAttributes(termios t, const SerialSettings& s, bool pty) {
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    if (pty) {
        t.c_cflag |= CS8;
    } else {
        t.c_cflag |= (s.line.dataBits == 7 ? CS7 : CS8) | TermiosParityFlags(s.line.parity);
        if (s.line.parity != 'N')
            t.c_iflag |= INPCK;
    }
    if (s.line.stopBits == 2)
        t.c_cflag |= CSTOPB;
    if (s.line.flow == FlowControl::XonXoff) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = s.xonChar;
        t.c_cc[VSTOP] = s.xoffChar;
    } else if (s.line.flow == FlowControl::RtsCts) {
        t.c_cflag |= CRTSCTS;
    }
    // With VMIN 0 a terminal read returns 0 when nothing is queued, which would look like end
    // of file; with VMIN 1 and a non-blocking descriptor an empty queue is EAGAIN instead.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    const speed_t speed = TermiosSpeed(s.line.baud);
    ::cfsetispeed(&t, speed != B0 ? speed : B9600);
    ::cfsetospeed(&t, speed != B0 ? speed : B9600);
    return t;
}

// tcsetattr reports success when any one change took, so a real device is read back.
bool SameLine(const termios& want, const termios& got) {
    const tcflag_t mask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    return (want.c_cflag & mask) == (got.c_cflag & mask) &&
           (want.c_iflag & (IXON | IXOFF)) == (got.c_iflag & (IXON | IXOFF)) &&
           ::cfgetospeed(&want) == ::cfgetospeed(&got);
}

bool HungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, 0);
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

std::optional<SerialDevice> SerialDevice::Open(const std::string& path, const std::string& label,
                                               int* error) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        *error = errno;
        return std::nullopt;
    }
    *error = 0;
    return SerialDevice(std::move(fd), label);
}

SerialDevice::SerialDevice(UniqueFd fd, std::string label)
    : fd_(std::move(fd)), label_(std::move(label)), ptyNumber_(PtyNumberOf(fd_.get())) {}

SerialDevice::SerialDevice(SerialDevice&& other) noexcept
    : fd_(std::move(other.fd_)),
      label_(std::move(other.label_)),
      ptyNumber_(other.ptyNumber_),
      notePublished_(std::exchange(other.notePublished_, false)),
      lastCounts_(other.lastCounts_) {}

SerialDevice& SerialDevice::operator=(SerialDevice&& other) noexcept {
    if (this != &other) {
        removeNote();
        fd_ = std::move(other.fd_);
        label_ = std::move(other.label_);
        ptyNumber_ = other.ptyNumber_;
        notePublished_ = std::exchange(other.notePublished_, false);
        lastCounts_ = other.lastCounts_;
    }
    return *this;
}

SerialDevice::~SerialDevice() {
    removeNote();
}

void SerialDevice::removeNote() {
    if (notePublished_) {
        RemoveLineNote(ptyNumber_);
        notePublished_ = false;
    }
}

bool SerialDevice::isSerial() const {
    termios t{};
    return fd_ && ::tcgetattr(fd_.get(), &t) == 0;
}

int SerialDevice::configure(const SerialSettings& settings) {
    termios current{};
    if (::tcgetattr(fd_.get(), &current) != 0)
        return errno;
    const termios want = BuildAttributes(current, settings, isPty());
    if (::tcsetattr(fd_.get(), TCSANOW, &want) != 0)
        return errno;
    if (TermiosSpeed(settings.line.baud) == B0) {
        if (const int rc = SetCustomBaud(fd_.get(), settings.line.baud); rc != 0)
            return rc;
    }
    if (isPty()) {
        if (!WriteLineNote(ptyNumber_, settings.line))
            return errno != 0 ? errno : EIO;
        notePublished_ = true;
        std::string note = FormatLineNote(settings.line);
        note.pop_back();  // the trace adds its own line end
        TraceNote(label_, note);
        return 0;
    }
    termios got{};
    if (::tcgetattr(fd_.get(), &got) != 0)
        return errno;
    if (TermiosSpeed(settings.line.baud) == B0) {
        unsigned baud = 0;
        if (GetCustomBaud(fd_.get(), &baud) != 0 || baud != settings.line.baud)
            return EINVAL;
        ::cfsetospeed(&got, ::cfgetospeed(&want));
    }
    return SameLine(want, got) ? 0 : EINVAL;
}

int SerialDevice::queuedInput(std::size_t* count) {
    *count = 0;
    // Asking poll() first matters: bytes the driver has taken in but not yet handed to the line
    // discipline are handed over by poll(), while the count alone would miss them and a reply
    // could look shorter than it came.
    const bool hungUp = HungUp(fd_.get());
    int n = 0;
    if (::ioctl(fd_.get(), FIONREAD, &n) != 0)
        return errno;
    *count = static_cast<std::size_t>(n);
    if (n == 0 && hungUp)
        return EIO;
    return 0;
}

unsigned SerialDevice::takeLineErrors() {
    serial_icounter_struct icount{};
    if (::ioctl(fd_.get(), TIOCGICOUNT, &icount) != 0)
        return 0;
    const Counts now{icount.frame, icount.parity, icount.overrun + icount.buf_overrun, icount.brk};
    unsigned mask = 0;
    if (lastCounts_) {
        if (now.frame != lastCounts_->frame)
            mask |= 1;
        if (now.parity != lastCounts_->parity)
            mask |= 2;
        if (now.overrun != lastCounts_->overrun)
            mask |= 4;
        if (now.brk != lastCounts_->brk)
            mask |= 8;
    }
    lastCounts_ = now;
    return mask;
}

int SerialDevice::readAvailable(char* buffer, std::size_t size, std::size_t* got) {
    *got = 0;
    if (size == 0)
        return 0;
    for (;;) {
        const ssize_t n = ::read(fd_.get(), buffer, size);
        if (n > 0) {
            *got = static_cast<std::size_t>(n);
            TraceBytes(label_, TraceDirection::Received, std::string_view(buffer, *got));
            return 0;
        }
        if (n == 0)
            return EIO;  // the far side closed the line
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return HungUp(fd_.get()) ? EIO : 0;
        return errno;
    }
}

bool SerialDevice::waitReadable(Millis timeout) {
    return CurrentClock().waitReadable(fd_.get(), timeout);
}

int SerialDevice::writeAll(const char* data, std::size_t size, Millis timeout,
                           std::size_t* written) {
    *written = 0;
    Clock& clock = CurrentClock();
    const TimePoint deadline = clock.now() + timeout;
    while (*written < size) {
        const ssize_t n = ::write(fd_.get(), data + *written, size - *written);
        if (n > 0) {
            TraceBytes(label_, TraceDirection::Sent,
                       std::string_view(data + *written, static_cast<std::size_t>(n)));
            *written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return errno;
        const auto left = std::chrono::duration_cast<Millis>(deadline - clock.now());
        if (left <= Millis{0} || !clock.waitWritable(fd_.get(), left))
            return ETIMEDOUT;
        if (HungUp(fd_.get()))
            return EIO;
    }
    return 0;
}

int SerialDevice::purgeInput() {
    return ::tcflush(fd_.get(), TCIFLUSH) == 0 ? 0 : errno;
}

int SerialDevice::purgeOutput() {
    // Closing a serial device waits until its output has gone out, so a purge finds nothing of
    // an earlier connection's. A pseudo-terminal's output waits in the far side's input instead,
    // where a purge would throw away bytes that were reported written: a line would have
    // carried them by now.
    if (isPty())
        return 0;
    return ::tcflush(fd_.get(), TCOFLUSH) == 0 ? 0 : errno;
}

int SerialDevice::close() {
    removeNote();
    return fd_.close() ? 0 : errno;
}

}  // namespace tarvo::platform
