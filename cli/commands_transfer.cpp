// `tarvo files`, `tarvo reboot` and the Zmodem roads of `tarvo firmware download`: files and
// firmware to a printer on script hardware over Zmodem, with a progress line on a terminal.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "brakenholm/brak_text.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "console_prompt.h"
#include "desk/firmware_messages.h"
#include "desk/firmware_zmodem.h"
#include "fwxfer/gf_monitor.h"
#include "gaugebar.h"
#include "json_output.h"

namespace tarvo::cli {
namespace {

using app::OpResult;

int TransferFailed(const std::string& what, const OpResult& result) {
    return Fail(what + ": " + app::Describe(result));
}

// The progress line of a transfer (silent when standard error is not a terminal).
class TransferProgressLine final : public fwxfer::GFMonitor {
  public:
    explicit TransferProgressLine(const char* title) { InitProgressBar(title, 0, 100); }
    ~TransferProgressLine() override { DeleteProgressBar(); }
    void TransferProgress(std::uint64_t done, std::uint64_t total) override {
        RunProgressBar(total == 0 ? 100 : static_cast<std::int32_t>(done * 100 / total));
    }
};

// Images go in raw with IMAGE LOAD; everything else (fonts above all) over Zmodem.
app::TransferKind KindOf(const std::string& path) {
    const std::string extension = app::AsciiLower(std::filesystem::path(path).extension().string());
    return extension == ".pcx" || extension == ".bmp" ? app::TransferKind::Image
                                                      : app::TransferKind::Font;
}

// The printer's setup listing holds the line settings a transfer restores afterwards.
bool ReadLineSettings(BrakenholmSession& s) {
    if (s.printer().ReadSetupListing().parsed)
        return true;
    Fail("the printer did not send a setup listing that could be read");
    return false;
}

int PutFile(BrakenholmSession& s, const CommandLine& line) {
    const auto& a = line.args;
    std::string path, name;
    for (std::size_t i = 1; i < a.size(); ++i) {
        if (a[i] == "--as" && i + 1 < a.size())
            name = a[++i];
        else if (path.empty() && !a[i].starts_with("--"))
            path = a[i];
        else
            return Fail("usage: tarvo files put FILE [--as NAME] [--yes]", kUsage);
    }
    if (path.empty())
        return Fail("usage: tarvo files put FILE [--as NAME] [--yes]", kUsage);
    if (name.empty())
        name = std::filesystem::path(path).filename().string();
    if (!ReadLineSettings(s))
        return 1;
    const app::TransferKind kind = KindOf(path);
    TransferProgressLine progress(app::TransferTitle(kind));
    if (const OpResult r = s.printer().DownloadFile(path, kind, name, progress); !r.ok())
        return TransferFailed("sending " + path + " failed", r);
    std::cout << "Stored " << name << " on the " << s.session().modelName << ".\n";
    return 0;
}

int RebootNow(BrakenholmSession& s, bool waitForAnswer = true) {
    std::cout << "Rebooting the printer...\n" << std::flush;
    if (const OpResult r = s.printer().Reboot(app::RebootControl{waitForAnswer, {}}); !r.ok()) {
        if (r.status != app::OpStatus::NoAnswer)
            return TransferFailed("the reboot did not complete", r);
        // Both sides' line settings, so the operator knows what to look for.
        return Fail(r.detail + ". The host is on " + app::HostLineText(s.session()) +
                    "; the printer was set to " + app::LineSettingsText(s.printer().GetSetup()) +
                    ". Run tarvo autoconnect to find it.");
    }
    std::cout << (waitForAnswer ? "The printer is back.\n"
                                : "The printer now runs the other language's firmware; run "
                                  "tarvo autoconnect to find it again.\n");
    return 0;
}

// The transfer windows of the command line: the progress line, and the end's notice.
class TerminalTransferWindows final : public app::TransferWindows {
  public:
    std::unique_ptr<fwxfer::GFMonitor> OpenMonitor(app::TransferKind kind) override {
        return std::make_unique<TransferProgressLine>(app::TransferTitle(kind));
    }
    void OfferReboot(bool waitForAnswer) override {
        std::cout << app::RestartByHandText(!waitForAnswer) << "\n";
    }
};

// The operator of the escape-language road: the question about the file was allowed by --yes
// or answered at the terminal; status texts and the closing notice go to stdout, other notices
// to stderr.
class ZmodemFirmwareConsole final : public ConsolePrompt {
  public:
    explicit ZmodemFirmwareConsole(const CommandLine& line) : ConsolePrompt(OptionsFor(line)) {}

