#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "brakenholm/brak_name_listing.h"
#include "desk/desk.h"
#include "qt/brak_print_dialogs.h"

namespace tarvo::app::qt {
namespace {

constexpr const char* kBrakTestPrintKinds[] = {"Test &Label", "&Font", "&Image", "&Symbology"};

void FillFromNames(QComboBox* box, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        box->addItem(QString::fromStdString(name), QString::fromStdString(name));
}

}  // namespace

CBrakTestPrintDlg::CBrakTestPrintDlg(CBrakPrinter& printer, Prompt& prompt, QWidget* parent)
    : QDialog(parent), printer_(printer), prompt_(prompt) {
    setWindowTitle(tr("Test Print"));
    for (QComboBox*& list : lists_)
        list = new QComboBox;
    lists_[0]->addItem(tr("Printer test label"));
    {
        BusyScope busy(prompt_);
        FillFromNames(lists_[1], ReadFontNames(printer_).names);
        FillFromNames(lists_[2], ReadImageNames(printer_).names);
    }
    for (const BrakSymbology& s : BrakSymbologyTable())
        lists_[3]->addItem(QString::fromUtf8(s.displayName.data(), s.displayName.size()),
                           QString::fromUtf8(s.printerName.data(), s.printerName.size()));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    kinds_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(tr(kBrakTestPrintKinds[i]));
        kinds_->addButton(radio, i);
        radio->setEnabled(lists_[i]->count() > 0);
        grid->addWidget(radio, i, 0);
        grid->addWidget(lists_[i], i, 1);
        lists_[i]->setMinimumContentsLength(28);
    }
    kinds_->button(0)->setChecked(true);
    connect(kinds_, &QButtonGroup::idClicked, this, [this] { updateControls(); });
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    printButton_ = buttons->addButton(tr("&Print"), QDialogButtonBox::ActionRole);
    connect(printButton_, &QPushButton::clicked, this, [this] { print(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    updateControls();
}

BrakTestPrintChoice CBrakTestPrintDlg::choice() const {
    const int kind = kinds_->checkedId();
    BrakTestPrintChoice c;
    c.kind = static_cast<BrakTestPrintKind>(kind);
    if (kind > 0)
        c.name = lists_[kind]->currentData().toString().toStdString();
    return c;
}

void CBrakTestPrintDlg::updateControls() {
    const int kind = kinds_->checkedId();
    for (int i = 0; i < 4; ++i)
        lists_[i]->setEnabled(i == kind);
    printButton_->setEnabled(lists_[kind]->count() > 0);
}

void CBrakTestPrintDlg::print() {
    OpResult result;
    {
        BusyScope busy(prompt_);
        result = RunBrakTestPrint(printer_, prompt_, choice());
    }
    if (!result.ok())
        prompt_.Tell("Error", Describe(result), PromptIcon::Stop);
}

void RunBrakTestPrintDialog(QWidget* parent, Desk& desk) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return;
    CBrakTestPrintDlg dialog(*printer, desk.prompt, parent);
    dialog.exec();
}

}  // namespace tarvo::app::qt
