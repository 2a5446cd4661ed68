#include "port/kernel_state.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/clock.h"
#include "port/bounded_copy.h"

namespace tarvo {

ObjectList::ObjectList() : head_(cl_inithd()) {
    if (head_ == nullptr)
        throw std::bad_alloc();
}

ObjectList::~ObjectList() {
    cl_clrlist(head_);
    cl_del(head_, head_);
}

void Context::recordError(int code, int sysError, std::string_view text) {
    lastError = code;
    lastSysError = sysError;
    const std::size_t n = std::min(text.size(), kErrorTextSize - 1);
    if (n > 0)
        std::memcpy(lastErrorText, text.data(), n);
    lastErrorText[n] = '\0';
}

KernelState& State() {
    static KernelState state;
    return state;
}

void ResetKernelState() {
    KernelState& s = State();
    if (s.sharedReady)
        ConnClose(s.shared);
    s.shared = Connection{};
    s.sharedReady = false;
    s.rawPorts.clear();
    for (auto& context : s.contexts)
        context.reset();
    s.extraDelayMs = 0;
    s.programNumberSecond = false;
    s.busyDepth = 0;
    s.busyOwner = {};
}

Context* FindContext(int ctx) {
    if (ctx < 1 || ctx > static_cast<int>(State().contexts.size()))
        return nullptr;
    return State().contexts[static_cast<std::size_t>(ctx - 1)].get();
}

OperationGuard::OperationGuard() {
    KernelState& s = State();
    const bool busy = s.busyDepth > 0;
    admitted_ = !busy || (!platform::InMessagePump() && s.busyOwner == std::this_thread::get_id());
    if (admitted_) {
        if (s.busyDepth++ == 0)
            s.busyOwner = std::this_thread::get_id();
    }
}

OperationGuard::~OperationGuard() {
    if (admitted_)
        --State().busyDepth;
}

}  // namespace tarvo
