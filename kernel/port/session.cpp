// The shared printer session and the liveness probes.
#include <cstring>
#include <string_view>

#include "port/exchange.h"
#include "port/kernel_state.h"
#include "tarvo/port.h"
#include "tarvo/session.h"

namespace tarvo {
namespace {

constexpr std::size_t kProbeReplySize = 30;

bool IsScriptFamily(int ctx) {
    const Context* context = FindContext(ctx);
    return context != nullptr && context->comm.family == PCU_FAMILY_BRAKENHOLM;
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
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUOpenPrinter(int ctx) {
    OperationGuard guard;
    if (!guard.admitted() || FindContext(ctx) == nullptr)
        return 0;
    KernelState& s = State();
    if (s.sharedReady)
        ConnClose(s.shared);
    s.sharedReady = ConnOpenFromContext(ctx, s.shared) == PCU_OK;
    return s.sharedReady ? 1 : 0;
}

TARVO_API int PCUClosePrinter(int ctx) {
    OperationGuard guard;
    if (!guard.admitted() || FindContext(ctx) == nullptr)
        return 0;
    KernelState& s = State();
    if (!s.sharedReady)
        return 1;
    s.sharedReady = false;
    return ConnClose(s.shared) == PCU_OK ? 1 : 0;
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
    OperationGuard guard;
    if (!guard.admitted() || FindContext(ctx) == nullptr)
        return 0;
    if (IsScriptFamily(ctx))
        return PingScriptPrinter(ctx);
    Exchange exchange(ctx);
    return exchange.ok() && !exchange.ask("<ESC>M1", 2, 300, kProbeReplySize, 2, 500).empty();
}

TARVO_API int PCUPong(int ctx) {
    OperationGuard guard;
    if (!guard.admitted() || FindContext(ctx) == nullptr)
        return 0;
    Exchange exchange(ctx);
    return exchange.ok() && !exchange.ask("<ESC>m", 2, 100, kProbeReplySize, 2, 500).empty();
}

TARVO_API int PCUCheckForResponse(int ctx) {
    OperationGuard guard;
    if (!guard.admitted() || FindContext(ctx) == nullptr || IsScriptFamily(ctx))
        return 0;
    Exchange exchange(ctx);
    if (!exchange.ok())
        return 0;
    PCUWait(100);
    std::string reply;
    exchange.read(&reply, kProbeReplySize, 2, 500);
    return reply.empty() ? 0 : 1;
}
