#include "qt/report_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "desk/printer_commands.h"
#include "qt/dialogs.h"
#include "tarvo/report.h"

namespace tarvo::app::qt {
namespace {

struct Section {
    int bit;
    const char* text;
};
constexpr Section kSections[] = {
    {PCU_REPORT_COMM, "&Communication settings"},
    {PCU_REPORT_CONFIG, "C&onfiguration"},
    {PCU_REPORT_FONTS, "&Fonts"},
    {PCU_REPORT_GRAPHICS, "&Graphics"},
    {PCU_REPORT_FORMATS, "F&ormats"},
};

}  // namespace

ReportDialog::ReportDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Print Report"));
    auto* layout = new QVBoxLayout(this);
    auto* sectionBox = new QGroupBox(tr("Sections"));
    auto* sectionLayout = new QVBoxLayout(sectionBox);
    for (std::size_t i = 0; i < std::size(kSections); ++i) {
        boxes_[i] = new QCheckBox(tr(kSections[i].text));
        boxes_[i]->setChecked(true);
        connect(boxes_[i], &QCheckBox::toggled, this, &ReportDialog::updateOk);
        sectionLayout->addWidget(boxes_[i]);
    }
    layout->addWidget(sectionBox);
    auto* targetBox = new QGroupBox(tr("Send the report to"));
    auto* targetLayout = new QVBoxLayout(targetBox);
    printer_ = new QRadioButton(tr("the default &printer"));
    file_ = new QRadioButton(tr("a &log file..."));
    printer_->setChecked(true);
    targetLayout->addWidget(printer_);
    targetLayout->addWidget(file_);
    layout->addWidget(targetBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int ReportDialog::sections() const {
    int sections = 0;
    for (std::size_t i = 0; i < std::size(kSections); ++i) {
        if (boxes_[i]->isChecked())
            sections |= kSections[i].bit;
    }
    return sections;
}

void ReportDialog::setSections(int sections) {
    for (std::size_t i = 0; i < std::size(kSections); ++i)
        boxes_[i]->setChecked((sections & kSections[i].bit) != 0);
}

bool ReportDialog::toFile() const {
    return file_->isChecked();
}

void ReportDialog::setToFile(bool toFile) {
    (toFile ? file_ : printer_)->setChecked(true);
}

void ReportDialog::updateOk() {
    // A report of no section would be a page holding only its header.
    ok_->setEnabled(sections() != 0);
}

void RunReportDialog(QWidget* parent, Desk& desk) {
    ReportDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintReport(desk, dialog.sections(), dialog.toFile());
}

}  // namespace tarvo::app::qt
