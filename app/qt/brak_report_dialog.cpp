#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "desk/desk.h"
#include "qt/brak_print_dialogs.h"
#include "tarvo/report.h"

namespace tarvo::app::qt {
namespace {

struct BrakReportItem {
    unsigned bit;
    const char* text;
};
constexpr BrakReportItem kBrakReportItems[] = {
    {kBrakReportComm, "&Communication Settings"},
    {kBrakReportConfig, "C&onfiguration Parameters"},
    {kBrakReportFonts, "Installed &Fonts"},
    {kBrakReportImages, "Installed &Images"},
};

void TellPrintFailure(Prompt& prompt, int rc) {
    if (rc == PCU_OK || rc == PCU_ERR_PRINT_CANCELLED)
        return;
    // A job that would not start has told the operator already.
    if (rc == PCU_ERR_NO_PRINTER)
        prompt.Tell("Error", "There is no printer to print the report on.", PromptIcon::Stop);
    else if (rc != PCU_ERR_PRINT)
        prompt.Tell("Error", "The report could not be printed.", PromptIcon::Stop);
}

}  // namespace

CBrakReportDlg::CBrakReportDlg(const std::string& printerName, Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
    setWindowTitle(tr("Print Report"));
    auto* layout = new QVBoxLayout(this);
    auto* items = new QGroupBox(tr("Print Items"));
    auto* itemLayout = new QVBoxLayout(items);
    for (std::size_t i = 0; i < std::size(kBrakReportItems); ++i) {
        boxes_[i] = new QCheckBox(tr(kBrakReportItems[i].text));
        boxes_[i]->setChecked(true);
        itemLayout->addWidget(boxes_[i]);
    }
    layout->addWidget(items);
    auto* target = new QGroupBox(tr("Print To"));
    auto* targetLayout = new QVBoxLayout(target);
    printer_ = new QRadioButton(tr("&Printer: %1").arg(QString::fromStdString(printerName)));
    file_ = new QRadioButton(tr("&Log file (Tarvo.log)..."));
    const bool canPrint = printerName != "Unknown";
    printer_->setEnabled(canPrint);
    (canPrint ? printer_ : file_)->setChecked(true);
    targetLayout->addWidget(printer_);
    targetLayout->addWidget(file_);
    layout->addWidget(target);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBrakReportDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

unsigned CBrakReportDlg::sections() const {
    unsigned sections = 0;
    for (std::size_t i = 0; i < std::size(kBrakReportItems); ++i) {
        if (boxes_[i]->isChecked())
            sections |= kBrakReportItems[i].bit;
    }
    return sections;
}

void CBrakReportDlg::setSections(unsigned sections) {
    for (std::size_t i = 0; i < std::size(kBrakReportItems); ++i)
        boxes_[i]->setChecked((sections & kBrakReportItems[i].bit) != 0);
}

bool CBrakReportDlg::toFile() const {
    return file_->isChecked();
}

void CBrakReportDlg::accept() {
    if (sections() == 0) {
        prompt_.Tell("Warning", "You must select at least one Print Item in order to print.",
                     PromptIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

CBrakPrintLogDlg::CBrakPrintLogDlg(const std::string& printerName, int pages, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Print Log"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Printer: %1").arg(QString::fromStdString(printerName))));
    layout->addWidget(new QLabel(tr("Document: Tarvo Report Log (%n page(s))", "", pages)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    print_ = buttons->addButton(tr("&Print"), QDialogButtonBox::AcceptRole);
    print_->setEnabled(printerName != "Unknown");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool CBrakPrintLogDlg::printingEnabled() const {
    return print_->isEnabled();
}

void RunBrakReportDialog(QWidget* parent, Desk& desk) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return;
    const std::string printerName = BrakReportPrinterName();
    CBrakReportDlg dialog(printerName, desk.prompt, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    BrakReportData data;
    {
        BusyScope busy(desk.prompt);
        data = GatherBrakReport(*printer, desk.session, dialog.sections());
    }
    TellBrakReportErrors(desk.prompt, data);
    const std::vector<std::string> lines = BrakReportLines(data);
    const std::tm now = BrakReportNow();
    if (dialog.toFile()) {
        SaveBrakReport(desk.prompt, lines, now);
        return;
    }
    CBrakPrintLogDlg log(printerName, static_cast<int>(BrakReportPages(lines, now).size()), parent);
    if (log.exec() == QDialog::Accepted)
        TellPrintFailure(desk.prompt, PrintBrakReport(lines, now));
}

}  // namespace tarvo::app::qt
