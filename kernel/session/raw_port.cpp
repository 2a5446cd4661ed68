// The raw port functions: a plain handle on a serial port, no framing, no retries.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "platform/trace.h"
#include "port/port.h"
#include "port/wait.h"
#include "session/exchange.h"
#include "session/export_boundary.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr int kRawPollUnits = 200;  // PCUWait units between looks at a raw read's queue

using platform::FlowControl;
using platform::LineFormat;
using platform::Millis;

constexpr int kWriteFactorMs = 5;
constexpr int kWriteConstantMs = 50;

// Parses a device-control text: "COM1:9600,n,8,1" or "9600,n,8,1", with an optional fifth
// field "x" (XON/XOFF) or "p" (RTS/CTS).
std::optional<LineFormat> ParseDeviceControl(const char* text) {
    std::string s = text;
    if (const auto colon = s.find(':'); colon != std::string::npos)
        s.erase(0, colon + 1);
    std::string clean;
    for (char c : s) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            clean.push_back(c);
    }
    unsigned baud = 0;
    char parity = 0;
    int data = 0;
    int stop = 0;
    char flow = 0;
    const int fields =
        std::sscanf(clean.c_str(), "%u,%c,%d,%d,%c", &baud, &parity, &data, &stop, &flow);
    if (fields < 4 || baud == 0 || (data != 7 && data != 8) || (stop != 1 && stop != 2)) {
        return std::nullopt;
    }
    LineFormat f;
    f.baud = baud;
    f.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parity)));
    if (std::strchr("EONMS", f.parity) == nullptr)
        return std::nullopt;
    f.dataBits = data;
    f.stopBits = stop;
    f.flow = FlowControl::None;
    if (fields == 5) {
        flow = static_cast<char>(std::tolower(static_cast<unsigned char>(flow)));
        if (flow == 'x') {
            f.flow = FlowControl::XonXoff;
        } else if (flow == 'p') {
            f.flow = FlowControl::RtsCts;
        } else {
            return std::nullopt;
        }
    }
    return f;
}

// The line of a context for the raw road. Rates below 19200 other than the fast ones open at
// 9600; every protocol but RTS/CTS runs XON/XOFF.
LineFormat ContextLine(const commState& c) {
    LineFormat f;
    switch (c.baud) {
        case 19200:
        case 38400:
        case 57600:
        case 115200:
            f.baud = static_cast<unsigned>(c.baud);
            break;
        default:
            f.baud = 9600;
            break;
    }
    static constexpr char kParity[] = {'E', 'O', 'N', 'M', 'S'};
    f.parity = c.parity >= 0 && c.parity <= 4 ? kParity[c.parity] : 'E';
    f.dataBits = c.dataBits == 8 ? 8 : 7;
    f.stopBits = c.stopBits == 2 ? 2 : 1;
    f.flow = c.protocol == PCU_PROTOCOL_RTSCTS ? FlowControl::RtsCts : FlowControl::XonXoff;
    return f;
}

platform::SerialDevice* FindRaw(PCUHandle handle) {
    auto& ports = State().rawPorts;
    const auto it = ports.find(handle);
    return it == ports.end() ? nullptr : &it->second;
}

void Clear(unsigned* count, unsigned* sysErr) {
    if (count != nullptr)
        *count = 0;
    if (sysErr != nullptr)
        *sysErr = 0;
}

