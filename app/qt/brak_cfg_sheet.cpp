#include "qt/brak_cfg_sheet.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "brakenholm/brak_files.h"
#include "brakenholm/brak_model.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_startup.h"
#include "brakenholm/brak_text.h"
#include "desk/desk.h"
#include "qt/qt_text.h"

namespace tarvo::app::qt {
namespace {

QLabel* Value(const std::string& text) {
    auto* label = new QLabel(Qs(text));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

std::string Density(const BrakIdentity& identity, bool metric) {
    if (metric)
        return identity.sysvar21 + " dots/mm";
    char text[32];
    // The printer's own figure for an inch, kept so that the page agrees with its labels.
    std::snprintf(text, sizeof text, "%6.2f dots/inch",
                  static_cast<double>(ParseDecimal(identity.sysvar21)) * 25.38);
    return text;
}

}  // namespace

CBrakCfgProfile::CBrakCfgProfile(Desk& desk, CBrakPrinter& printer, QWidget* parent)
    : QWidget(parent) {
    const BrakIdentity& id = printer.Identity();
    auto* layout = new QVBoxLayout(this);
    auto* identity = new QFormLayout;
    identity->addRow(tr("Printer Model:"), Value(id.version1));
    identity->addRow(tr("Firmware Version:"), Value(id.version0));
    identity->addRow(tr("CPU Board:"), Value(id.version2));
    layout->addLayout(identity);
    auto* storage = new QGroupBox(tr("Permanent memory (c: drive)"));
    auto* storageForm = new QFormLayout(storage);
    storageForm->addRow(tr("Free:"), Value(id.storageFree + " bytes"));
    storageForm->addRow(tr("Used:"), Value(id.storageUsed + " bytes"));
    layout->addWidget(storage);
    if (HasFlashDrive(printer.Model())) {
        auto* heap = new QGroupBox(tr("Dynamic memory"));
        auto* heapForm = new QFormLayout(heap);
        heapForm->addRow(tr("Free:"), Value(id.heapFree + " bytes"));
        heapForm->addRow(tr("Allocated:"), Value(id.heapAllocated + " bytes"));
        layout->addWidget(heap);
    }
    auto* head = new QFormLayout;
    head->addRow(tr("Printhead Density:"), Value(Density(id, desk.session.metric)));
    head->addRow(tr("Dots in Printhead:"), Value(id.sysvar22));
    head->addRow(tr("Media Status:"), Value(id.sysvar23 != 0 ? "Ribbon detected" : "No ribbon"));
    layout->addLayout(head);
    layout->addStretch();
}

CBrakCfgDir::CBrakCfgDir(Desk& desk, CBrakPrinter& printer, QWidget* parent)
    : QWidget(parent), desk_(desk), printer_(printer) {
    auto* layout = new QVBoxLayout(this);
    auto* panes = new QHBoxLayout;
    devices_ = new QTreeWidget;
    devices_->setHeaderLabel(tr("Printer"));
    for (std::string_view device : kPrinterDevices)
        devices_->addTopLevelItem(new QTreeWidgetItem({Qs(std::string(device))}));
    devices_->setMaximumWidth(140);
    files_ = new QTreeWidget;
    files_->setHeaderLabels({tr("Name"), tr("Size")});
    files_->setRootIsDecorated(false);
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    files_->header()->setStretchLastSection(false);
    files_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    panes->addWidget(devices_);
    panes->addWidget(files_, 1);
    layout->addLayout(panes, 1);
    auto* row = new QHBoxLayout;
    systemFiles_ = new QCheckBox(tr("View system files"));
    count_ = new QLabel;
    auto* remove = new QPushButton(tr("&Delete"));
    row->addWidget(systemFiles_);
    row->addWidget(count_, 1);
    row->addWidget(remove);
    layout->addLayout(row);
    connect(devices_, &QTreeWidget::currentItemChanged, this, [this] { refresh(); });
    connect(systemFiles_, &QCheckBox::toggled, this, [this] { refresh(); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteSelected(); });
}

std::string CBrakCfgDir::device() const {
    const QTreeWidgetItem* item = devices_->currentItem();
    return item != nullptr ? item->text(0).toStdString() : std::string();
}

void CBrakCfgDir::refresh() {
    files_->clear();
    count_->clear();
    if (device().empty())
        return;
    const BrakFilesListing listing = ListDirectory(printer_, device(), systemFiles_->isChecked());
    for (const DirectoryEntry& entry : listing.entries) {
        auto* item = new QTreeWidgetItem({Qs(entry.FileName()), Qs(entry.size)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        files_->addTopLevelItem(item);
    }
    QString count = tr("%1 object(s)").arg(listing.entries.size());
    if (!listing.answered)
        count = tr("No answer");
    else if (!listing.error.empty())
        count = Qs(listing.error);
    else if (listing.truncated || !listing.complete)
        count += tr(" (listing cut short)");
    count_->setText(count);
}

void CBrakCfgDir::deleteSelected() {
    std::vector<std::string> names;
    for (const QTreeWidgetItem* item : files_->selectedItems())
        names.push_back(item->text(0).toStdString());
    if (names.empty() || device().empty())
        return;
    Question ask;
    ask.caption = "Delete File";
    ask.text =
        names.size() == 1
            ? "Are you sure you want to delete \n'" + device() + names[0] + "'?"
            : "Are you sure you want to delete these " + std::to_string(names.size()) + " files?";
    ask.buttons = PromptButtons::YesNo;
    ask.icon = PromptIcon::Exclamation;
    ask.defaultAnswer = PromptAnswer::No;
    if (desk_.prompt.Ask(ask) != PromptAnswer::Yes)
        return;
    const DeleteReport report =
        DeleteFiles(printer_, device(), names, [this](const std::string& name) {
            return desk_.prompt.Ask(
                       {"Error", "Unable to delete file '" + name + "' in printer.\nContinue?",
                        PromptButtons::OkCancel, PromptIcon::Stop, PromptAnswer::Ok}) ==
                   PromptAnswer::Ok;
        });
    for (const auto& [name, why] : report.refused)
        desk_.prompt.Tell("Delete File", why, PromptIcon::Exclamation);
    for (const std::string& name : report.survivors)
        desk_.prompt.Tell("Error", "Unable to delete file '" + name + "' in printer.",
                          PromptIcon::Stop);
    if (!report.imagesNotRemoved.empty())
        desk_.prompt.Tell("Error", "Unable to delete image in printer", PromptIcon::Stop);
    refresh();
}

CBrakCfgDateTime::CBrakCfgDateTime(Desk& desk, CBrakPrinter& printer, QWidget* parent)
    : QWidget(parent), desk_(desk), printer_(printer) {
    auto* layout = new QVBoxLayout(this);
    auto* now = new QFormLayout;
    shown_ = new QLabel;
    now->addRow(tr("Printer time:"), shown_);
    layout->addLayout(now);
    calendar_ = new QCalendarWidget;
    layout->addWidget(calendar_);
    auto* row = new QHBoxLayout;
    auto* setDateButton = new QPushButton(tr("Set &Date"));
    time_ = new QTimeEdit;
    time_->setDisplayFormat("HH:mm:ss");
    auto* setTimeButton = new QPushButton(tr("Set &Time"));
    row->addWidget(setDateButton);
    row->addStretch();
    row->addWidget(time_);
    row->addWidget(setTimeButton);
    layout->addLayout(row);
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    connect(setDateButton, &QPushButton::clicked, this, [this] { setDate(); });
    connect(setTimeButton, &QPushButton::clicked, this, [this] { setTime(); });
}

void CBrakCfgDateTime::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    readClock(true);
    timer_->start();
}

void CBrakCfgDateTime::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

void CBrakCfgDateTime::readClock(bool tellWhenSilent) {
    if (const auto clock = ReadClock(printer_)) {
        clock_ = *clock;
    } else {
        const QDateTime host = QDateTime::currentDateTime();
        clock_ = {host.date().year(), host.date().month(),  host.date().day(),
                  host.time().hour(), host.time().minute(), host.time().second()};
        if (tellWhenSilent)
            desk_.prompt.Tell("Tarvo",
                              "Can't get current time from printer.\n\nEither a printer is not "
                              "connnected or another\nprogram may have control of your com "
                              "port.\n\nSystem date and time displayed.",
                              PromptIcon::Information);
    }
    const QDate date(clock_.year, clock_.month, clock_.day);
    calendar_->setSelectedDate(date);
    time_->setTime(QTime(clock_.hour, clock_.minute, clock_.second));
    shown_->setText(Qs(FormatClock(clock_)));
}

void CBrakCfgDateTime::tick() {
    const QDateTime next = QDateTime(QDate(clock_.year, clock_.month, clock_.day),
                                     QTime(clock_.hour, clock_.minute, clock_.second))
                               .addSecs(1);
    clock_ = {next.date().year(), next.date().month(),  next.date().day(),
              next.time().hour(), next.time().minute(), next.time().second()};
    shown_->setText(Qs(FormatClock(clock_)));
}

void CBrakCfgDateTime::report(const OpResult& result, const char* what) {
    if (!result.ok())
        desk_.prompt.Tell("Error", std::string(what) + ": " + Describe(result), PromptIcon::Stop);
    readClock(false);
}

void CBrakCfgDateTime::setDate() {
    const QDate date = calendar_->selectedDate();
    report(SetPrinterDate(printer_, date.year(), date.month(), date.day()), "Set Date");
}

void CBrakCfgDateTime::setTime() {
    const QTime time = time_->time();
    report(SetPrinterTime(printer_, time.hour(), time.minute(), time.second()), "Set Time");
}

CBrakCfgSheet::CBrakCfgSheet(Desk& desk, CBrakPrinter& printer, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Printer Configuration"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    tabs_->addTab(new CBrakCfgProfile(desk, printer), tr("Profile"));
    tabs_->addTab(new CBrakCfgDir(desk, printer), tr("Directory"));
    tabs_->addTab(new CBrakCfgDateTime(desk, printer), tr("Date and Time"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 420);
}

CBrakStartupProgDlg::CBrakStartupProgDlg(Desk& desk, CBrakPrinter& printer, QWidget* parent)
    : QDialog(parent), desk_(desk), printer_(printer) {
    setWindowTitle(tr("Select Startup Program"));
    auto* layout = new QVBoxLayout(this);
    auto* mode = new QHBoxLayout;
    mode->addWidget(new QLabel(tr("Current application mode:")));
    mode_ = new QLabel(Qs(printer.Identity().version0));
    mode->addWidget(mode_, 1);
    auto* switcher = new QPushButton(tr("Command &mode"));
    auto* menu = new QMenu(switcher);
    for (std::string_view name : {kScriptModeName, kLineModeName}) {
        const bool lineMode = name == kLineModeName;
        menu->addAction(Qs("&" + std::string(name)), this, [this, lineMode] {
            if (InLineMode(printer_.Identity().version0) != lineMode)
                switchMode();
        });
    }
    switcher->setMenu(menu);
    mode->addWidget(switcher);
    layout->addLayout(mode);
    auto* programs = new QGroupBox(tr("Start a program"));
    auto* programLayout = new QVBoxLayout(programs);
    windowsDriver_ = new QRadioButton(tr("&Windows Driver"));
    labelkit_ = new QRadioButton(tr("&Labelkit"));
    userApplication_ = new QRadioButton(tr("&User Application"));
    application_ = new QLineEdit;
    application_->setPlaceholderText("c:/APPLICATION.PRG");
    windowsDriver_->setChecked(true);
    for (QWidget* w :
         {static_cast<QWidget*>(windowsDriver_), static_cast<QWidget*>(labelkit_),
          static_cast<QWidget*>(userApplication_), static_cast<QWidget*>(application_)})
        programLayout->addWidget(w);
    layout->addWidget(programs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Start"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { start(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CBrakStartupProgDlg::switchMode() {
    const ModeSwitch outcome = SwitchCommandMode(printer_);
    if (!outcome.result.ok())
        desk_.prompt.Tell("Error", Describe(outcome.result), PromptIcon::Stop);
    mode_->setText(Qs(printer_.Identity().version0));
}

void CBrakStartupProgDlg::start() {
    StartupProgram program = StartupProgram::WindowsDriver;
    if (labelkit_->isChecked())
        program = StartupProgram::Labelkit;
    else if (userApplication_->isChecked())
        program = StartupProgram::UserApplication;
    const std::string application = application_->text().toStdString();
    const RunLine run = StartupRunLine(printer_.SetupGeneration(), program, application);
    if (!run.line) {
        desk_.prompt.Tell("Select Startup Program", run.problem, PromptIcon::Exclamation);
        return;
    }
    if (program == StartupProgram::UserApplication &&
        CBrakUserAppWarnDlg(application, this).exec() != QDialog::Accepted)
        return;
    const OpResult result = RunStartupProgram(printer_, program, application);
    if (!result.ok()) {
        desk_.prompt.Tell("Error", Describe(result), PromptIcon::Stop);
        return;
    }
    accept();
}

CBrakUserAppWarnDlg::CBrakUserAppWarnDlg(const std::string& application, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("WARNING!"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(Qs(UserApplicationWarning(application)));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No);
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void RunBrakCfgSheet(QWidget* parent, Desk& desk) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return;
    CBrakCfgSheet sheet(desk, *printer, parent);
    sheet.exec();
}

bool RunBrakStartupProgDlg(QWidget* parent, Desk& desk) {
    CBrakPrinter* printer = AsBrakPrinter(desk.session.printer.get());
    if (printer == nullptr)
        return false;
    CBrakStartupProgDlg dialog(desk, *printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarvo::app::qt
