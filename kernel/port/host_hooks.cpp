// The host hooks: where they are kept, and the defaults that work on a terminal.
#include "port/host_hooks.h"

#include <cstdio>
#include <vector>

#include "platform/clock.h"

namespace tarvo {
namespace {

// Large enough for any path a dialog offers on Linux.
constexpr int kSavePathSize = 4096;

PCUHostHooks& Installed() {
    static PCUHostHooks hooks{};
    return hooks;
}

void HostPump(void* user) {
    const auto* hooks = static_cast<const PCUHostHooks*>(user);
    if (hooks->pumpMessages != nullptr)
        hooks->pumpMessages(hooks->user);
}

}  // namespace

const PCUHostHooks& InstalledHostHooks() {
    return Installed();
}

int ShowHostMessage(const char* caption, const char* text, int style) {
    const PCUHostHooks& hooks = Installed();
    if (hooks.messageBox != nullptr)
        return hooks.messageBox(hooks.user, caption, text, style);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return PCU_MB_ID_OK;
}

int AskHostSavePath(const char* title, const char* filter, const char* initialName,
                    const char* defaultExtension, std::string* path) {
    const PCUHostHooks& hooks = Installed();
    if (hooks.saveFileDialog == nullptr)
        return -1;
    std::vector<char> buffer(kSavePathSize, '\0');
    const int answer = hooks.saveFileDialog(hooks.user, title, filter, initialName,
                                            defaultExtension, buffer.data(), kSavePathSize);
    if (answer == 0)
        return 0;
    buffer.back() = '\0';  // a host that filled the buffer to the end still gets a terminator
    if (answer != 1 || buffer[0] == '\0')
        return -1;
    *path = buffer.data();
    return 1;
}

HostCancelWindow::HostCancelWindow(const char* caption, const char* text) : hooks_(Installed()) {
    if (hooks_.openCancelWindow == nullptr)
        return;
    window_ = hooks_.openCancelWindow(hooks_.user, caption, text);
    open_ = true;
}

HostCancelWindow::~HostCancelWindow() {
    if (open_ && hooks_.closeCancelWindow != nullptr)
        hooks_.closeCancelWindow(hooks_.user, window_);
}

bool HostCancelWindow::cancelRequested() {
    if (cancelled_)
        return true;
    platform::PumpMessages();
    if (open_ && hooks_.cancelRequested != nullptr)
        cancelled_ = hooks_.cancelRequested(hooks_.user, window_) != 0;
    return cancelled_;
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUSetHostHooks(const PCUHostHooks* hooks) {
    PCUHostHooks& installed = Installed();
    installed = hooks != nullptr ? *hooks : PCUHostHooks{};
    platform::SetMessagePump(installed.pumpMessages != nullptr ? HostPump : nullptr, &installed);
    return PCU_OK;
}
