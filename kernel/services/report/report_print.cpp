// The print road: the report's pages as one plain-text job, a form feed between pages.
#include "port/host_hooks.h"
#include "services/report/report_cups.h"
#include "services/report/report_run.h"
#include "tarvo/report.h"

namespace tarvo::report {
namespace {

constexpr const char* kJobTitle = "Tarvo Report";

int StartFailed() {
    ShowHostMessage("Report Print Error", "General error - can't start document",
                    PCU_MB_OKCANCEL | PCU_MB_ICON_ERROR);
    return PCU_ERR_PRINT;
}

// Sends the pages; the job is started. Returns PCU_OK, PCU_ERR_PRINT or
// PCU_ERR_PRINT_CANCELLED.
int SendPages(PrintSpooler& spooler, HostCancelWindow& window,
              const std::vector<std::string>& pages) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            if (window.cancelRequested())
                return PCU_ERR_PRINT_CANCELLED;
            if (!spooler.write("\f"))
                return PCU_ERR_PRINT;
        }
        if (!spooler.write(pages[i]))
            return PCU_ERR_PRINT;
    }
    if (!spooler.finishJob())
        return PCU_ERR_PRINT;
    return PCU_OK;
}

}  // namespace

int PrintPages(const std::vector<std::string>& pages) {
    std::unique_ptr<PrintSpooler> spooler = MakeSpooler();
    if (!spooler->openDefaultDestination())
        return PCU_ERR_NO_PRINTER;
    HostCancelWindow window("Print Report", "Cancel Printing");
    if (!spooler->startJob(kJobTitle)) {
        // A job may have been created before its document failed to start.
        spooler->cancelJob();
        return StartFailed();
    }
    const int status = SendPages(*spooler, window, pages);
    // Half a report is worth nothing on paper: a job that failed or was cancelled is withdrawn
    // rather than left to print what reached the queue.
    if (status != PCU_OK)
        spooler->cancelJob();
    return status;
}

}  // namespace tarvo::report
