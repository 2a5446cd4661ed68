// The Font Setup and Graphics Setup sheets, and the TrueType Font Select dialog the font page
// opens to pick an installed face.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QLocale>
#include <QVBoxLayout>

#include "desk/desk.h"
#include "lanmere/font_pages.h"
#include "lanmere/graphic_pages.h"
#include "qt/dialogs.h"
#include "qt/page_widget.h"

namespace tarvo::app::qt {

CTrueTypeSelectDlg::CTrueTypeSelectDlg(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("TrueType Font Select"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    for (const std::string& name : names)
        list_->addItem(QString::fromStdString(name));
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

std::optional<std::string> CTrueTypeSelectDlg::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    if (item == nullptr)
        return std::nullopt;
    return item->text().toStdString();
}

void RunFontSheet(QWidget* parent, Desk& desk) {
    const auto chooseFace =
        [parent](const std::vector<std::string>& names) -> std::optional<std::string> {
        CTrueTypeSelectDlg dialog(names, QApplication::activeModalWidget() != nullptr
                                             ? QApplication::activeModalWidget()
                                             : parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.chosen();
    };
    // QLocale's default is the system's locale unless a test has set another.
    const int localeId = lanmere::LocaleIdOf(QLocale().name().toStdString());
    lanmere::CFontSheet sheet(desk, localeId, chooseFace);
    RunSheet(parent, sheet, desk.prompt);
}

void RunGraphicSheet(QWidget* parent, Desk& desk) {
    lanmere::CGraphicSheet sheet(desk);
    RunSheet(parent, sheet, desk.prompt);
}

}  // namespace tarvo::app::qt
