// The two roads of a configuration report (log file, print queue) and the entry points the
// exports and the tests share. The time is a parameter so that tests compare whole files.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "services/report/report_layout.h"
#include "session/kernel_state.h"

namespace tarvo::report {

// Copies what the report shows out of `context` and the profile.
ReportData GatherReport(Context& context, int sections);

// Writes the pages to `path` as a log file, whole or not at all. Returns PCU_OK or
// PCU_ERR_LOG_FILE ("Unable to open selected Log file" shown).
int WriteLogFile(const std::string& path, const std::vector<std::string>& pages);

// Sends the pages as one job to the default print queue (MakeSpooler), with the host's cancel
// window asked between pages. Returns PCU_OK, PCU_ERR_NO_PRINTER, PCU_ERR_PRINT (a job that
// would not start also shows its message) or PCU_ERR_PRINT_CANCELLED (the job withdrawn).
int PrintPages(const std::vector<std::string>& pages);
// PrintPages with the job's title and the cancel window's caption given.
int PrintPagesAs(const std::vector<std::string>& pages, const char* title,
                 const char* cancelCaption);

// PCUPrintReportToFile and PCUPrintReport stamped with `time` (local time) instead of now.
int PrintReportToFileAt(int ctx, int sections, const char* path, const std::tm& time);
int PrintReportAt(int ctx, int sections, bool toFile, const std::tm& time);

}  // namespace tarvo::report
