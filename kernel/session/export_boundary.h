// The boundary every export crosses: C++ exceptions stay inside the library, a call that would
// interrupt an operation in progress is refused, and the context handle is resolved once, so
// that the code below works on the context itself.
#pragma once

#include <new>

#include "session/kernel_state.h"
#include "tarvo/types.h"

namespace tarvo {

// Runs `body` and turns running out of memory into the public code for it.
template <class Body>
int NoThrow(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

// Whether an export may run while another kernel operation is in progress. Those that only
// read or edit a context's records in memory may: the host's window asks for them while it
// repaints during a long operation.
enum class WhileBusy { Refuse, Run };

// The values an export gives for the refusals at its boundary.
template <class Result>
struct Refusals {
    Result busy;
    Result noContext;
    Result noMemory;
};

template <class Result, class Body>
Result AtBoundary(int ctx, WhileBusy whileBusy, const Refusals<Result>& refusals,
                  Body body) noexcept {
    OperationGuard guard(whileBusy == WhileBusy::Refuse);
    if (!guard.admitted())
        return refusals.busy;
    Context* context = FindContext(ctx);
    if (context == nullptr)
        return refusals.noContext;
    try {
        return body(*context);
    } catch (const std::bad_alloc&) {
        return refusals.noMemory;
    }
}

// For exports that return a public code: PCU_ERR_BUSY, PCU_ERR_NO_CONTEXT, PCU_ERR_NO_MEMORY,
// else what `body(Context&)` returns. The body checks its arguments first.
template <class Body>
int RunExport(int ctx, Body body, WhileBusy whileBusy = WhileBusy::Refuse) noexcept {
    return AtBoundary<int>(ctx, whileBusy, {PCU_ERR_BUSY, PCU_ERR_NO_CONTEXT, PCU_ERR_NO_MEMORY},
                           body);
}

// For exports that answer every refusal with one value: 0 of a yes-or-no answer, a null
// pointer, an invalid handle.
template <class Result, class Body>
Result RunExportOr(Result refused, int ctx, Body body,
                   WhileBusy whileBusy = WhileBusy::Refuse) noexcept {
    return AtBoundary<Result>(ctx, whileBusy, {refused, refused, refused}, body);
}

}  // namespace tarvo
