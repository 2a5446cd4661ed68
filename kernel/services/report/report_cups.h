// The print system as the report uses it: one plain-text job on the default queue, sent page
// by page. The kernel talks to CUPS through this interface so that tests can put a recording
// fake in its place and never need a print server.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvo::report {

class PrintSpooler {
  public:
    virtual ~PrintSpooler() = default;
    // Finds the default destination. False when there is none.
    virtual bool openDefaultDestination() = 0;
    // Creates the job `title` on that destination and starts its plain-text document.
    virtual bool startJob(const char* title) = 0;
    // Appends `text` to the document.
    virtual bool write(std::string_view text) = 0;
    // Ends the document, which releases the job for printing.
    virtual bool finishJob() = 0;
    // Withdraws the started job from the queue (after a cancel or a failure).
    virtual void cancelJob() = 0;
    // The destination's name once openDefaultDestination found it.
    virtual std::string destinationName() const { return {}; }
};

// A spooler for one report: the CUPS one, or a new one from the factory a test installed.
std::unique_ptr<PrintSpooler> MakeSpooler();

// Installs the factory MakeSpooler uses (null restores CUPS). For tests.
using SpoolerFactory = std::unique_ptr<PrintSpooler> (*)();
void SetSpoolerFactory(SpoolerFactory factory);

}  // namespace tarvo::report
