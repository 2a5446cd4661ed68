// PCUPrintReport and PCUPrintReportToFile: gather what the context holds, lay it out, and send
// it down one of the two roads.
#include <new>

#include "objects/directory_list.h"
#include "port/host_hooks.h"
#include "port/profile.h"
#include "services/report/report_run.h"
#include "session/export_boundary.h"
#include "tarvo/report.h"

namespace tarvo::report {
namespace {

template <class Record>
std::vector<Record> Copies(Context& context) {
    std::vector<Record> out;
    for (const Record* entry : Entries<Record>(ListOf<Record>(context)))
        out.push_back(*entry);
    return out;
}

// Pages queued for download share the format list (under their number plus an offset); they
// are not formats and stay out of the format directory.
std::vector<FormatInfo> FormatsOnly(Context& context) {
    std::vector<FormatInfo> out;
    for (const FormatInfo* entry : Entries<FormatInfo>(ListOf<FormatInfo>(context))) {
        if (entry->isPage == 0)
            out.push_back(*entry);
    }
    return out;
}

CommValues ProfileComm() {
    const CommValues defaults;
    CommValues c;
    c.port = ProfileValue("Port", defaults.port);
    c.baud = ProfileValue("Baud", defaults.baud);
    c.parity = ProfileValue("Parity", defaults.parity);
    c.dataBits = ProfileValue("DataBits", defaults.dataBits);
    c.stopBits = ProfileValue("StopBits", defaults.stopBits);
    c.protocol = ProfileValue("Protocol", defaults.protocol);
    c.preamble = ProfileValue("Preamble", defaults.preamble);
    c.postamble = ProfileValue("Postamble", defaults.postamble);
    c.printer = ProfileValue("Printer", defaults.printer);
    return c;
}

std::vector<std::string> Pages(Context& context, int sections, const std::tm& time) {
    return Paginate(SectionLines(GatherReport(context, sections)), time);
}

// Runs `body` with the checks every report shares; running out of memory is told to the
// operator as well as returned.
template <class Body>
int Guarded(int ctx, Body body) {
    return RunExport(ctx, [&](Context& context) -> int {
        try {
            return body(context);
        } catch (const std::bad_alloc&) {
            ShowHostMessage("Error", "Unable to allocate memory", PCU_MB_OK | PCU_MB_ICON_ERROR);
            return PCU_ERR_NO_MEMORY;
        }
    });
}

// Asks the host where to save the log. Returns PCU_OK with *path, PCU_ERR_SAVE_CANCELLED or
// PCU_ERR_SAVE_DIALOG (its message shown).
int ChooseLogFile(std::string* path) {
    const int answer =
        AskHostSavePath("Save Report", "Log files (*.log)|*.log|", "report.log", "log", path);
    if (answer == 0)
        return PCU_ERR_SAVE_CANCELLED;
    if (answer != 1) {
        ShowHostMessage("Error", "Unable to access File Save dialog box",
                        PCU_MB_OK | PCU_MB_ICON_ERROR);
        return PCU_ERR_SAVE_DIALOG;
    }
    return PCU_OK;
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

ReportData GatherReport(Context& context, int sections) {
    ReportData data;
    data.sections = sections;
    data.comm = ProfileComm();
    data.config = context.settings;
    data.metric = ProfileValue("Measurements", "English") == "Metric";
    data.fonts = Copies<FontInfo>(context);
    data.graphics = Copies<GraphicInfo>(context);
    data.formats = FormatsOnly(context);
    return data;
}

int PrintReportToFileAt(int ctx, int sections, const char* path, const std::tm& time) {
    if (path == nullptr || path[0] == '\0')
        return FindContext(ctx) == nullptr ? PCU_ERR_NO_CONTEXT : PCU_ERR_ARGUMENT;
    return Guarded(
        ctx, [&](Context& context) { return WriteLogFile(path, Pages(context, sections, time)); });
}

int PrintReportAt(int ctx, int sections, bool toFile, const std::tm& time) {
    return Guarded(ctx, [&](Context& context) {
        if (!toFile)
            return PrintPages(Pages(context, sections, time));
        std::string path;
        if (const int chosen = ChooseLogFile(&path); chosen != PCU_OK)
            return chosen;
        return WriteLogFile(path, Pages(context, sections, time));
    });
}

}  // namespace tarvo::report

using namespace tarvo;

TARVO_API int PCUPrintReport(int ctx, int sections, int toFile) {
    return report::PrintReportAt(ctx, sections, toFile != 0, report::LocalNow());
}

TARVO_API int PCUPrintReportToFile(int ctx, int sections, const char* path) {
    return report::PrintReportToFileAt(ctx, sections, path, report::LocalNow());
}
