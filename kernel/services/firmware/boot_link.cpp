#include "services/firmware/boot_link.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/trace.h"
#include "port/port.h"

namespace tarvo::firmware {
namespace {

constexpr unsigned kFastestBaud = 115200;
constexpr std::size_t kReadChunk = 4096;
constexpr Millis kDrainPoll{5};

platform::SerialSettings RawLine(unsigned baud) {
    platform::SerialSettings s;
    s.line.baud = baud;
    s.line.dataBits = 8;
    s.line.parity = 'N';
    s.line.stopBits = 1;
    s.line.flow = platform::FlowControl::None;
    return s;
}

}  // namespace

unsigned BaudOfSpeedCode(int code) {
    switch (code) {
        case 1:
        case 2:
        case 3:
        case 6:
        case 12:
        case 24:
        case 48:
        case 96:
        case 384:
            return kFastestBaud / static_cast<unsigned>(code);
        default:
            return 0;
    }
}

SerialBootLink::~SerialBootLink() {
    close();
}

int SerialBootLink::open(int portNumber, int speedCode) {
    if (portNumber < 1 || portNumber > 4)
        portNumber = 1;
    const int index = portNumber - 1;
    const std::string path = PortDevicePath(index);
    if (path.empty())
        return ENODEV;
    return openPath(path, PortName(index), speedCode);
}

int SerialBootLink::openPath(const std::string& path, const std::string& label, int speedCode) {
    close();
    const unsigned baud = BaudOfSpeedCode(speedCode);
    if (baud == 0)
        return EINVAL;
    int error = 0;
    auto device = platform::SerialDevice::Open(path, label, &error);
    if (!device)
        return error;
    // Nobody else may open the line while the flash is being rewritten.
    if (::ioctl(device->fd(), TIOCEXCL) != 0)
        return errno;
    exclusive_ = true;
    device_ = std::move(device);
    if (const int rc = device_->configure(RawLine(baud)); rc != 0) {
        close();
        return rc;
    }
    purge();
    return 0;
}

void SerialBootLink::close() {
    if (!device_)
        return;
    if (exclusive_)
        ::ioctl(device_->fd(), TIOCNXCL);
    exclusive_ = false;
    device_->close();
    device_.reset();
    ahead_.clear();
    aheadPos_ = 0;
}

void SerialBootLink::purge() {
    ahead_.clear();
    aheadPos_ = 0;
    if (!device_)
        return;
    device_->purgeInput();
    device_->purgeOutput();
}

bool SerialBootLink::write(std::string_view bytes, Millis stall) {
    if (!device_)
        return false;
    platform::Clock& clock = platform::CurrentClock();
    std::size_t done = 0;
    platform::TimePoint lastProgress = clock.now();
    while (done < bytes.size()) {
        const ssize_t n = ::write(device_->fd(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            platform::TraceBytes(device_->label(), platform::TraceDirection::Sent,
                                 bytes.substr(done, static_cast<std::size_t>(n)));
            done += static_cast<std::size_t>(n);
            lastProgress = clock.now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        const auto left = std::chrono::duration_cast<Millis>(lastProgress + stall - clock.now());
        if (left <= Millis{0} || !clock.waitWritable(device_->fd(), left))
            return false;
    }
    return true;
}

std::optional<std::uint8_t> SerialBootLink::readByte(Millis timeout) {
    if (aheadPos_ < ahead_.size())
        return static_cast<std::uint8_t>(ahead_[aheadPos_++]);
    if (!device_)
        return std::nullopt;
    ahead_.resize(kReadChunk);
    aheadPos_ = 0;
    std::size_t got = 0;
    if (device_->readAvailable(ahead_.data(), ahead_.size(), &got) != 0) {
        ahead_.clear();
        return std::nullopt;  // the line is gone
    }
    if (got == 0 && device_->waitReadable(timeout) &&
        device_->readAvailable(ahead_.data(), ahead_.size(), &got) != 0) {
        got = 0;
    }
    ahead_.resize(got);
    if (got == 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(ahead_[aheadPos_++]);
}

bool SerialBootLink::drain(Millis timeout) {
    if (!device_)
        return false;
    platform::Clock& clock = platform::CurrentClock();
    const platform::TimePoint deadline = clock.now() + timeout;
    for (;;) {
        int queued = 0;
        // tcdrain would wait without bound; a device that cannot count its queue (some
        // pseudo-terminals) has nothing held back to wait for.
        if (::ioctl(device_->fd(), TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true;
        if (clock.now() >= deadline)
            return false;
        clock.sleepFor(std::min<Millis>(
            kDrainPoll, std::chrono::duration_cast<Millis>(deadline - clock.now())));
    }
}

bool SerialBootLink::setSpeed(int code) {
    const unsigned baud = BaudOfSpeedCode(code);
    if (baud == 0 || !device_)
        return false;
    return device_->configure(RawLine(baud)) == 0;
}

}  // namespace tarvo::firmware
