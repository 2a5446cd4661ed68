#include "qt/select_printer_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "tarvo/models.h"

namespace tarvo::app::qt {
namespace {

// SelectPrinter takes the models 0..40.
constexpr int kSelectableModels = 41;

}  // namespace

QString ModelName(int model) {
    char name[PROP_NAME_SIZE] = {};
    if (propGetPrinterStr(model, name) != 1)
        return {};
    return QString::fromLatin1(name);
}

SelectPrinterDialog::SelectPrinterDialog(int current, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget(this)),
      keep_(new QCheckBox(tr("&Keep current settings"), this)) {
    setWindowTitle(tr("Select Printer"));
    for (int model = 0; model < kSelectableModels; ++model) {
        auto* item = new QListWidgetItem(ModelName(model), list_);
        item->setData(Qt::UserRole, model);
        if (model == current)
            list_->setCurrentItem(item);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(keep_);
    layout->addWidget(buttons);
}

int SelectPrinterDialog::model() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

bool SelectPrinterDialog::keepSettings() const {
    return keep_->isChecked();
}

}  // namespace tarvo::app::qt
