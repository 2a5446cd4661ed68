// `tarvo report` for a Brakenholm printer: its setup, identity and listings read fresh, then the
// report written to a log file (atomically) or sent to the default print queue.
#include <iostream>
#include <sstream>
#include <string>

#include "brakenholm/brak_report.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "stream_file.h"
#include "tarvo/report.h"

namespace tarvo::cli {
namespace {

constexpr const char* kBrakReportUsage =
    "usage: tarvo report [--sections comm,config,fonts,images] (--log FILE | --print)";

struct BrakSectionName {
    const char* name;
    unsigned bit;
};

constexpr BrakSectionName kBrakSections[] = {
    {"comm", app::kBrakReportComm},
    {"config", app::kBrakReportConfig},
    {"fonts", app::kBrakReportFonts},
    {"images", app::kBrakReportImages},
};

// "comm,fonts" as section bits; 0 for an unknown or missing name.
unsigned ParseBrakSections(const std::string& list) {
    unsigned mask = 0;
    std::istringstream names(list);
    std::string name;
    while (std::getline(names, name, ',')) {
        unsigned bit = 0;
        for (const BrakSectionName& s : kBrakSections) {
            if (name == s.name)
                bit = s.bit;
        }
        if (bit == 0)
            return 0;
        mask |= bit;
    }
    return mask;
}

struct BrakReportRequest {
    unsigned sections = app::kBrakReportAll;
    std::string logFile;
    bool print = false;
};

int ParseBrakReport(const CommandLine& line, BrakReportRequest* request) {
    const auto& a = line.args;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool hasValue = i + 1 < a.size();
        if (a[i] == "--sections" && hasValue) {
            request->sections = ParseBrakSections(a[++i]);
            if (request->sections == 0)
                return Fail("unknown section in '" + a[i] + "' (comm, config, fonts, images)",
                            kUsage);
        } else if (a[i] == "--log" && hasValue) {
            request->logFile = a[++i];
        } else if (a[i] == "--print") {
            request->print = true;
        } else {
            return Fail(kBrakReportUsage, kUsage);
        }
    }
    if (request->print == !request->logFile.empty())
        return Fail(kBrakReportUsage, kUsage);
    return 0;
}

int PrintFailed(int rc) {
    switch (rc) {
        case PCU_ERR_NO_PRINTER:
            return Fail("there is no default print queue (the printer reads \"Unknown\")");
        case PCU_ERR_PRINT_CANCELLED:
            return Fail("printing the report was cancelled");
        default:
            return Fail("the print system did not take the report (code " + std::to_string(rc) +
                        ")");
    }
}

}  // namespace

int RunBrakReport(int ctx, const CommandLine& line) {
    BrakReportRequest request;
    if (const int status = ParseBrakReport(line, &request); status != 0)
        return status;
    StreamFile log(request.logFile);
    std::string error;
    if (!log.Prepare(false, &error))
        return Fail(error);
    // Without a print queue there is nothing to read the printer for.
    if (request.print && app::BrakReportPrinterName() == "Unknown")
        return PrintFailed(PCU_ERR_NO_PRINTER);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    if (const app::OpResult read = s.printer().ReadPrinterIdentity(); !read.ok())
        std::cerr << "tarvo: warning: " << app::Describe(read) << "\n";
    const app::BrakReportData data =
        app::GatherBrakReport(s.printer(), s.session(), request.sections);
    for (const std::string& problem : app::BrakReportErrors(data))
        std::cerr << "tarvo: " << problem << "\n";
    const std::vector<std::string> lines = app::BrakReportLines(data);
    const std::tm now = app::BrakReportNow();
    if (request.print) {
        if (const int rc = app::PrintBrakReport(lines, now); rc != PCU_OK)
            return PrintFailed(rc);
        std::cout << "The report was sent to the default print queue.\n";
        return 0;
    }
    if (const app::OpResult written = app::WriteBrakReportLog(log.path(), lines, now);
        !written.ok())
        return Fail(written.detail);
    if (!log.Deliver(&error))
        return Fail(error);
    log.messages() << "The report was written to " << log.name(true) << ".\n";
    return 0;
}

}  // namespace tarvo::cli
