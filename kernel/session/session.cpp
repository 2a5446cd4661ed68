// The shared printer session, the liveness probes and the wait scaled to the line.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "port/profile.h"
#include "port/wait.h"
#include "session/exchange.h"
#include "session/export_boundary.h"
#include "tarvo/port.h"
#include "tarvo/session.h"

namespace tarvo {
namespace {

constexpr std::size_t kProbeReplySize = 30;

bool IsScriptFamily(const Context& context) {
    return context.comm.family == PCU_FAMILY_BRAKENHOLM;
}

// A script-language printer answers SYSVAR(18)=2 with "Ok" somewhere in its reply.
int PingScriptPrinter(int ctx) {
    const PCUHandle handle = OpenPrinterG(ctx, PCU_PORT_FROM_CONTEXT, nullptr);
    if (handle == PCU_INVALID_HANDLE)
        return 0;
    static constexpr char kQuery[] = "\x11SYSVAR(18)=2\r\n";
    unsigned written = 0;
    unsigned sysErr = 0;
    WriteToPrinterG(handle, kQuery, sizeof kQuery - 1, &written, &sysErr);
    bool answered = false;
    if (sysErr == 0) {
        char reply[kProbeReplySize];
        unsigned count = 0;
        ReadFromPrinterG(handle, reply, sizeof reply, &count, &sysErr);
        answered = sysErr == 0 && count > 0 &&
                   std::string_view(reply, count).find("Ok") != std::string_view::npos;
    }
    ClosePrinterG(handle);
    return answered ? 1 : 0;
}

}  // namespace

int PCUWaitMs(int units) {
    const int baud = std::atoi(ProfileValue("Baud", "9600").c_str());
    return ScaledWaitMs(units, baud) + State().extraDelayMs;
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUOpenPrinter(int ctx) {
    return RunExportOr(0, ctx, [](Context& context) {
        KernelState& s = State();
        if (s.sharedReady)
            ConnClose(s.shared);
        ConnOpen(context, s.shared);
        s.sharedReady = true;
        return 1;
    });
}

TARVO_API int PCUClosePrinter(int ctx) {
    return RunExportOr(0, ctx, [](Context&) {
        KernelState& s = State();
        if (!s.sharedReady)
            return 1;
        s.sharedReady = false;
        return ConnClose(s.shared) == PCU_OK ? 1 : 0;
    });
}

TARVO_API int PCUWritePrinter(int /*ctx*/, const char* text) {
    OperationGuard guard;
    KernelState& s = State();
    if (!guard.admitted() || !s.sharedReady || text == nullptr)
        return 0;
    unsigned sysErr = 0;
    return FramedWrite(s.shared, text, std::strlen(text), 5, &sysErr) == 0 ? 1 : 0;
}

TARVO_API int PCUReadPrinter(int /*ctx*/, char* buf, int* count) {
    if (count != nullptr)
        *count = 0;
    OperationGuard guard;
    KernelState& s = State();
    if (!guard.admitted() || !s.sharedReady || buf == nullptr)
        return 0;
    std::size_t got = 0;
    unsigned sysErr = 0;
    const int status =
        FramedRead(s.shared, buf, PCU_READ_BUFFER_SIZE, 5, 500, false, &got, &sysErr);
    if (count != nullptr)
        *count = static_cast<int>(got);
    // A reply longer than the buffer is delivered in parts; the next read gets the rest.
    return status == 0 || status == kFrameReplyKept ? 1 : 0;
}

TARVO_API int PCUPing(int ctx) {
    return RunExportOr(0, ctx, [&](Context& context) -> int {
        if (IsScriptFamily(context))
            return PingScriptPrinter(ctx);
        Exchange exchange(context);
        return !exchange.ask("<ESC>M1", 2, 300, kProbeReplySize, 2, 500).empty();
    });
}

TARVO_API int PCUPong(int ctx) {
    return RunExportOr(0, ctx, [](Context& context) -> int {
        Exchange exchange(context);
        return !exchange.ask("<ESC>m", 2, 100, kProbeReplySize, 2, 500).empty();
    });
}

TARVO_API int PCUCheckForResponse(int ctx) {
    return RunExportOr(0, ctx, [](Context& context) {
        if (IsScriptFamily(context))
            return 0;
        Exchange exchange(context);
        PCUWait(100);
        std::string reply;
        exchange.read(&reply, kProbeReplySize, 2, 500);
        return reply.empty() ? 0 : 1;
    });
}

TARVO_API void PCUWait(int units) {
    if (units < 0)
        return;
    WaitMs(PCUWaitMs(units));
}

TARVO_API int PCUSetTiming(int timing) {
    if (timing != PCU_TIMING_PROFILE && timing != PCU_TIMING_ADAPTIVE &&
        timing != PCU_TIMING_PRESCRIBED)
        return PCU_ERR_ARGUMENT;
    SetTimingChoice(timing);
    return PCU_OK;
}
