#include "services/service_link.h"

#include "port/framing.h"
#include "port/port.h"
#include "session/kernel_state.h"
#include "tarvo/downloads.h"
#include "tarvo/session.h"

namespace tarvo {
namespace {

constexpr int kSendRetries = 5;

}  // namespace

bool PortWouldNotOpen(int status) {
    return status == kPortOpenFailed || status == kPortCannotOpen || status == kPortNotOpen;
}

bool PrinterAnswers(int ctx) {
    return PCUPing(ctx) == 1;
}

int ServiceLink::send(std::string_view text) {
    unsigned sysErr = 0;
    const int status = FramedWrite(conn_.conn(), text.data(), text.size(), kSendRetries, &sysErr);
    if (status != 0 && firstFailure_ == 0) {
        firstFailure_ = status;
        portRefused_ = !anySent_ && PortWouldNotOpen(status);
    }
    anySent_ = true;
    return status;
}

std::string ServiceLink::read(std::size_t capacity, int retries, int timeoutMs) {
    std::string reply(capacity, '\0');
    std::size_t count = 0;
    unsigned sysErr = 0;
    FramedRead(conn_.conn(), reply.data(), capacity, retries, timeoutMs, true, &count, &sysErr);
    reply.resize(count);
    return reply;
}

int ServiceLink::failure() {
    if (firstFailure_ == 0)
        return PCU_OK;
    if (portRefused_) {
        context_.recordError(PCU_ERR_OPEN, firstFailure_);
        return PCU_ERR_OPEN;
    }
    return PCU_ERR_SEND;
}

}  // namespace tarvo
