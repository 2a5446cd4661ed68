#include "port/port.h"

#include <algorithm>
#include <cerrno>

#include "platform/clock.h"
#include "port/profile.h"

namespace tarvo {
namespace {

using platform::FlowControl;
using platform::Millis;

// The OS never hands over more than this in one chunk.
constexpr std::size_t kChunk = 1024;
// Bytes that arrive further apart than this end a reply.
constexpr Millis kPollInterval{250};
constexpr Millis kWriteConstant{500};
// The largest receive buffer of the printers served, in bytes.
constexpr long long kLargestReceiveBuffer = 8192;

// The rate a port really runs at and the per-byte time factor of its time-outs. Rates the
// printers do not offer fall back to 9600.
struct LineTiming {
    unsigned baud;
    int factorMs;
};

LineTiming TimingFor(unsigned baud) {
    if (baud > 19200)
        return {baud, 50};
    if (baud > 2400) {
        const bool known = baud == 19200 || baud == 7200 || baud == 4800;
        return {known ? baud : 9600u, 50};
    }
    switch (baud) {
        case 2400:
            return {2400, 50};
        case 1200:
            return {1200, 150};
        case 600:
            return {600, 150};
        case 300:
            return {300, 300};
        case 150:
            return {150, 600};
        case 110:
            return {110, 600};
        default:
            return {9600, 50};
    }
}

PortResult Fail(int status, int sysError, int detail) {
    return {status, sysError, detail};
}

// Closes a port whose set-up failed and returns `result`.
PortResult CloseWith(Port& port, PortResult result) {
    port.device->close();
    port.device.reset();
    return result;
}

PortResult Configure(Port& port) {
    const LineTiming timing = TimingFor(port.baud);
    platform::SerialSettings settings;
    settings.line.baud = timing.baud;
    settings.line.parity = port.parity;
    settings.line.dataBits = port.dataBits == 8 ? 8 : 7;
    settings.line.stopBits = port.stopBits == 2 ? 2 : 1;
    bool xonXoff = port.inX || port.outX;
    if (port.xonChar == port.xoffChar) {
        if (port.xonChar != 0)
            return CloseWith(port, Fail(kPortXonXoffEqual, EINVAL, kDetailConfigure));
        // Both zero means "no flow characters": switch XON/XOFF off.
        port.xonChar = 1;
        port.inX = port.outX = xonXoff = false;
    }
    settings.line.flow = xonXoff ? FlowControl::XonXoff : FlowControl::None;
    settings.xonChar = static_cast<unsigned char>(port.xonChar);
    settings.xoffChar = static_cast<unsigned char>(port.xoffChar);
    if (const int rc = port.device->configure(settings); rc != 0) {
        return CloseWith(port, Fail(kPortOpenFailed, rc, kDetailConfigure));
    }
    if (const int rc = port.device->purgeOutput(); rc != 0) {
        return CloseWith(port, Fail(kPortPurgeOutputFailed, rc, kDetailConfigure));
    }
    if (const int rc = port.device->purgeInput(); rc != 0) {
        return CloseWith(port, Fail(kPortPurgeInputFailed, rc, kDetailConfigure));
    }
    return {};
}

// Time allowed for writing `length` bytes: the per-byte factor of the line plus a constant. On
// an XON/XOFF line a printer may also hold the host back while it works through its receive
// buffer, which is a busy printer, not a dead one: the write waits as long as the largest
// buffer takes to drain at the line's rate.
Millis WriteTimeout(const Port& port, std::size_t length) {
    const int factor = port.isParallel() ? 50 : TimingFor(port.baud).factorMs;
    const Millis own{static_cast<long long>(factor) * static_cast<long long>(length)};
    if (!(port.inX || port.outX) || port.baud == 0)
        return own + kWriteConstant;
    constexpr long long kBitsPerByte = 10;
    const Millis held{kLargestReceiveBuffer * kBitsPerByte * 1000 / port.baud};
    return own + kWriteConstant + held;
}

// Moves everything queued (up to the room left) into the buffer. Returns 0 or errno.
int Drain(platform::SerialDevice& device, char* buffer, std::size_t capacity, std::size_t* count,
          bool* gotAny) {
    for (;;) {
        std::size_t queued = 0;
        if (const int rc = device.queuedInput(&queued); rc != 0)
            return rc;
        const std::size_t chunk = std::min({queued, capacity - *count, kChunk});
        if (chunk == 0)
            return 0;
        std::size_t got = 0;
        if (const int rc = device.readAvailable(buffer + *count, chunk, &got); rc != 0)
            return rc;
        if (got == 0)
            return 0;
        *count += got;
        *gotAny = true;
    }
}

PortResult ReadParallel(Port& port, char* buffer, std::size_t capacity, std::size_t* count) {
    int emptyReads = 0;
    while (*count < capacity && emptyReads < 2) {
        std::size_t got = 0;
        const std::size_t chunk = std::min<std::size_t>(4, capacity - *count);
        if (const int rc = port.device->readAvailable(buffer + *count, chunk, &got); rc != 0) {
            return *count > 0 ? PortResult{} : Fail(kPortReadFailed, rc, kDetailRead);
        }
        if (got == 0) {
            ++emptyReads;
            platform::CurrentClock().sleepFor(Millis{50});
        }
        *count += got;
    }
    return {};
}

// How a read ends, beside a full buffer: nothing within `first` of the first look (or within
// `afterFirstLook` when that look found bytes); nothing within `gap` of a later look; or a
// reply that `complete` finds whole.
struct ReadEnds {
    Millis first;
    Millis afterFirstLook;
    Millis gap;
    const ReplyComplete* complete;
};

bool Whole(const ReadEnds& ends, const char* buffer, std::size_t count) {
    return count > 0 && ends.complete != nullptr && *ends.complete &&
           (*ends.complete)(std::string_view(buffer, count));
}

PortResult Collect(Port& port, char* buffer, std::size_t capacity, const ReadEnds& ends,
                   std::size_t* count) {
    if (!port.isOpen())
        return Fail(kPortNotOpen, EBADF, kDetailRead);
    if (port.isParallel())
        return ReadParallel(port, buffer, capacity, count);
    platform::SerialDevice& device = *port.device;
    int idlePasses = 0;  // readable yet nothing to read: never spin on it
    for (int pass = 0; *count < capacity && idlePasses < 2; ++pass) {
        if (const unsigned lineErrors = device.takeLineErrors(); lineErrors != 0) {
            return *count > 0 ? PortResult{}
                              : Fail(kPortReadFailed, static_cast<int>(lineErrors), kDetailRead);
        }
        bool gotAny = false;
        if (const int rc = Drain(device, buffer, capacity, count, &gotAny); rc != 0) {
            return *count > 0 ? PortResult{} : Fail(kPortReadFailed, rc, kDetailRead);
        }
        idlePasses = gotAny ? 0 : idlePasses + 1;
        if (Whole(ends, buffer, *count))
            break;
        const Millis wait = pass > 0 ? ends.gap : *count == 0 ? ends.first : ends.afterFirstLook;
        if (*count == capacity || !device.waitReadable(wait))
            break;
    }
    return {};
}

}  // namespace

std::string PortDevicePath(int portIndex) {
    const std::string key = PortDeviceKey(portIndex);
    if (key.empty())
        return {};
    const std::string path = ProfileValue(key, DefaultPortDevice(portIndex));
    return path == kNoPortDevice ? std::string() : path;
}

PortResult PortOpen(Port& port, int attempts, int pauseMs) {
    if (port.isOpen())
        return {};
    if (attempts < 0 || pauseMs < 0)
        return Fail(kPortOpenFailed, EINVAL, kDetailOpen);
    const std::string path = PortDevicePath(port.portIndex);
    if (path.empty())
        return Fail(kPortOpenFailed, ENODEV, kDetailOpen);
    const int tries = std::max(attempts, 1);
    int error = 0;
    for (int i = 0; i < tries; ++i) {
        port.device = platform::SerialDevice::Open(path, port.name, &error);
        if (port.device)
            break;
        if (i + 1 < tries)
            platform::CurrentClock().sleepFor(Millis{pauseMs});
    }
    if (!port.device)
        return Fail(kPortOpenFailed, error, kDetailOpen);
    if (port.isParallel())
        return {};
    if (!port.device->isSerial()) {
        return CloseWith(port, Fail(kPortOpenFailed, ENOTTY, kDetailConfigure));
    }
    return Configure(port);
}

PortResult PortRead(Port& port, char* buffer, std::size_t capacity, int firstByteMs,
                    std::size_t* count) {
    *count = 0;
    if (firstByteMs < 0)
        return Fail(kPortReadFailed, EINVAL, kDetailRead);
    const Millis first = firstByteMs > 0 ? Millis{firstByteMs} : kPollInterval;
    // Bytes queued before the first look wait the first wait again before the read ends.
    return Collect(port, buffer, capacity, {first, first, kPollInterval, nullptr}, count);
}

PortResult PortReadReply(Port& port, char* buffer, std::size_t capacity, int firstByteMs, int gapMs,
                         const ReplyComplete& complete, std::size_t* count) {
    *count = 0;
    if (firstByteMs < 0 || gapMs <= 0)
        return Fail(kPortReadFailed, EINVAL, kDetailRead);
    const Millis first = firstByteMs > 0 ? Millis{firstByteMs} : kPollInterval;
    return Collect(port, buffer, capacity, {first, Millis{gapMs}, Millis{gapMs}, &complete}, count);
}

PortResult PortReadByte(Port& port, int timeoutMs, char* byte) {
    if (!port.isOpen())
        return Fail(kPortNotOpen, EBADF, kDetailRead);
    platform::Clock& clock = platform::CurrentClock();
    const platform::TimePoint deadline = clock.now() + Millis{std::max(timeoutMs, 0)};
    for (;;) {
        std::size_t got = 0;
        const int rc = port.device->readAvailable(byte, 1, &got);
        if (rc != 0)
            return Fail(kPortReadFailed, rc, kDetailRead);
        if (got == 1)
            return {};
        const auto left = std::chrono::duration_cast<Millis>(deadline - clock.now());
        if (left <= Millis{0} || !port.device->waitReadable(left)) {
            return Fail(kPortReadFailed, ETIMEDOUT, kDetailRead);
        }
    }
}

PortResult PortWrite(Port& port, const char* bytes, std::size_t length) {
    if (!port.isOpen())
        return Fail(kPortNotOpen, EBADF, kDetailWrite);
    std::size_t written = 0;
    const int rc = port.device->writeAll(bytes, length, WriteTimeout(port, length), &written);
    if (rc != 0 || written != length) {
        return Fail(kPortWriteFailed, rc != 0 ? rc : EIO, kDetailWrite);
    }
    return {};
}

PortResult PortPurgeInput(Port& port) {
    if (!port.isOpen())
        return Fail(kPortNotOpen, EBADF, kDetailNone);
    if (const int rc = port.device->purgeInput(); rc != 0) {
        return Fail(kPortPurgeInputFailed, rc, kDetailNone);
    }
    return {};
}

PortResult PortClose(Port& port) {
    if (!port.isOpen())
        return Fail(kPortNotOpen, EBADF, kDetailClose);
    const int rc = port.device->close();
    port.device.reset();
    return rc == 0 ? PortResult{} : Fail(kPortOpenFailed, rc, kDetailClose);
}

}  // namespace tarvo
