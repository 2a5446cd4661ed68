#include "qt/brak_pqw_sheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "desk/desk.h"
#include "qt/dialogs.h"
#include "qt/page_widget.h"

namespace tarvo::app::qt {

CBrakPQWSheet::CBrakPQWSheet(BrakPQWSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(tr(kPQWCaption));
    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    layout->addWidget(heading_);
    stack_ = new QStackedWidget(this);
    layout->addWidget(stack_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    back_ = new QPushButton(tr("< &Back"), this);
    next_ = new QPushButton(tr("&Next >"), this);
    finish_ = new QPushButton(tr("&Finish"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    for (QPushButton* button : {back_, next_, finish_, cancel})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    setMinimumSize(660, 420);

    connect(back_, &QPushButton::clicked, this, [this] {
        session_.Back();
        showCurrent();
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        if (session_.Next())
            showCurrent();
        else
            page_->refresh();
    });
    connect(finish_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showCurrent();
}

void CBrakPQWSheet::showCurrent() {
    BrakPQWPage& page = session_.page();
    // A page builds its controls anew each time it is shown, so its widget is built anew too.
    auto* widget = new PageWidget(page, stack_);
    stack_->addWidget(widget);
    stack_->setCurrentWidget(widget);
    if (page_ != nullptr) {
        stack_->removeWidget(page_);
        page_->deleteLater();
    }
    page_ = widget;
    heading_->setText(QString::fromStdString(page.title()));
    back_->setVisible(session_.canGoBack());
    next_->setVisible(!session_.atEnd());
    finish_->setVisible(session_.atEnd());
    (session_.atEnd() ? finish_ : next_)->setDefault(true);
}

namespace {

// Tells what Finish could not do; a value not sent leaves the desk modified.
void TellFinish(Desk& desk, const PQWFinish& finish) {
    std::string text;
    for (const std::string& failure : finish.failed)
        text += "\n" + failure;
    if (!text.empty()) {
        desk.session.flags.modified = true;
        text = "These values were not sent to the printer:" + text;
    }
    if (!finish.sizeRestored.ok())
        text += (text.empty() ? "" : "\n\n") + std::string("The printer's media size: ") +
                Describe(finish.sizeRestored);
    if (!text.empty())
        desk.prompt.Tell(kPQWCaption, text, PromptIcon::Exclamation);
}

}  // namespace

bool RunBrakQualityWizard(QWidget* parent, Desk& desk, int startPage) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return false;
    BrakPQWSession session(*printer, desk.prompt, desk.session.metric);
    {
        const BusyScope busy(desk.prompt);
        if (!session.Start())
            return false;
    }
    session.Open(startPage);
    CBrakPQWSheet sheet(session, parent);
    const bool finished = sheet.exec() == QDialog::Accepted;
    const BusyScope busy(desk.prompt);
    if (!finished) {
        const OpResult size = session.Cancel();
        if (!size.ok())
            desk.prompt.Tell(kPQWCaption, "The printer's media size: " + Describe(size),
                             PromptIcon::Exclamation);
        return false;
    }
    TellFinish(desk, session.Finish());
    return true;
}

}  // namespace tarvo::app::qt