PCUHandle OpenRaw(const Context& context, unsigned portIndex, const char* dcbText) {
    const int index = portIndex >= PCU_PORT_COUNT ? context.comm.port : static_cast<int>(portIndex);
    if (index < PCU_PORT_COM1 || index > PCU_PORT_COM4)
        return PCU_INVALID_HANDLE;

    std::optional<LineFormat> line =
        dcbText != nullptr ? ParseDeviceControl(dcbText) : ContextLine(context.comm);
    if (!line)
        return PCU_INVALID_HANDLE;

    int error = 0;
    auto device = platform::SerialDevice::Open(PortDevicePath(index), PortName(index), &error);
    if (!device || !device->isSerial())
        return PCU_INVALID_HANDLE;
    platform::SerialSettings settings;
    settings.line = *line;
    if (device->configure(settings) != 0 || device->purgeOutput() != 0 ||
        device->purgeInput() != 0) {
        return PCU_INVALID_HANDLE;
    }
    const PCUHandle handle = device->fd();
    State().rawPorts.emplace(handle, std::move(*device));
    return handle;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API PCUHandle OpenPrinterG(int ctx, unsigned portIndex, const char* dcbText) {
    return RunExportOr(PCU_INVALID_HANDLE, ctx,
                       [&](Context& context) { return OpenRaw(context, portIndex, dcbText); });
}

TARVO_API int ClosePrinterG(PCUHandle handle) {
    OperationGuard guard;
    if (!guard.admitted())
        return 0;
    auto& ports = State().rawPorts;
    const auto it = ports.find(handle);
    if (it == ports.end())
        return 0;
    const int rc = it->second.close();
    ports.erase(it);
    return rc == 0 ? 1 : 0;
}

TARVO_API int ReadFromPrinterG(PCUHandle handle, char* buf, unsigned size, unsigned* count,
                               unsigned* sysErr) {
    Clear(count, sysErr);
    unsigned localCount = 0;
    unsigned localErr = 0;
    unsigned& got = count != nullptr ? *count : localCount;
    unsigned& err = sysErr != nullptr ? *sysErr : localErr;
    OperationGuard guard;
    if (!guard.admitted()) {
        err = EBUSY;
        return 0;
    }
    platform::SerialDevice* device = FindRaw(handle);
    if (device == nullptr || (buf == nullptr && size > 0)) {
        err = device == nullptr ? EBADF : EINVAL;
        return 0;
    }
    std::memset(buf, 0, size);
    // Prescribed: look after each wait. Adaptive: the same waits bound the quiet before the
    // first byte and between bytes, but a byte that comes is taken at once.
    const bool prescribed = PrescribedTiming();
    const auto waitForMore = [&] {
        if (prescribed)
            PCUWait(kRawPollUnits);
        else
            device->waitReadable(platform::Millis{PCUWaitMs(kRawPollUnits)});
    };
    waitForMore();
    for (;;) {
        std::size_t queued = 0;
        if (const int rc = device->queuedInput(&queued); rc != 0) {
            err = static_cast<unsigned>(rc);
            return 0;
        }
        if (queued == 0)
            return 0;
        if (got == size)
            return 1;  // more was queued than the buffer holds
        std::size_t n = 0;
        const std::size_t want = std::min<std::size_t>(queued, size - got);
        if (const int rc = device->readAvailable(buf + got, want, &n); rc != 0) {
            err = static_cast<unsigned>(rc);
            return 0;
        }
        got += static_cast<unsigned>(n);
        waitForMore();
    }
}

TARVO_API int WriteToPrinterG(PCUHandle handle, const void* buf, int len, unsigned* written,
                              unsigned* sysErr) {
    Clear(written, sysErr);
    OperationGuard guard;
    platform::SerialDevice* device = guard.admitted() ? FindRaw(handle) : nullptr;
    int error = 0;
    std::size_t done = 0;
    if (!guard.admitted()) {
        error = EBUSY;
    } else if (device == nullptr) {
        error = EBADF;
    } else if (len < 0 || (buf == nullptr && len > 0)) {
        error = EINVAL;
    } else {
        const Millis timeout{kWriteFactorMs * static_cast<long long>(len) + kWriteConstantMs};
        error = device->writeAll(static_cast<const char*>(buf), static_cast<std::size_t>(len),
                                 timeout, &done);
    }
    if (written != nullptr)
        *written = static_cast<unsigned>(done);
    if (error == 0)
        return 1;
    if (sysErr != nullptr)
        *sysErr = static_cast<unsigned>(error);
    return error;
}

TARVO_API int WriteCharsToPrinterG(PCUHandle handle, const char* buf, int len, unsigned* written,
                                   unsigned* sysErr) {
    Clear(written, sysErr);
    if (len <= 0)
        return len;
    unsigned total = 0;
    for (int i = 0; i < len; ++i) {
        unsigned one = 0;
        const int rc = WriteToPrinterG(handle, buf != nullptr ? buf + i : nullptr, 1, &one, sysErr);
        total += one;
        if (written != nullptr)
            *written = total;
        if (rc != 1)
            return rc;
        PCUWait(50);
    }
    return len;
}

namespace {

// The secrets the host asked to hide, innermost last. The trace is written on the host's one
// thread, as are these calls.
std::vector<std::unique_ptr<tarvo::platform::TraceSecret>>& HiddenSecrets() {
    static std::vector<std::unique_ptr<tarvo::platform::TraceSecret>> secrets;
    return secrets;
}

}  // namespace

TARVO_API int PCUTraceSecretBegin(const char* secret) {
    if (secret == nullptr || *secret == '\0')
        return 0;
    // A flag, not a code: running out of memory must not read as "hidden".
    try {
        auto hidden = std::make_unique<tarvo::platform::TraceSecret>(secret);
        HiddenSecrets().push_back(std::move(hidden));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

TARVO_API void PCUTraceSecretEnd(void) {
    auto& secrets = HiddenSecrets();
    if (!secrets.empty())
        secrets.pop_back();
}
