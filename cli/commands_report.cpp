// `tarvo report`: the configuration report, read fresh from the printer and written to a log
// file or sent to the default print queue.
#include <iostream>
#include <sstream>
#include <string>

#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "stream_file.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr const char* kUsageText =
    "usage: tarvo report [--sections comm,config,fonts,graphics,formats] (--log FILE | --print)";

struct Section {
    const char* name;
    int bit;
    int (*read)(int ctx, uint16_t* count);  // the listing it needs, or null
};

const Section kSections[] = {
    {"comm", PCU_REPORT_COMM, nullptr},
    {"config", PCU_REPORT_CONFIG, nullptr},
    {"fonts", PCU_REPORT_FONTS, PCUGetFonts},
    {"graphics", PCU_REPORT_GRAPHICS, PCUGetGraphics},
    {"formats", PCU_REPORT_FORMATS, PCUGetFormats},
};

struct ReportRequest {
    int sections = PCU_REPORT_ALL;
    std::string logFile;
    bool print = false;
};

// "comm,config" as a section mask; -1 for an unknown or missing name.
int ParseSections(const std::string& list) {
    int mask = 0;
    std::istringstream names(list);
    std::string name;
    while (std::getline(names, name, ',')) {
        int bit = -1;
        for (const Section& s : kSections) {
            if (name == s.name)
                bit = s.bit;
        }
        if (bit < 0)
            return -1;
        mask |= bit;
    }
    return mask != 0 ? mask : -1;
}

// Returns 0 with *request filled, or the exit status after saying what is wrong.
int ParseRequest(const CommandLine& line, ReportRequest* request) {
    const auto& a = line.args;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool hasValue = i + 1 < a.size();
        if (a[i] == "--sections" && hasValue) {
            request->sections = ParseSections(a[++i]);
            if (request->sections < 0)
                return Fail(
                    "unknown section in '" + a[i] + "' (comm, config, fonts, graphics, formats)",
                    kUsage);
        } else if (a[i] == "--log" && hasValue) {
            request->logFile = a[++i];
        } else if (a[i] == "--print") {
            request->print = true;
        } else {
            return Fail(kUsageText, kUsage);
        }
    }
    if (request->print == !request->logFile.empty())
        return Fail(kUsageText, kUsage);
    return 0;
}

// Reads what the chosen sections show from the printer into the context. False (after saying
// why) when something could not be read.
bool ReadFromPrinter(int ctx, int sections) {
    if (sections & PCU_REPORT_CONFIG) {
        // The model and firmware decide which settings the report shows as not available.
        IdentifiedPrinter printer;
        if (!IdentifyLanmere(ctx, &printer))
            return false;
        if (!ReadPrinterConfiguration(ctx))
            return false;
    }
    for (const Section& s : kSections) {
        if (!(sections & s.bit) || s.read == nullptr)
            continue;
        uint16_t count = 0;
        const int rc = s.read(ctx, &count);
        if (rc == PCU_OK || rc == PCU_ERR_CLOSE)
            continue;
        if (LastErrorCode(ctx) != PCU_ERR_DIRECTORY_ENTRY) {
            Fail(std::string("reading the ") + s.name + " from the printer on " + PortOf(ctx) +
                 " failed: " + ErrorText(ctx));
            return false;
        }
        std::cerr << "tarvo: warning: some " << s.name
                  << " lines of the printer's listing could not be read and were left out\n";
    }
    return true;
}

// The kernel has already shown its own message for a log file it could not write and for
// memory; the rest are said here.
int ReportFailure(int rc) {
    switch (rc) {
        case PCU_ERR_LOG_FILE:
        case PCU_ERR_NO_MEMORY:
            return 1;
        case PCU_ERR_NO_PRINTER:
            return Fail("there is no default print queue");
        case PCU_ERR_PRINT:
            return Fail("the print system did not take the report");
        case PCU_ERR_PRINT_CANCELLED:
            return Fail("printing the report was cancelled");
        default:
            return Fail("the report failed (code " + std::to_string(rc) + ")");
    }
}

}  // namespace

int RunReport(int ctx, const CommandLine& line) {
    if (IsBrakenholmContext(ctx))
        return RunBrakReport(ctx, line);
    ReportRequest request;
    if (const int status = ParseRequest(line, &request); status != 0)
        return status;
    StreamFile log(request.logFile);
    std::string error;
    if (!log.Prepare(false, &error))
        return Fail(error);
    if (!ReadFromPrinter(ctx, request.sections))
        return 1;
    const int rc = request.print ? PCUPrintReport(ctx, request.sections, 0)
                                 : PCUPrintReportToFile(ctx, request.sections, log.path().c_str());
    if (rc != PCU_OK)
        return ReportFailure(rc);
    if (request.print) {
        std::cout << "The report was sent to the default print queue.\n";
        return 0;
    }
    if (!log.Deliver(&error))
        return Fail(error);
    log.messages() << "The report was written to " << log.name(true) << ".\n";
    return 0;
}

}  // namespace tarvo::cli
