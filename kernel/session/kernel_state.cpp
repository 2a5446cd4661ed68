#include "session/kernel_state.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/clock.h"
#include "port/bounded_copy.h"
#include "port/wait.h"
#include "tarvo/port.h"

namespace tarvo {

ObjectList::ObjectList() : head_(cl_inithd()) {
    if (head_ == nullptr)
        throw std::bad_alloc();
}

ObjectList::~ObjectList() {
    cl_clrlist(head_);
    cl_del(head_, head_);
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
    SetTimingChoice(PCU_TIMING_PROFILE);
    s.programNumberSecond = false;
    s.busyDepth = 0;
    s.busyOwner = {};
}

Context* FindContext(int ctx) {
    if (ctx < 1 || ctx > static_cast<int>(State().contexts.size()))
        return nullptr;
    return State().contexts[static_cast<std::size_t>(ctx - 1)].get();
}

OperationGuard::OperationGuard(bool exclusive) : admitted_(true), marked_(exclusive) {
    if (!exclusive)
        return;
    KernelState& s = State();
    const bool busy = s.busyDepth > 0;
    admitted_ = !busy || (!platform::InMessagePump() && s.busyOwner == std::this_thread::get_id());
    marked_ = admitted_;
    if (admitted_) {
        if (s.busyDepth++ == 0)
            s.busyOwner = std::this_thread::get_id();
    }
}

OperationGuard::~OperationGuard() {
    if (marked_)
        --State().busyDepth;
}

}  // namespace tarvo
