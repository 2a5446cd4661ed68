// What each menu entry does: the core's command with the window's own part (dialogs that gather
// the core's arguments, the reset poll's timer, the toolbar and the guide).
#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>

#include "desk/doc_commands.h"
#include "desk/send_changes.h"
#include "qt/brak_cfg_sheet.h"
#include "qt/brak_media_sheet.h"
#include "qt/brak_print_dialogs.h"
#include "qt/brak_transfer_windows.h"
#include "qt/dialogs.h"
#include "qt/help_window.h"
#include "qt/main_window.h"
#include "qt/select_printer_dialog.h"

namespace tarvo::app::qt {
namespace {

// Holds the busy flag for one command; a nested command (a dialog's button, a menu entry
// reached while a wait pumps events) finds it set and does nothing.
class BusyFlag {
  public:
    explicit BusyFlag(bool& flag) : flag_(flag), held_(!flag) { flag_ = true; }
    ~BusyFlag() {
        if (held_)
            flag_ = false;
    }
    bool held() const { return held_; }

  private:
    bool& flag_;
    bool held_;
};

}  // namespace

void MainWindow::notAvailableYet(CommandId id) {
    const CommandInfo* info = FindCommand(id);
    QString name = info ? QString::fromLatin1(info->menu).split(" > ").last() : QString();
    name.remove("...");
    desk_.prompt.Tell("Tarvo", (name + tr(" is not available yet.")).toStdString(),
                      PromptIcon::Information);
}

void MainWindow::runCommand(CommandId id) {
    BusyFlag busy(busy_);
    if (!busy.held() || !CommandEnabled(id, desk_.session))
        return;
    if (!CommandBuiltForFamily(id, desk_.session)) {
        notAvailableYet(id);
        return;
    }
    switch (id) {
        case CommandId::Open:
            OpenConfigFile(desk_);
            break;
        case CommandId::SaveAs:
            SaveConfigAs(desk_);
            break;
        case CommandId::Exit:
            QTimer::singleShot(0, this, &QWidget::close);
            break;
        case CommandId::MainToolbar:
            toolbar_->setVisible(toolbar_->isHidden());
            break;
        case CommandId::StartupGuide:
            ToggleStartupGuide(desk_);
            break;
        case CommandId::Metric:
        case CommandId::UsUnits:
            SetMeasurements(desk_, id == CommandId::Metric);
            break;
        case CommandId::LoadFromPrinter:
            LoadFromPrinter(desk_);
            break;
        case CommandId::SendToPrinter:
            SendToPrinter(desk_);
            break;
        case CommandId::UndoLastSend:
            UndoLastSend(desk_);
            break;
        case CommandId::SetToDefault:
            SetToDefault(desk_);
            break;
        case CommandId::ResetPrinter:
            startReset();
            break;
        case CommandId::SelectPrinter:
            selectPrinter();
            break;
        case CommandId::ChangeFirmware:
            RunFirmwareDialog(this, desk_);
            break;
        case CommandId::TestPrint:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakTestPrintDialog(this, desk_);
            else
                RunTestPrintDialog(this, desk_);
            break;
        case CommandId::AutoConnect:
            AutoConnect(desk_, identifyHooks());
            break;
        case CommandId::PrintReport:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakReportDialog(this, desk_);
            else
                RunReportDialog(this, desk_);
            break;
        case CommandId::PrinterConfig:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakCfgSheet(this, desk_);
            else
                RunPrinterSheet(this, desk_);
            break;
        case CommandId::SelectStartupProg:
            // The printer now runs the program and no longer answers: the program closes,
            // asking first to save a modified configuration.
            if (RunBrakStartupProgDlg(this, desk_))
                QTimer::singleShot(0, this, &QWidget::close);
            break;
        case CommandId::Communications:
            RunCommSheet(this, desk_);
            break;
        case CommandId::MediaType:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakMediaSheet(this, desk_);
            else
                RunMediaSheet(this, desk_);
            break;
        case CommandId::MediaHandling:
            RunMediaHandlingDialog(this, desk_);
            break;
        case CommandId::Fonts:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakFontDialog(this, desk_);
            else
                RunFontSheet(this, desk_);
            break;
        case CommandId::Graphics:
            if (desk_.session.printer->IsScriptFamily())
                RunBrakImageDialog(this, desk_);
            else
                RunGraphicSheet(this, desk_);
            break;
        case CommandId::CommandFile:
            RunCommandFileDialog(this, desk_);
            break;
        case CommandId::Diagnostics:
            RunDiagnosticsDialog(this, desk_);
            break;
        case CommandId::Reboot:
            RunBrakRebootDialog(this, desk_);
            break;
        case CommandId::HelpTopics:
            ShowHelpTopic(this, kHelpContentsTopic);
            break;
        case CommandId::About:
            showAbout();
            break;
        default:
            notAvailableYet(id);
            break;
    }
    refreshCommands();
}

void MainWindow::selectPrinter() {
    SelectPrinterDialog dialog(desk_.session.model, this);
    if (dialog.exec() != QDialog::Accepted || dialog.model() < 0)
        return;
    SelectPrinter(desk_, dialog.model(), dialog.keepSettings(), identifyHooks());
}

void MainWindow::startReset() {
    if (resetPoll_ && resetPoll_->state() == ResetPoll::State::Waiting)
        return;  // a reset is already being waited for
    Question q;
    q.caption = "Tarvo";
    q.text =
        "Resetting returns all configuration parameters to their factory default states and "
        "clears stored objects.\n\nAre you sure you want to reset the printer now?\n\n"
        "Note! Network settings will not be reset.";
    q.buttons = PromptButtons::OkCancel;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Cancel;
    if (desk_.prompt.Ask(q) != PromptAnswer::Ok)
        return;
    if (desk_.session.printer->IsScriptFamily()) {
        ResetPrinter(desk_);  // the printer object waits for the printer itself
        return;
    }
    if (!SendReset(desk_))
        return;
    // The poll runs on the window's timer so that the window stays responsive meanwhile; it
    // ends by itself after ResetPoll::kLimitMs.
    resetPoll_ = std::make_unique<ResetPoll>(desk_);
    resetTimer_->start();
}

void MainWindow::resetTick() {
    if (!resetPoll_) {
        resetTimer_->stop();
        return;
    }
    BusyFlag busy(busy_);
    if (!busy.held())
        return;  // a command holds the connection: ask at the next tick
    if (resetPoll_->Tick() != ResetPoll::State::Waiting) {
        resetTimer_->stop();
        resetPoll_.reset();
    }
    refreshCommands();
}

void MainWindow::showAbout() {
    const AboutFigures figures = ReadAboutFigures();
    QMessageBox::about(this, tr("About Tarvo"),
                       tr("<b>Tarvo</b><br>Label printer configuration<br><br>"
                          "Physical memory: %1<br>Disk space: %2")
                           .arg(QString::fromStdString(figures.memory).toHtmlEscaped(),
                                QString::fromStdString(figures.freeSpace).toHtmlEscaped()));
}

}  // namespace tarvo::app::qt
