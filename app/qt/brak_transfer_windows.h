// The transfer windows of a Brakenholm printer: the progress window of a Zmodem transfer, the
// reboot with its Cancel, and the font and image choosers. Each runs modally over `parent` and
// works on the program's desk.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "desk/firmware_zmodem.h"
#include "fwxfer/gf_monitor.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tarvo::app::qt {

// The progress window of one transfer: the sender's messages, a bar, what the printer printed
// outside the transfer, and Cancel. It is application-modal while it lives, so the events it
// runs between the sender's waits repaint the program and reach only its own Cancel.
class CBrakXferMonitor final : public QDialog, public fwxfer::GFMonitor {
  public:
    CBrakXferMonitor(QWidget* parent, TransferKind kind);

    void TransferMessage(const std::string& text) override;
    void TransferProgress(std::uint64_t done, std::uint64_t total) override;
    bool TransferAbort() override;
    void AsciiPrinter(char byte) override;
    void Idle() override;

    // Presses Cancel; closing the window and Escape do the same.
    void RequestAbort() { aborted_ = true; }
    void reject() override { RequestAbort(); }
    // The printer's own bytes shown so far.
    QString echoed() const;

  private:
    QLabel* message_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPlainTextEdit* echo_ = nullptr;
    bool aborted_ = false;
};

// The reboot: "Rebooting the printer..." with Cancel while the printer object waits for DSR and
// for "ok"; a printer that does not answer is offered Autoconnect.
class CBrakRebootDlg final : public QDialog {
  public:
    CBrakRebootDlg(QWidget* parent, Desk& desk);
    // Sends the reboot and waits as the printer object does; tells how it ended.
    OpResult Run(bool waitForAnswer);
    // Closing the window and Escape cancel the wait, as Cancel does.
    void reject() override { cancelled_ = true; }

  private:
    Desk& desk_;
    bool cancelled_ = false;
};

// The windows a transfer road asks for, as dialogs over `parent`.
class QtTransferWindows final : public TransferWindows {
  public:
    QtTransferWindows(QWidget* parent, Desk& desk) : parent_(parent), desk_(desk) {}
    std::unique_ptr<fwxfer::GFMonitor> OpenMonitor(TransferKind kind) override;
    void OfferReboot(bool waitForAnswer) override;

  private:
    QWidget* parent_;
    Desk& desk_;
};

// Configuration > Fonts of a Brakenholm printer: an installed face or a *.ttf file, the name on
// the printer, the fonts the printer holds, and Send.
class CBrakFontDlg final : public QDialog {
  public:
    CBrakFontDlg(QWidget* parent, Desk& desk);
    // Reads what the printer holds into the list.
    void refreshHeld();

  private:
    void chooseFile();
    void faceChosen();
    void send();

    Desk& desk_;
    QListWidget* faces_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLineEdit* name_ = nullptr;
    QListWidget* held_ = nullptr;
    QPushButton* send_ = nullptr;
    std::vector<std::string> heldNames_;
};

// Configuration > Graphics of a Brakenholm printer: a monochrome PCX or BMP file, the image's
// name, the images the printer holds, and Send.
class CBrakImageDlg final : public QDialog {
  public:
    CBrakImageDlg(QWidget* parent, Desk& desk);
    void refreshHeld();

  private:
    void chooseFile();
    void send();

    Desk& desk_;
    QLineEdit* path_ = nullptr;
    QLineEdit* name_ = nullptr;
    QListWidget* held_ = nullptr;
    QPushButton* send_ = nullptr;
    std::vector<std::string> heldNames_;
};

// Opens the dialogs above.
void RunBrakFontDialog(QWidget* parent, Desk& desk);
void RunBrakImageDialog(QWidget* parent, Desk& desk);
void RunBrakRebootDialog(QWidget* parent, Desk& desk);

}  // namespace tarvo::app::qt
