#include "qt/quality_wizard_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "desk/desk.h"
#include "lanmere/media_pages.h"
#include "qt/page_widget.h"

namespace tarvo::app::qt {
namespace {

// A label creeping out of a printer, drawn in a loop.
class FeedAnimation final : public QWidget {
  public:
    explicit FeedAnimation(QWidget* parent) : QWidget(parent) {
        setFixedSize(220, 110);
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            step_ = (step_ + 1) % kSteps;
            update();
        });
        timer->start(90);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect body(10, 20, 110, 70);
        p.setBrush(QColor(70, 80, 95));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(body, 8, 8);
        p.setBrush(QColor(120, 200, 120));
        p.drawEllipse(QPoint(25, 35), 4, 4);
        const int out = step_ * 4;
        const QRect label(body.right() - 6, 40, out + 6, 34);
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawRect(label);
        p.setPen(QPen(Qt::black, 2));
        for (int x = label.left() + 6; x < label.right() - 3; x += (x / 3) % 3 + 3)
            p.drawLine(x, 50, x, 66);
        p.setBrush(QColor(50, 55, 65));
        p.setPen(Qt::NoPen);
        p.drawRect(body.right() - 8, 36, 6, 42);
    }

  private:
    static constexpr int kSteps = 22;
    int step_ = kSteps / 2;
};

}  // namespace

CMediaWizardSheet::CMediaWizardSheet(lanmere::MediaWizardFlow& flow, QWidget* parent)
    : QDialog(parent), flow_(flow) {
    setWindowTitle(tr("Wizard"));
    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    layout->addWidget(heading_);
    animation_ = new FeedAnimation(this);
    layout->addWidget(animation_, 0, Qt::AlignHCenter);
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
    setMinimumSize(520, 420);

    connect(back_, &QPushButton::clicked, this, [this] {
        flow_.Back();
        showCurrent();
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        if (flow_.Next())
            showCurrent();
        else
            page_->refresh();
    });
    connect(finish_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showCurrent();
}

void CMediaWizardSheet::showCurrent() {
    lanmere::MediaWizardPage& page = flow_.page();
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
    animation_->setVisible(flow_.current() == lanmere::kIntroPage);
    back_->setVisible(flow_.canGoBack());
    next_->setVisible(!flow_.atEnd());
    finish_->setVisible(flow_.atEnd());
    (flow_.atEnd() ? finish_ : next_)->setDefault(true);
}

std::optional<lanmere::WizardResult> RunQualityWizard(QWidget* parent, Desk& desk, int startPage) {
    lanmere::WizardLink link(desk.ctx(), desk.session.model);
    lanmere::MediaWizardFlow flow(link, desk.prompt, desk.session.model, desk.session.metric);
    flow.onPrinterValue = [&desk](int setting, int value) {
        lanmere::KeepWizardValue(desk, setting, value);
    };
    {
        const BusyScope busy(desk.prompt);
        if (!flow.Start())
            return std::nullopt;
    }
    if (startPage >= 1 && startPage <= lanmere::kWizardPages)
        flow.Open(lanmere::PagesByNumber()[static_cast<std::size_t>(startPage - 1)]);
    CMediaWizardSheet sheet(flow, parent);
    if (sheet.exec() != QDialog::Accepted)
        return std::nullopt;
    return flow.Finish();
}

}  // namespace tarvo::app::qt
