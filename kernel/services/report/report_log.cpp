// The log-file road: the report's text replaces the chosen file in one rename.
#include "tarvo/base/fs.h"
#include "port/host_hooks.h"
#include "services/report/report_run.h"
#include "tarvo/report.h"

namespace tarvo::report {

int WriteLogFile(const std::string& path, const std::vector<std::string>& pages) {
    // The text is built whole before anything is written, and the file is replaced atomically,
    // so a failed report never leaves a file that looks whole.
    if (!platform::ReplaceUserFile(path, LogFileText(pages))) {
        ShowHostMessage("Error", "Unable to open selected Log file", PCU_MB_OK | PCU_MB_ICON_ERROR);
        return PCU_ERR_LOG_FILE;
    }
    return PCU_OK;
}

}  // namespace tarvo::report
