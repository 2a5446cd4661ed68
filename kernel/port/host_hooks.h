// The host program's hooks (PCUSetHostHooks) as the kernel uses them, each with its terminal
// default, so callers never test for a missing hook themselves.
#pragma once

#include <string>

#include "tarvo/context.h"

namespace tarvo {

// The hooks installed now (all null when none were installed).
const PCUHostHooks& InstalledHostHooks();

// Shows a message through the host, or prints "caption: text" on standard error. Returns the
// button pressed (PCU_MB_ID_*); PCU_MB_ID_OK from the default.
int ShowHostMessage(const char* caption, const char* text, int style);

// Asks the host's save dialog for a path (filter and names as PCUHostHooks.saveFileDialog).
// Returns 1 with *path set, 0 when the operator cancelled, -1 when there is no dialog or it
// failed (also when it claims a choice but leaves the path empty).
int AskHostSavePath(const char* title, const char* filter, const char* initialName,
                    const char* defaultExtension, std::string* path);

// The host's cancel window for the lifetime of the object; without the hooks there is none and
// nothing is ever cancelled.
class HostCancelWindow {
  public:
    HostCancelWindow(const char* caption, const char* text);
    ~HostCancelWindow();
    HostCancelWindow(const HostCancelWindow&) = delete;
    HostCancelWindow& operator=(const HostCancelWindow&) = delete;

    // Pumps the host's messages, then asks whether the operator asked to stop. Once true it
    // stays true.
    bool cancelRequested();

  private:
    PCUHostHooks hooks_;
    void* window_ = nullptr;
    bool open_ = false;
    bool cancelled_ = false;
};

}  // namespace tarvo
