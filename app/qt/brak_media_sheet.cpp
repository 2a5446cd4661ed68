// The Brakenholm media sheet and its page base: the pages share one copy of the record and
// the sheet sends the changed ones in page order.
#include "qt/brak_media_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_model.h"
#include "desk/desk.h"

namespace tarvo::app::qt {

void CBrakMediaPage::Load() {
    loading_ = true;
    Show();
    loading_ = false;
}

OpResult CBrakMediaPage::Confirm() {
    if (!modified_)
        return {};
    const std::vector<BrakSetting> settings = Settings();
    const OpResult result = StoreAndSend(edit_.printer, edit_.setup, settings);
    if (result.ok())
        modified_ = false;
    return result;
}

void CBrakMediaPage::markEdited() {
    if (!loading_)
        modified_ = true;
}

CBrakMediaSheet::CBrakMediaSheet(CBrakPrinter& printer, Desk& desk, QWidget* parent)
    : QDialog(parent), edit_{desk,
                             printer,
                             desk.prompt,
                             desk.session.metric,
                             desk.session.scriptReply,
                             printer.GetSetup()} {
    setWindowTitle(tr("Media Type"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    if (UsesNewTree(printer.SetupGeneration()))
        pages_.push_back(new CBrakMediaQuality(edit_));
    else
        pages_.push_back(new CBrakMediaQualityClassic(edit_));
    pages_.push_back(new CBrakMediaHandling(edit_));
    pages_.push_back(new CBrakMediaSetup(edit_));
    const char* titles[] = {"Print Quality", "Media Handling", "Media Setup"};
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->Load();
        tabs_->addTab(pages_[i], tr(titles[i]));
    }
    // A page shows what the other pages changed (paper type, media type) when it comes up.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(pages_.size()))
            pages_[index]->Load();
    });
    tabs_->setMinimumWidth(440);  // every tab's title in view
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBrakMediaSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { apply(); });
    layout->addWidget(buttons);
}

bool CBrakMediaSheet::apply() {
    OpResult result;
    CBrakMediaPage* failed = nullptr;
    {
        BusyScope busy(edit_.prompt);
        for (CBrakMediaPage* page : pages_) {
            result = page->Confirm();
            if (!result.ok()) {
                failed = page;
                break;
            }
        }
    }
    if (failed == nullptr)
        return true;
    tabs_->setCurrentWidget(failed);
    edit_.prompt.Tell("Error", "Not every media setting reached the printer.\n" + Describe(result),
                      PromptIcon::Stop);
    return false;
}

void CBrakMediaSheet::accept() {
    if (apply())
        QDialog::accept();
}

bool RunBrakMediaSheet(QWidget* parent, Desk& desk) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return false;
    CBrakMediaSheet sheet(*printer, desk, parent);
    sheet.exec();
    return true;
}

}  // namespace tarvo::app::qt
