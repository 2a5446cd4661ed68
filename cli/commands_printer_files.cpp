// `tarvo files list|delete`, `tarvo clock` and `tarvo startup-program`: a Brakenholm printer's
// file system, clock and start-up program.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "brakenholm/brak_clock.h"
#include "brakenholm/brak_files.h"
#include "brakenholm/brak_model.h"
#include "brakenholm/brak_startup.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_transfer.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"

namespace tarvo::cli {
namespace {

using app::OpResult;

std::string MainDevice(BrakenholmSession& s) {
    return app::HasFlashDrive(s.printer().Model()) ? "c:" : "ram:";
}

std::string EntryLine(const app::DirectoryEntry& entry) {
    char line[96];
    std::snprintf(line, sizeof line, "%-30s %10s\n", entry.FileName().c_str(), entry.size.c_str());
    return line;
}

Json ListingJson(const std::string& device, const app::BrakFilesListing& listing) {
    Json entries = Json::array();
    for (const app::DirectoryEntry& e : listing.entries) {
        entries.push_back({{"name", Utf8Text(e.name)},
                           {"extension", Utf8Text(e.extension)},
                           {"size", app::ParseDecimal(e.size)}});
    }
    Json out = {{"device", device}, {"entries", entries}};
    out["freeBytes"] = listing.freeBytes ? Json(*listing.freeBytes) : Json(nullptr);
    out["complete"] = listing.complete && !listing.truncated;
    return out;
}

// Why a listing is not whole, or empty when it is.
std::string ListingProblem(const std::string& device, const app::BrakFilesListing& listing) {
    if (!listing.answered)
        return "the printer did not answer the listing of " + device;
    if (!listing.error.empty())
        return device + ": " + listing.error;
    if (listing.truncated)
        return "the listing of " + device + " was longer than " +
               std::to_string(app::kMaxListingBytes) + " bytes and was cut short after " +
               std::to_string(listing.entries.size()) + " files";
    if (!listing.complete)
        return "the listing of " + device + " ended before its closing line; " +
               std::to_string(listing.entries.size()) + " files were read";
    return {};
}

int ListFiles(BrakenholmSession& s, const CommandLine& line) {
    std::vector<std::string> devices;
    bool system = false;
    for (std::size_t i = 1; i < line.args.size(); ++i) {
        if (line.args[i] == "--system")
            system = true;
        else if (app::IsPrinterDevice(line.args[i]) && devices.empty())
            devices.push_back(app::AsciiLower(line.args[i]));
        else
            return Fail("usage: tarvo files list [DEVICE] [--system] [--json]", kUsage);
    }
    const bool named = !devices.empty();
    if (!named)
        devices = {MainDevice(s)};
    if (!named && devices.front() != "ram:")
        devices.push_back("ram:");
    int status = 0;
    Json listed = Json::array();
    for (const std::string& device : devices) {
        const app::BrakFilesListing listing = app::ListDirectory(s.printer(), device, system);
        const std::string problem = ListingProblem(device, listing);
        if (!problem.empty()) {
            Fail(problem);
            status = 1;
            if (!listing.answered || !listing.error.empty())
                continue;
        }
        if (line.options.json) {
            listed.push_back(ListingJson(device, listing));
            continue;
        }
        std::cout << device << "\n";
        for (const app::DirectoryEntry& entry : listing.entries)
            std::cout << EntryLine(entry);
        std::cout << listing.entries.size() << " object(s)";
        if (listing.freeBytes)
            std::cout << ", " << *listing.freeBytes << " bytes free";
        std::cout << "\n";
    }
    if (line.options.json)
        PrintJson(listed);
    return status;
}

struct FileArgument {
    std::string device;
    std::string name;
};

// "NAME" (on the printer's main device), "c:/NAME" or "c:NAME".
std::optional<FileArgument> ParseFileArgument(const std::string& text, const std::string& main,
                                              std::string* problem) {
    FileArgument file{main, text};
    if (const std::size_t colon = text.find(':'); colon != std::string::npos) {
        file.device = app::AsciiLower(text.substr(0, colon + 1));
        file.name = text.substr(colon + 1);
        if (!file.name.empty() && file.name.front() == '/')
            file.name.erase(0, 1);
        if (!app::IsPrinterDevice(file.device)) {
            *problem = "\"" + file.device + "\" is not a device of the printer";
            return std::nullopt;
        }
    }
    if (const auto bad = app::PrinterFileNameProblem(file.name)) {
        *problem = "\"" + text + "\": " + *bad + ".";
        return std::nullopt;
    }
    if (app::IsSystemFile(file.device, file.name)) {
        *problem = "The file '" + file.name + "' is a system file. It cannot be deleted.";
        return std::nullopt;
    }
    return file;
}

int DeleteFiles(BrakenholmSession& s, const CommandLine& line) {
    if (line.args.size() < 2)
        return Fail("usage: tarvo files delete NAME... [--yes]", kUsage);
    std::vector<FileArgument> files;
    for (std::size_t i = 1; i < line.args.size(); ++i) {
        std::string problem;
        const auto file = ParseFileArgument(line.args[i], MainDevice(s), &problem);
        if (!file)
            return Fail(problem + " Nothing was deleted.", kUsage);
        files.push_back(*file);
    }
    const std::string question =
        files.size() == 1
            ? "Are you sure you want to delete \n'" +
                  app::FilePath(files[0].device, files[0].name) + "'?"
            : "Are you sure you want to delete these " + std::to_string(files.size()) + " files?";
    if (const Consent c = Confirm(line, question, Stakes::Erasure); c != Consent::Given)
        return Declined(c, "nothing deleted");
    int status = 0;
    for (const std::string& device :
         {std::string("c:"), std::string("ram:"), std::string("tmp:"), std::string("card1:"),
          std::string("card2:"), std::string("card:")}) {
        std::vector<std::string> names;
        for (const FileArgument& f : files) {
            if (f.device == device)
                names.push_back(f.name);
        }
        if (names.empty())
            continue;
        const app::DeleteReport report = app::DeleteFiles(s.printer(), device, names);
        for (const std::string& name : report.deleted)
            std::cout << "Deleted " << app::FilePath(device, name) << ".\n";
        for (const auto& [name, why] : report.refused)
            status = Fail(app::FilePath(device, name) + ": " + why);
        for (const std::string& name : report.survivors)
            status = Fail("Unable to delete file '" + app::FilePath(device, name) + "' in printer" +
                          (report.relisted ? "." : " (no listing came back)."));
        for (const std::string& name : report.imagesNotRemoved)
            status = Fail("Unable to delete image in printer: " + name);
        for (const std::string& name : report.notTried)
            status = Fail(app::FilePath(device, name) + " was not tried");
    }
    return status;
}

int ClockGet(BrakenholmSession& s) {
    const auto clock = app::ReadClock(s.printer());
    if (!clock)
        return Fail("Can't get current time from printer.");
    std::cout << app::FormatClock(*clock) << "\n";
    return 0;
}

bool ParseDate(const std::string& text, int* y, int* m, int* d) {
    char end = 0;
    return text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", y, m, d, &end) == 3;
}

bool ParseTime(const std::string& text, int* h, int* m, int* sec) {
    char end = 0;
    return text.size() == 8 && std::sscanf(text.c_str(), "%2d:%2d:%2d%c", h, m, sec, &end) == 3;
}

int ClockSet(BrakenholmSession& s, const CommandLine& line) {
    const auto& a = line.args;
    app::PrinterClock wanted;
    const char* usage = "usage: tarvo clock set (--from-host | YYYY-MM-DD HH:MM:SS) [--yes]";
    if (a.size() == 2 && a[1] == "--from-host") {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        wanted = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
    } else if (a.size() != 3 || !ParseDate(a[1], &wanted.year, &wanted.month, &wanted.day) ||
               !ParseTime(a[2], &wanted.hour, &wanted.minute, &wanted.second)) {
        return Fail(usage, kUsage);
    }
    if (const Consent c =
            Confirm(line, "Set the printer's clock to " + app::FormatClock(wanted) + "?");
        c != Consent::Given)
        return Declined(c, "the clock is unchanged");
    if (const OpResult r = app::SetPrinterDate(s.printer(), wanted.year, wanted.month, wanted.day);
        !r.ok())
        return Fail("Set Date: " + app::Describe(r),
                    r.status == app::OpStatus::Refused ? kUsage : 1);
    if (const OpResult r =
            app::SetPrinterTime(s.printer(), wanted.hour, wanted.minute, wanted.second);
        !r.ok())
        return Fail("Set Time: " + app::Describe(r),
                    r.status == app::OpStatus::Refused ? kUsage : 1);
    return ClockGet(s);
}

int StartupGet(BrakenholmSession& s) {
    const auto version0 = app::ReadCommandMode(s.printer());
    if (!version0)
        return Fail("the printer did not say its application mode");
    std::cout << "Current application mode: " << *version0 << "\n";
    return 0;
}

int SwitchMode(BrakenholmSession& s, bool wantLineMode) {
    const auto version0 = app::ReadCommandMode(s.printer());
    if (!version0)
        return Fail("the printer did not say its application mode; nothing sent");
    if (app::InLineMode(*version0) == wantLineMode) {
        std::cout << "The printer is already in that mode; nothing sent.\n";
        return StartupGet(s);
    }
    const app::ModeSwitch outcome = app::SwitchCommandMode(s.printer());
    if (!outcome.result.ok())
        return Fail("the mode switch: " + app::Describe(outcome.result));
    std::cout << "Current application mode: " << outcome.version0 << "\n";
    return 0;
}

int StartupSet(BrakenholmSession& s, const CommandLine& line) {
    if (line.args.size() != 2)
        return Fail(
            "usage: tarvo startup-program set tallyscript|swiftlane|windows-driver|"
            "labelkit|APPLICATION [--yes]",
            kUsage);
    const std::string& name = line.args[1];
    if (name == "tallyscript" || name == "swiftlane")
        return SwitchMode(s, name == "swiftlane");
    app::StartupProgram program = app::StartupProgram::UserApplication;
    if (name == "windows-driver")
        program = app::StartupProgram::WindowsDriver;
    else if (name == "labelkit")
        program = app::StartupProgram::Labelkit;
    const app::RunLine run = app::StartupRunLine(s.printer().SetupGeneration(), program, name);
    if (!run.line)
        return Fail(run.problem + "; nothing sent", kUsage);
    const std::string question =
        program == app::StartupProgram::UserApplication
            ? app::UserApplicationWarning(name)
            : "Once the printer runs this program it no longer answers Tarvo. Go ahead?";
    if (const Consent c = Confirm(line, question, Stakes::Erasure); c != Consent::Given)
        return Declined(c, "nothing sent");
    if (const OpResult r = app::RunStartupProgram(s.printer(), program, name); !r.ok())
        return Fail("starting the program: " + app::Describe(r));
    std::cout << "The printer now runs " << *run.line << "; it no longer answers Tarvo.\n";
    return 0;
}

bool OpenSession(BrakenholmSession& s, int ctx, const CommandLine& line) {
    if (line.options.json && line.command != "files")
        return Fail("tarvo " + line.command + " shows nothing to write as JSON", kUsage), false;
    return s.open(ctx);
}

}  // namespace

int RunFileListing(int ctx, const CommandLine& line) {
    BrakenholmSession s(line);
    if (!OpenSession(s, ctx, line))
        return 1;
    return ListFiles(s, line);
}

int RunFileDeletion(int ctx, const CommandLine& line) {
    if (line.options.json)
        return Fail("files delete shows nothing to write as JSON", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    return DeleteFiles(s, line);
}

int RunClock(int ctx, const CommandLine& line) {
    const std::string verb = line.args.empty() ? "" : line.args[0];
    if (verb != "get" && verb != "set")
        return Fail("usage: tarvo clock get | set (--from-host | YYYY-MM-DD HH:MM:SS) [--yes]",
                    kUsage);
    if (verb == "get" && line.args.size() != 1)
        return Fail("usage: tarvo clock get", kUsage);
    BrakenholmSession s(line);
    if (!OpenSession(s, ctx, line))
        return 1;
    return verb == "get" ? ClockGet(s) : ClockSet(s, line);
}

int RunStartupProgram(int ctx, const CommandLine& line) {
    const std::string verb = line.args.empty() ? "" : line.args[0];
    if (!((verb == "get" && line.args.size() == 1) || verb == "set"))
        return Fail("usage: tarvo startup-program get | set NAME [--yes]", kUsage);
    BrakenholmSession s(line);
    if (!OpenSession(s, ctx, line))
        return 1;
    return verb == "get" ? StartupGet(s) : StartupSet(s, line);
}

}  // namespace tarvo::cli
