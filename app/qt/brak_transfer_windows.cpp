// The progress window of a Brakenholm transfer, the reboot with its Cancel, and the windows a
// transfer road asks for.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "brakenholm/brak_printer.h"
#include "desk/lan_strings.h"
#include "desk/startup.h"
#include "qt/brak_transfer_windows.h"
#include "qt/dialogs.h"

namespace tarvo::app::qt {
namespace {

constexpr int kBarSteps = 1000;

// A Cancel button under `layout`, which rejects the dialog (each dialog's reject cancels).
void AddCancel(QDialog* dialog, QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

std::string NoAnswerText(const Desk& desk, const OpResult& result) {
    std::string text = result.detail + ".";
    if (const CBrakPrinter* brak = AsBrakPrinter(desk.session.printer.get())) {
        text += "\n\nThe host is on " + HostLineText(desk.session) + "; the printer was set to " +
                LineSettingsText(brak->GetSetup()) + ".";
    }
    return text + "\n\nDo you want to run Autoconnect now?";
}

}  // namespace

CBrakXferMonitor::CBrakXferMonitor(QWidget* parent, TransferKind kind) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(TransferTitle(kind)));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel(tr("Starting the transfer"));
    bar_ = new QProgressBar;
    bar_->setRange(0, kBarSteps);
    bar_->setValue(0);
    echo_ = new QPlainTextEdit;
    echo_->setReadOnly(true);
    echo_->setPlaceholderText(tr("What the printer prints appears here."));
    echo_->setMaximumHeight(80);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addWidget(echo_);
    AddCancel(this, layout);
    setMinimumWidth(360);
    show();
    Idle();
}

void CBrakXferMonitor::TransferMessage(const std::string& text) {
    message_->setText(QString::fromStdString(text));
}

void CBrakXferMonitor::TransferProgress(std::uint64_t done, std::uint64_t total) {
    bar_->setValue(total == 0 ? kBarSteps : static_cast<int>(done * kBarSteps / total));
}

bool CBrakXferMonitor::TransferAbort() {
    return aborted_;
}

void CBrakXferMonitor::AsciiPrinter(char byte) {
    if (byte == '\r')
        return;
    echo_->moveCursor(QTextCursor::End);
    echo_->insertPlainText(QString(QChar::fromLatin1(byte)));
}

QString CBrakXferMonitor::echoed() const {
    return echo_->toPlainText();
}

void CBrakXferMonitor::Idle() {
    // The window is application-modal: input reaches only its Cancel.
    QCoreApplication::processEvents();
}

CBrakRebootDlg::CBrakRebootDlg(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
    setWindowTitle(tr("Reboot"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Rebooting the printer...\nThis takes up to two minutes.")));
    AddCancel(this, layout);
}

OpResult CBrakRebootDlg::Run(bool waitForAnswer) {
    CBrakPrinter* brak = AsBrakPrinter(desk_.session.printer.get());
    if (brak == nullptr)
        return {OpStatus::NotSupported, std::nullopt, "only Brakenholm printers reboot on command"};
    show();
    SetStatusText(desk_, text::kRebooting);
    RebootControl control;
    control.waitForAnswer = waitForAnswer;
    control.cancelled = [this] {
        QCoreApplication::processEvents();
        return cancelled_;
    };
    const OpResult result = brak->Reboot(control);
    hide();
    SetStatusText(desk_, text::kHelpPrompt);
    if (result.status == OpStatus::NoAnswer) {
        if (desk_.prompt.Ask({"Reboot", NoAnswerText(desk_, result), PromptButtons::YesNo,
                              PromptIcon::Exclamation, PromptAnswer::Yes}) == PromptAnswer::Yes) {
            IdentifyHooks hooks;
            hooks.autoConnect = [this] { return RunConnectionTest(parentWidget(), desk_); };
            AutoConnect(desk_, hooks);
        }
        return result;
    }
    if (result.ok() && !waitForAnswer) {
        desk_.prompt.Tell("Reboot",
                          "The printer now runs the other language's firmware.\nPlease run "
                          "Autoconnect to re-establish a connection.",
                          PromptIcon::Information);
    }
    return TellIfFailed(desk_, result);
}

std::unique_ptr<fwxfer::GFMonitor> QtTransferWindows::OpenMonitor(TransferKind kind) {
    return std::make_unique<CBrakXferMonitor>(parent_, kind);
}

void QtTransferWindows::OfferReboot(bool waitForAnswer) {
    const Question offer{"Tarvo",
                         "You must reboot the printer to complete the installation of the "
                         "previously transfered file.\n\nDo you wish to reboot now?",
                         PromptButtons::OkCancel, PromptIcon::Question, PromptAnswer::Ok};
    if (desk_.prompt.Ask(offer) != PromptAnswer::Ok)
        return;
    CBrakRebootDlg(parent_, desk_).Run(waitForAnswer);
}

void RunBrakRebootDialog(QWidget* parent, Desk& desk) {
    CBrakRebootDlg(parent, desk).Run(true);
}

}  // namespace tarvo::app::qt
