#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>

#include <filesystem>
#include <string>

#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/lan_strings.h"
#include "desk/printer_commands.h"
#include "shell/settings.h"
#include "tarvo/config.h"
#include "tarvo/port.h"
#include "tarvo/services.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr const char* kResetDone = "Your printer has been successfully reset to its default state.";
constexpr const char* kResetLost = "Could not connect to printer after reset.";
constexpr int kSettleMs = 5000;

void ReloadAfterReset(Desk& desk) {
    LanConfig& c = desk.config;
    PCUWait(kSettleMs);
    if (PCUGetCfg(desk.ctx()) != PCU_OK)
        ShowWarning(desk, 0);
    PCUGetOptions(desk.ctx(), &c.options[0], &c.options[1], &c.options[2]);
    ReadPrinterObjects(desk, false, true);
    if (FetchPrinterValues(desk) != PCU_OK)
        ShowWarning(desk, 0);
}

ExitChoice AskExit(Prompt& prompt) {
    Question q;
    q.caption = "Tarvo";
    q.text =
        "Do you want to save your changes?\n\nYes saves them to a file; No exits without "
        "saving.";
    q.buttons = PromptButtons::YesNoCancel;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Yes;
    switch (prompt.Ask(q)) {
        case PromptAnswer::Yes:
            return ExitChoice::SaveToFile;
        case PromptAnswer::No:
            return ExitChoice::ExitOnly;
        default:
            return ExitChoice::Cancel;
    }
}

// The mount point of the file system holding `dir`: the highest ancestor on the same device.
std::string MountPoint(const std::filesystem::path& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return dir.string();
    std::filesystem::path here = dir;
    while (here.has_parent_path() && here.parent_path() != here) {
        struct stat up {};
        if (::stat(here.parent_path().c_str(), &up) != 0 || up.st_dev != st.st_dev)
            break;
        here = here.parent_path();
    }
    return here.string();
}

}  // namespace

ResetPoll::State ResetPoll::Tick() {
    if (state_ != State::Waiting)
        return state_;
    if (PCUPong(desk_.ctx()) != 0) {
        state_ = State::Back;
        ReloadAfterReset(desk_);
        desk_.session.flags.configNotRetrieved = false;
        desk_.prompt.Tell("Notice", kResetDone, PromptIcon::Information);
        return state_;
    }
    elapsedMs_ += kTickMs;
    if (elapsedMs_ >= kLimitMs) {
        state_ = State::GaveUp;
        desk_.prompt.Tell("Notice", kResetLost, PromptIcon::Information);
    }
    return state_;
}

// A Brakenholm printer restores its factory setup through its printer object; the operator
// hears whether it came back.
OpResult ResetScriptPrinter(Desk& desk) {
    const OpResult r = desk.session.printer->RestoreSetupDefaults();
    if (r.ok())
        desk.prompt.Tell("Notice", kResetDone, PromptIcon::Information);
    else if (r.status == OpStatus::NoAnswer)
        desk.prompt.Tell("Notice", kResetLost, PromptIcon::Information);
    else
        TellIfFailed(desk, r);
    return r;
}

bool SendReset(Desk& desk) {
    if (PCUResetPrinter(desk.ctx()) == PCU_OK)
        return true;
    ShowWarning(desk, text::kResetFailed);
    return false;
}

OpResult ResetPrinter(Desk& desk) {
    if (desk.session.printer->IsScriptFamily())
        return ResetScriptPrinter(desk);
    if (!SendReset(desk))
        return {OpStatus::Failed, std::nullopt, text::StringText(text::kResetFailed)};
    BusyScope busy(desk.prompt);
    ResetPoll poll(desk);
    for (;;) {
        PCUWait(ResetPoll::kTickMs);
        const ResetPoll::State state = poll.Tick();
        if (state == ResetPoll::State::Back)
            return {};
        if (state == ResetPoll::State::GaveUp)
            return {OpStatus::NoAnswer, std::nullopt, kResetLost};
    }
}

void SetMeasurements(Desk& desk, bool metric) {
    desk.session.metric = metric;
    WriteSetting(setting::kMeasurements, metric ? "Metric" : "English");
}

bool ToggleStartupGuide(Desk& desk) {
    desk.session.startupGuide = !desk.session.startupGuide;
    WriteSetting(setting::kViewStartup, desk.session.startupGuide ? "1" : "0");
    return desk.session.startupGuide;
}

bool MayClose(Desk& desk, const ExitDialog& dialog) {
    if (!desk.session.flags.modified)
        return true;
    switch (dialog ? dialog() : AskExit(desk.prompt)) {
        case ExitChoice::SaveToFile:
            return SaveConfigAs(desk).ok();
        case ExitChoice::SendToPrinter:
            return SendToPrinter(desk).ok();
        case ExitChoice::ExitOnly:
            return true;
        case ExitChoice::Cancel:
            return false;
    }
    return false;
}

AboutFigures ReadAboutFigures() {
    AboutFigures f{text::StringText(text::kUnavailable), text::StringText(text::kUnavailable)};
    struct sysinfo info {};
    if (::sysinfo(&info) == 0) {
        const unsigned long long kb =
            static_cast<unsigned long long>(info.totalram) * info.mem_unit / 1024;
        f.memory = Format(text::StringText(text::kAboutMemory), static_cast<unsigned long>(kb));
    }
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    struct statvfs vfs {};
    if (!ec && ::statvfs(cwd.c_str(), &vfs) == 0) {
        const unsigned long long kb =
            static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize / 1024;
        f.freeSpace = Format(text::StringText(text::kAboutFreeSpace),
                             static_cast<unsigned long>(kb), MountPoint(cwd).c_str());
    }
    return f;
}

}  // namespace tarvo::app
