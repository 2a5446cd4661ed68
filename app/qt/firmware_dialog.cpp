// The firmware page: the operator picks the firmware file and says whether the printer is
// already in boot mode; lanmere/firmware_page.h runs the road and decides what is reported.
// The download's progress window is the kernel's progress hook, installed with the others.
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desk/firmware_page.h"
#include "desk/firmware_zmodem.h"
#include "qt/brak_transfer_windows.h"
#include "qt/dialogs.h"

namespace tarvo::app::qt {
namespace {

class FirmwareDialog final : public QDialog {
  public:
    FirmwareDialog(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
        setWindowTitle(tr("Change Firmware"));
        auto* layout = new QVBoxLayout(this);
        // A file-transfer model takes the one file over Zmodem: no boot loader, no boot mode.
        const bool zmodem = UsesFileTransferRoad(desk.session.model);
        layout->addWidget(
            new QLabel(zmodem ? tr("Firmware file (.bin):")
                              : tr("Firmware file (listfile.txt and flashldr.bin must be in "
                                   "the same directory):")));
        auto* row = new QHBoxLayout;
        path_ = new QLineEdit;
        auto* browse = new QPushButton(tr("&Browse..."));
        row->addWidget(path_);
        row->addWidget(browse);
        layout->addLayout(row);
        bootMode_ = new QCheckBox(tr("Printer in boot mode"));
        bootMode_->setVisible(!zmodem);
        layout->addWidget(bootMode_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        download_ = buttons->addButton(tr("&Download"), QDialogButtonBox::ActionRole);
        download_->setEnabled(false);
        layout->addWidget(buttons);
        connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
        connect(path_, &QLineEdit::textChanged, this,
                [this](const QString& text) { download_->setEnabled(!text.isEmpty()); });
        connect(download_, &QPushButton::clicked, this, [this] { Download(); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        setMinimumWidth(420);
    }

  private:
    void Browse() {
        const QString file = QFileDialog::getOpenFileName(
            this, tr("Firmware File"), QString(), tr("Firmware (*.bin *.exe);;All Files (*)"));
        if (!file.isEmpty())
            path_->setText(file);
    }

    void Download() {
        FirmwareRequest request;
        request.filePath = path_->text().toStdString();
        request.bootMode = bootMode_->isChecked();
        download_->setEnabled(false);
        // No wait cursor here: the road asks the operator on its way.
        QtTransferWindows windows(this, desk_);
        const FirmwareOutcome outcome = UsesFileTransferRoad(desk_.session.model)
                                            ? RunZmodemFirmware(desk_, request, windows)
                                            : RunLanmereFirmware(desk_, request);
        ReportFirmwareOutcome(desk_, outcome);
        download_->setEnabled(true);
    }

    Desk& desk_;
    QLineEdit* path_ = nullptr;
    QCheckBox* bootMode_ = nullptr;
    QPushButton* download_ = nullptr;
};

}  // namespace

void RunFirmwareDialog(QWidget* parent, Desk& desk) {
    FirmwareDialog dialog(parent, desk);
    dialog.exec();
}

}  // namespace tarvo::app::qt
