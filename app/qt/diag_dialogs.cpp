#include "qt/diag_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "desk/desk.h"
#include "qt/dialogs.h"
#include "qt/qt_text.h"

namespace tarvo::app::qt {
namespace {

QLineEdit* ResultField(int minimumWidth = 0) {
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    if (minimumWidth > 0)
        field->setMinimumWidth(minimumWidth);
    return field;
}

QLineEdit* InputField(const char* text) {
    auto* field = new QLineEdit(QString::fromLatin1(text));
    field->setMaximumWidth(60);
    return field;
}

void ShowIndicator(QLabel* label, Indicator indicator) {
    const char* colour = indicator == Indicator::Green ? "#2e9d3a"
                         : indicator == Indicator::Red ? "#c62828"
                                                       : "#ffffff";
    const char* text = indicator == Indicator::White ? "#000000" : "#ffffff";
    label->setText(QString::fromLatin1(std::string(IndicatorName(indicator)).c_str()));
    label->setStyleSheet(QString("QLabel { background: %1; color: %2; border: 1px solid #808080; "
                                 "padding: 2px 8px; }")
                             .arg(colour, text));
}

QLabel* NewIndicator() {
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(70);
    ShowIndicator(label, app::Indicator::White);
    return label;
}

}  // namespace

QtDiagTimer::QtDiagTimer() {
    timer_.setSingleShot(true);
}

// ---- The report ---------------------------------------------------------------------------

CDiagReportDlg::CDiagReportDlg(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
    setWindowTitle(tr("Diagnostics"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int i = 0; i < lanmere::kDiagFieldCount; ++i) {
        const auto field = static_cast<lanmere::DiagField>(i);
        fields_[static_cast<std::size_t>(i)] = ResultField(90);
        form->addRow(tr(std::string(lanmere::DiagFieldLabel(field)).c_str()) + ':',
                     fields_[static_cast<std::size_t>(i)]);
    }
    layout->addLayout(form);
    status_ = new QLabel;
    status_->setFrameShape(QFrame::StyledPanel);
    status_->setMinimumHeight(status_->sizeHint().height() + 6);
    layout->addWidget(status_);
    auto* buttons = new QDialogButtonBox;
    auto* manual = buttons->addButton(tr("&Manual"), QDialogButtonBox::ActionRole);
    auto* automatic = buttons->addButton(tr("&Auto"), QDialogButtonBox::ActionRole);
    auto* stop = buttons->addButton(tr("&Stop"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    lanmere::DiagAutoMode::Hooks hooks;
    const int ctx = desk.ctx();
    hooks.read = [ctx] { return lanmere::ReadDiagReport(ctx); };
    hooks.show = [this](const lanmere::DiagReading& reading) { show(reading); };
    hooks.status = [this](const std::string& text) { status_->setText(Qs(text)); };
    mode_ = std::make_unique<lanmere::DiagAutoMode>(desk.prompt, timer_, hooks);
    connect(&timer_.timer(), &QTimer::timeout, this, [this] { mode_->Tick(); });
    connect(manual, &QPushButton::clicked, this, [this] { mode_->Manual(); });
    connect(automatic, &QPushButton::clicked, this, [this] { mode_->Auto(); });
    connect(stop, &QPushButton::clicked, this, [this] { mode_->Stop(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CDiagReportDlg::~CDiagReportDlg() {
    mode_->Close();
}

void CDiagReportDlg::done(int result) {
    mode_->Close();
    QDialog::done(result);
}

QString CDiagReportDlg::statusText() const {
    return status_->text();
}

QString CDiagReportDlg::fieldText(lanmere::DiagField field) const {
    return fields_[static_cast<std::size_t>(field)]->text();
}

void CDiagReportDlg::show(const lanmere::DiagReading& reading) {
    for (int i = 0; i < lanmere::kDiagFieldCount; ++i) {
        const auto value = reading.values[static_cast<std::size_t>(i)];
        QLineEdit* field = fields_[static_cast<std::size_t>(i)];
        field->setText(Qs(lanmere::DiagFieldText(static_cast<lanmere::DiagField>(i), value)));
        field->setEnabled(value >= 0);
    }
}

// ---- The Brakenholm tests -----------------------------------------------------------------

CBrakDiagDlg::CBrakDiagDlg(QWidget* parent, Desk& desk, CBrakPrinter& printer)
    : QDialog(parent), desk_(desk), printer_(printer) {
    setWindowTitle(tr("Brakenholm Diagnostics"));
    auto* layout = new QVBoxLayout(this);

    auto* hardware = new QGroupBox(tr("Hardware test"));
    auto* grid = new QGridLayout(hardware);
    card_ = InputField("1");
    rom_ = InputField("1");
    simm_ = InputField("0");
    const FuncTest tests[] = {FuncTest::Card, FuncTest::Head, FuncTest::Ram, FuncTest::Kernel,
                              FuncTest::Rom};
    const char* names[] = {"&Card", "&Print head", "&RAM", "&Kernel", "R&OM"};
    for (int row = 0; row < 5; ++row) {
        auto* button = new QPushButton(tr(names[row]));
        connect(button, &QPushButton::clicked, this, [this, t = tests[row]] { runFuncTest(t); });
        grid->addWidget(button, row, 0);
        results_[static_cast<std::size_t>(row)] = ResultField(180);
        grid->addWidget(results_[static_cast<std::size_t>(row)], row, 3);
    }
    const bool oldest = printer.SetupGeneration() == 0;
    if (oldest) {
        grid->addWidget(new QLabel(tr("Card number:")), 0, 1);
        grid->addWidget(card_, 0, 2);
    }
    auto* romInputs = new QHBoxLayout;
    romInputs->addWidget(new QLabel(tr("ROM:")));
    romInputs->addWidget(rom_);
    romInputs->addWidget(new QLabel(tr("SIMM socket:")));
    romInputs->addWidget(simm_);
    grid->addLayout(romInputs, 4, 1, 1, 2);
    layout->addWidget(hardware);

    auto* head = new QGroupBox(tr("Thermal print head"));
    auto* headGrid = new QGridLayout(head);
    auto* whole = new QPushButton(tr("Complete &head"));
    headIndicator_ = NewIndicator();
    headText_ = ResultField(180);
    headGrid->addWidget(whole, 0, 0);
    headGrid->addWidget(headIndicator_, 0, 2);
    headGrid->addWidget(headText_, 0, 3);
    auto* mean = new QPushButton(tr("&Mean resistance"));
    mean_ = ResultField(180);
    headGrid->addWidget(mean, 1, 0);
    headGrid->addWidget(mean_, 1, 3);
    auto* dot = new QPushButton(tr("Single &dot"));
    dot_ = InputField("0");
    dot_->setObjectName("dot");
    dotIndicator_ = NewIndicator();
    dotText_ = ResultField(180);
    headGrid->addWidget(dot, 2, 0);
    headGrid->addWidget(dot_, 2, 1);
    headGrid->addWidget(dotIndicator_, 2, 2);
    headGrid->addWidget(dotText_, 2, 3);
    layout->addWidget(head);

    auto* statusBox = new QGroupBox(tr("Printer status"));
    auto* statusLayout = new QHBoxLayout(statusBox);
    auto* readStatus = new QPushButton(tr("&Status"));
    status_ = new QListWidget;
    status_->setMaximumHeight(90);
    statusLayout->addWidget(readStatus, 0, Qt::AlignTop);
    statusLayout->addWidget(status_);
    layout->addWidget(statusBox);

    auto* buttons = new QDialogButtonBox;
    auto* feed = buttons->addButton(tr("Test &feed"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(whole, &QPushButton::clicked, this, &CBrakDiagDlg::checkWholeHead);
    connect(mean, &QPushButton::clicked, this, &CBrakDiagDlg::readMean);
    connect(dot, &QPushButton::clicked, this, &CBrakDiagDlg::checkDot);
    connect(readStatus, &QPushButton::clicked, this, &CBrakDiagDlg::readStatus);
    connect(feed, &QPushButton::clicked, this, &CBrakDiagDlg::testFeed);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool CBrakDiagDlg::refused(const DiagResult& r) {
    if (r.status != OpStatus::Refused)
        return false;
    desk_.prompt.Tell(std::string(kDiagInputCaption), r.text, PromptIcon::Information);
    QLineEdit* field = r.badInput == DiagInput::Card   ? card_
                       : r.badInput == DiagInput::Rom  ? rom_
                       : r.badInput == DiagInput::Simm ? simm_
                                                       : dot_;
    field->setText(Qs(r.resetTo));
    return true;
}

void CBrakDiagDlg::runFuncTest(FuncTest test) {
    const FuncTestInput input{card_->text().toStdString(), rom_->text().toStdString(),
                              simm_->text().toStdString()};
    BusyScope busy(desk_.prompt);
    const DiagResult r = RunFuncTest(printer_, test, input);
    if (!refused(r))
        results_[static_cast<std::size_t>(test)]->setText(Qs(r.text));
}

void CBrakDiagDlg::checkWholeHead() {
    BusyScope busy(desk_.prompt);
    const DiagResult r = CheckWholeHead(printer_);
    ShowIndicator(headIndicator_, r.indicator);
    headText_->setText(Qs(r.text));
}

void CBrakDiagDlg::readMean() {
    BusyScope busy(desk_.prompt);
    mean_->setText(Qs(ReadMeanResistance(printer_).text));
}

void CBrakDiagDlg::checkDot() {
    BusyScope busy(desk_.prompt);
    const DiagResult r = CheckDot(printer_, dot_->text().trimmed().toStdString());
    if (refused(r))
        return;
    ShowIndicator(dotIndicator_, r.indicator);
    dotText_->setText(Qs(r.text));
}

void CBrakDiagDlg::readStatus() {
    BusyScope busy(desk_.prompt);
    const StatusRead s = ReadPrinterStatus(printer_);
    status_->clear();
    for (const std::string& text : s.texts)
        status_->addItem(Qs(text));
}

void CBrakDiagDlg::testFeed() {
    BusyScope busy(desk_.prompt);
    const OpResult r = TestFeed(printer_);
    if (!r.ok())
        desk_.prompt.Tell("Error", "The test feed was not sent: " + r.detail, PromptIcon::Stop);
}

void RunDiagnosticsDialog(QWidget* parent, Desk& desk) {
    if (CBrakPrinter* brak = AsBrakPrinter(desk.session.printer.get())) {
        CBrakDiagDlg dialog(parent, desk, *brak);
        dialog.exec();
        return;
    }
    CDiagReportDlg dialog(parent, desk);
    dialog.exec();
}

}  // namespace tarvo::app::qt
