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
    return PrintPagesAs(pages, kJobTitle, "Print Report");
}

int PrintPagesAs(const std::vector<std::string>& pages, const char* title,
                 const char* cancelCaption) {
    std::unique_ptr<PrintSpooler> spooler = MakeSpooler();
    if (!spooler->openDefaultDestination())
        return PCU_ERR_NO_PRINTER;
    HostCancelWindow window(cancelCaption, "Cancel Printing");
    if (!spooler->startJob(title)) {
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

using namespace tarvo;

TARVO_API int PCUPrintTextPages(const char* title, const char* cancelCaption,
                                const char* const* pages, int pageCount) {
    if (title == nullptr || title[0] == '\0' || cancelCaption == nullptr || pages == nullptr ||
        pageCount <= 0)
        return PCU_ERR_ARGUMENT;
    std::vector<std::string> copies;
    for (int i = 0; i < pageCount; ++i) {
        if (pages[i] == nullptr)
            return PCU_ERR_ARGUMENT;
        copies.emplace_back(pages[i]);
    }
    return report::PrintPagesAs(copies, title, cancelCaption);
}

TARVO_API int PCUGetDefaultPrintQueue(char* name, int size) {
    if (name == nullptr || size <= 0)
        return PCU_ERR_ARGUMENT;
    name[0] = '\0';
    std::unique_ptr<report::PrintSpooler> spooler = report::MakeSpooler();
    if (!spooler->openDefaultDestination())
        return PCU_ERR_NO_PRINTER;
    const std::string queue = spooler->destinationName();
    if (queue.size() >= static_cast<std::size_t>(size))
        return PCU_ERR_ARGUMENT;
    queue.copy(name, queue.size());
    name[queue.size()] = '\0';
    return PCU_OK;
}
