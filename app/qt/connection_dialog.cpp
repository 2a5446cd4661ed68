// The printer-group dialog and the "Testing Printer Connection" window. What they show and
// decide comes from lanmere/connection_search.h; the search runs on this thread inside the
// kernel, and the window handles pending input after every trial so that its Cancel works.
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "desk/connection_search.h"
#include "qt/dialogs.h"
#include "qt/qt_text.h"

namespace tarvo::app::qt {
namespace {

class SearchWindow final : public QDialog {
  public:
    SearchWindow(QWidget* parent, SearchWindowModel& model) : QDialog(parent), model_(model) {
        setWindowModality(Qt::ApplicationModal);
        auto* grid = new QGridLayout;
        const char* labels[] = {
            "Port:", "Baud Rate:", "Data Bits:", "Stop Bits:", "Protocol:", "Parity:"};
        for (int i = 0; i < 6; ++i) {
            labels_[static_cast<std::size_t>(i)] = new QLabel(QString::fromLatin1(labels[i]));
            fields_[static_cast<std::size_t>(i)] = new QLineEdit;
            fields_[static_cast<std::size_t>(i)]->setReadOnly(true);
            grid->addWidget(labels_[static_cast<std::size_t>(i)], i, 0);
            grid->addWidget(fields_[static_cast<std::size_t>(i)], i, 1);
        }
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(grid);
        for (auto*& line : lines_) {
            line = new QLabel;
            layout->addWidget(line);
        }
        button_ = new QPushButton;
        layout->addWidget(button_, 0, Qt::AlignHCenter);
        connect(button_, &QPushButton::clicked, this, [this] { model_.PressButton(); });
        model_.onChange = [this] {
            Refresh();
            // The kernel's search runs on this thread: let the window repaint and its button
            // answer between trials.
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        };
        Refresh();
    }
    ~SearchWindow() override { model_.onChange = nullptr; }

    void Refresh() {
        const SearchWindowText& t = model_.text();
        setWindowTitle(Qs(t.title));
        button_->setText(Qs(t.button));
        button_->setVisible(t.buttonVisible);
        for (std::size_t i = 0; i < lines_.size(); ++i)
            lines_[i]->setText(Qs(t.lines[i]));
        const TrialFields& f = model_.fields();
        const std::array<const std::string*, 6> values = {&f.port,     &f.baud,     &f.dataBits,
                                                          &f.stopBits, &f.protocol, &f.parity};
        for (std::size_t i = 0; i < values.size(); ++i) {
            fields_[i]->setText(Qs(*values[i]));
            const bool serialOnly = i == 2 || i == 3 || i == 5;
            const bool enabled = serialOnly ? f.serialFieldsEnabled : i == 1 ? f.baudEnabled : true;
            fields_[i]->setEnabled(enabled);
            labels_[i]->setEnabled(enabled);
        }
        if (model_.closeRequested() && isVisible() && !model_.running())
            done(model_.text().buttonVisible ? QDialog::Rejected : QDialog::Accepted);
    }

  protected:
    // Closing the window is its button: while the search runs it cancels the search, after
    // the outcome it closes the window for good (it is not shown again to wait for the
    // operator).
    void reject() override {
        const bool running = model_.running();
        model_.PressButton();
        if (!running)
            QDialog::reject();
    }

  private:
    SearchWindowModel& model_;
    std::array<QLabel*, 6> labels_{};
    std::array<QLineEdit*, 6> fields_{};
    std::array<QLabel*, 3> lines_{};
    QPushButton* button_ = nullptr;
};

// The group dialog; nullopt-like false when cancelled.
bool AskGroup(QWidget* parent, PrinterGroup preselected, PrinterGroup* chosen) {
    const GroupDialogText& text = GroupDialogTexts();
    QDialog dialog(parent);
    dialog.setWindowTitle(Qs(text.caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(Qs(text.question)));
    QButtonGroup group(&dialog);
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(Qs(text.choices[static_cast<std::size_t>(i)]));
        group.addButton(radio, i);
        layout->addWidget(radio);
        radio->setChecked(i == static_cast<int>(preselected));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *chosen = static_cast<PrinterGroup>(group.checkedId());
    return true;
}

bool SearchGroup(QWidget* parent, Desk& desk, PrinterGroup group) {
    SearchWindowModel model(desk.session.flags);
    SearchWindow window(parent, model);
    window.show();
    const bool found = RunGroupSearch(desk, model, group);
    window.Refresh();
    // A failed search leaves its text up until the operator closes the window.
    if (!found && !model.closeRequested())
        window.exec();
    return found;
}

PrinterGroup GroupOfModel(int model) {
    if (model >= 0 && model < PROP_DEFAULT_MODEL)
        return PrinterGroup::Lanmere;
    if (model > PROP_DEFAULT_MODEL && model < PROP_UNKNOWN_MODEL)
        return PrinterGroup::Brakenholm;
    return PrinterGroup::DontKnow;
}

}  // namespace

bool RunConnectionTest(QWidget* parent, Desk& desk) {
    return RunPrinterGroupDialog(parent, desk, -1);
}

bool RunPrinterGroupDialog(QWidget* parent, Desk& desk, int modelFound) {
    desk.session.flags.autoConnectSucceeded = false;
    desk.session.flags.giveUp = false;
    desk.session.flags.searchStopped = false;
    PrinterGroup group = PrinterGroup::DontKnow;
    if (!AskGroup(parent, GroupOfModel(modelFound), &group)) {
        desk.session.flags.giveUp = true;
        return false;
    }
    return SearchGroup(parent, desk, group);
}

}  // namespace tarvo::app::qt
