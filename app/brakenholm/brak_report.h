// The configuration report of a Brakenholm printer: its communication settings, its
// configuration parameters and the fonts and images it holds, as plain text for a log file
// ("Tarvo.log" by default) or for the default print queue.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_name_listing.h"
#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The report's sections (bits); they always appear in this order.
enum BrakReportSection : unsigned {
    kBrakReportComm = 1,
    kBrakReportConfig = 2,
    kBrakReportFonts = 4,
    kBrakReportImages = 8,
    kBrakReportAll = 15,
};

// Everything the report shows, copied out of the printer object.
struct BrakReportData {
    unsigned sections = kBrakReportAll;
    int generation = 3;
    BrakSetup setup;
    BrakIdentity identity;
    std::string portName;  // "COM1"
    BrakNameListing fonts;
    BrakNameListing images;
};

// Copies the printer object's record and identity and reads the listings the sections need.
BrakReportData GatherBrakReport(CBrakPrinter& printer, const AppSession& session,
                                unsigned sections);

// The report's lines (without line ends), section by section.
std::vector<std::string> BrakReportLines(const BrakReportData& data);

// The listing sections' error lines, for the operator's "Error!" box; empty when both read.
std::vector<std::string> BrakReportErrors(const BrakReportData& data);

// "Tarvo Configuration Report" padded to 55 characters and the time in the standard ASCII
// form ("Tue Dec  8 00:29:38 2026"), with English names whatever the locale.
std::string BrakReportTitle(const std::tm& time);

// The log file: the title, a row of 79 '-', an empty line, then every line; each line ends in
// CR LF.
std::string BrakReportFileText(const std::vector<std::string>& lines, const std::tm& time);

// The printed report in pages of 60 lines of at most 80 columns: each page starts with a
// header ("Tarvo Configuration Report   ", the time and "Page N"), a row of '-' and an empty
// line. Lines end in LF; pages carry no form feed (the print road puts one between them).
std::vector<std::string> BrakReportPages(const std::vector<std::string>& lines,
                                         const std::tm& time);

// Replaces `path` with the report, whole or not at all (temporary file beside it, every write
// and the close checked, then a rename). Failed: "Unable to open file " and the path.
OpResult WriteBrakReportLog(const std::string& path, const std::vector<std::string>& lines,
                            const std::tm& time);

// The default print queue's name, or "Unknown" when there is none (printing is then off).
std::string BrakReportPrinterName();

// Sends the pages as one plain-text job "Tarvo Report Log" to the default print queue, with
// the cancel window ("Print Log", "Cancel Printing") open; a cancelled or failed job is
// withdrawn from the queue. Returns the kernel's report code (PCU_OK, PCU_ERR_NO_PRINTER,
// PCU_ERR_PRINT, PCU_ERR_PRINT_CANCELLED).
int PrintBrakReport(const std::vector<std::string>& lines, const std::tm& time);

// The desktop's file road: asks for the log file (filter " Text file (*.*)|*.log||", name
// "Tarvo.log") and writes the report there. A chooser that fails shows "Unable to access File
// SaveAs dialog box", a file that cannot be written "Unable to open file " and its name (both
// "Error"). Returns Done, Cancelled or the failure.
OpResult SaveBrakReport(Prompt& prompt, const std::vector<std::string>& lines, const std::tm& time);

// Shows the listing errors of `data` in one "Error!" box; nothing when there are none.
void TellBrakReportErrors(Prompt& prompt, const BrakReportData& data);

// The local time now.
std::tm BrakReportNow();

}  // namespace tarvo::app