    app::PromptAnswer Ask(const app::Question& question) override {
        if (question.buttons == app::PromptButtons::Ok &&
            question.icon == app::PromptIcon::Information) {
            std::cout << question.text << "\n";
            return app::PromptAnswer::Ok;
        }
        return ConsolePrompt::Ask(question);
    }

  private:
    static app::TerminalOptions OptionsFor(const CommandLine& line) {
        app::TerminalOptions options;
        options.acceptQuestions = line.options.yes;
        return options;
    }
};

}  // namespace

int RunEscapeZmodemFirmware(int ctx, const CommandLine& line, const std::string& path) {
    // Refused before a byte of the file goes: nobody is there to agree to the download.
    if (!line.options.yes && !::isatty(STDIN_FILENO))
        return Fail("a firmware download asks first; off a terminal give --yes", kUsage);
    ZmodemFirmwareConsole console(line);
    app::AppSession session;
    session.kernelHandle = ctx;
    app::ReadSettings(session, console);
    app::Desk desk(session, console);
    TerminalTransferWindows windows;
    const app::FirmwareOutcome outcome =
        app::RunZmodemFirmware(desk, app::FirmwareRequest{path, false}, windows);
    if (!outcome.refusal.empty())
        return Fail(outcome.refusal);
    if (outcome.result == app::kFirmwareDeclined)
        return Fail("nothing sent");
    if (outcome.result != 0)
        return Fail("the firmware download failed: " + app::FirmwareResultMessage(outcome.result));
    return 0;
}

int RunFiles(int ctx, const CommandLine& line) {
    const std::string verb = line.args.empty() ? "" : line.args[0];
    if (verb == "list")
        return RunFileListing(ctx, line);
    if (verb == "delete")
        return RunFileDeletion(ctx, line);
    if (verb != "put")
        return Fail("usage: tarvo files list [DEVICE] | put FILE [--as NAME] | delete NAME...",
                    kUsage);
    if (line.options.json)
        return Fail("files " + verb + " shows nothing to write as JSON", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    return PutFile(s, line);
}

int RunReboot(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("usage: tarvo reboot [--yes]", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    if (const Consent c = Confirm(line, "Reboot the " + s.session().modelName + "?");
        c != Consent::Given)
        return Declined(c, "nothing sent");
    return RebootNow(s);
}

int RunBrakFirmware(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    if (a.size() != 2 || a[0] != "download")
        return Fail("usage: tarvo firmware download FILE.bin [--yes]", kUsage);
    if (!line.options.yes && !::isatty(STDIN_FILENO))
        return Fail("a firmware download asks first; off a terminal give --yes", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx) || !ReadLineSettings(s))
        return 1;
    TransferProgressLine progress(app::TransferTitle(app::TransferKind::Firmware));
    bool kindChanges = false;
    const OpResult r = s.printer().FirmwareDownload(a[1], progress, &kindChanges);
    if (r.status == app::OpStatus::Cancelled)
        return Fail("nothing sent");
    if (!r.ok())
        return TransferFailed("the firmware download failed", r);
    std::cout << "The firmware file is on the printer.\n";
    if (const Consent c = Confirm(line,
                                  "You must reboot the printer to complete the installation of "
                                  "the previously transfered file.\nDo you wish to reboot now?");
        c != Consent::Given)
        return Declined(c, "reboot the printer to run the new firmware");
    return RebootNow(s, !kindChanges);
}

}  // namespace tarvo::cli
