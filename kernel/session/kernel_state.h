// The kernel's process-wide state, in one place: the context table, the shared session
// connection, the raw-port handles, the extra delay of the last configuration sent and the
// busy guard. Tests reset it between cases.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "session/config_record.h"
#include "platform/serial_device.h"
#include "port/framing.h"
#include "tarvo/list.h"
#include "tarvo/types.h"

namespace tarvo {

// An object list head owned by its context.
class ObjectList {
  public:
    ObjectList();
    ~ObjectList();
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;
    cl_node* head() const { return head_; }

  private:
    cl_node* head_;
};

// One configuration context: the printer's settings and object lists as the host last read
// or edited them, beside what its connections need.
struct Context : LineContext {
    ConfigRecord settings;
    std::array<int, 4> downloadFlags{};
    ObjectList fontList, graphicList, formatList, pageList;
};

struct KernelState {
    std::array<std::unique_ptr<Context>, 32> contexts;
    Connection shared;  // between PCUOpenPrinter and PCUClosePrinter
    bool sharedReady = false;
    std::map<int, platform::SerialDevice> rawPorts;  // OpenPrinterG handles
    int extraDelayMs = 0;
    bool programNumberSecond =
        false;  // the last identification matched a second number  // inter-character plus message
                // delay of the last configuration sent
    int busyDepth = 0;
    std::thread::id busyOwner;
};

// The process-wide state.
KernelState& State();

// Closes every port and forgets every context, as at load. For tests.
void ResetKernelState();

// The context for a handle, or null for a handle outside 1..32 or an empty slot.
Context* FindContext(int ctx);

// Marks a kernel operation in progress for its lifetime. A call that arrives from inside the
// host's message pump, or from another thread, while an operation is in progress is refused:
// it would share the one process-wide connection with the operation it interrupts.
class OperationGuard {
  public:
    // With `exclusive` false the guard admits every call and marks nothing: for the exports that
    // may run while an operation is in progress.
    explicit OperationGuard(bool exclusive = true);
    ~OperationGuard();
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;
    bool admitted() const { return admitted_; }

  private:
    bool admitted_;
    bool marked_;
};

}  // namespace tarvo
