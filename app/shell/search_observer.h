// Progress of a search for a printer: the kernel's auto-connect (escape-language printers, over
// its notify callback) and the Brakenholm search report through the same observer, so one dialog
// or one terminal line serves both.
#pragma once

#include "tarvo/identify.h"
#include "tarvo/types.h"

namespace tarvo::app {

class SearchObserver {
  public:
    virtual ~SearchObserver() = default;
    // A set of line settings is about to be tried.
    virtual void Trial(const commState& trial) = 0;
    // The printer answered with these settings.
    virtual void Found(const commState& found) = 0;
    // Every setting was tried without an answer.
    virtual void NotFound() = 0;
    // Asked before every trial: true stops the search, which then reports nothing further.
    virtual bool CancelRequested() = 0;
};

// An observer that shows nothing and never cancels.
class SilentSearchObserver final : public SearchObserver {
  public:
    void Trial(const commState&) override {}
    void Found(const commState&) override {}
    void NotFound() override {}
    bool CancelRequested() override { return false; }
};

// The kernel's callback record for PCUAutoConnect, forwarding to `observer` (which must outlive
// the search). A cancel request is passed back through the trial's cancelRequest field.
PCUNotify MakeKernelNotify(SearchObserver& observer);

}  // namespace tarvo::app
