#include "qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "qt/dialogs.h"
#include "qt/help_window.h"
#include "qt/select_printer_dialog.h"
#include "qt/startup_dialogs.h"
#include "qt/window_placement.h"

namespace tarvo::app::qt {

MainWindow::MainWindow(Desk& desk, QWidget* parent)
    : QMainWindow(parent),
      desk_(desk),
      problem_([this] { return AskProblemWithAutoConnect(this); }),
      exit_([this] { return AskExitChoice(this); }) {
    setWindowTitle(tr("Tarvo"));
    buildCommands();
    buildStatusBar();
    buildView();
    resetTimer_ = new QTimer(this);
    resetTimer_->setInterval(ResetPoll::kTickMs);
    connect(resetTimer_, &QTimer::timeout, this, &MainWindow::resetTick);
    RestorePlacement(*this);
    refreshCommands();
}

MainWindow::~MainWindow() = default;

QMenu* MainWindow::menuFor(const QStringList& path) {
    QString key;
    QMenu* menu = nullptr;
    for (const QString& part : path) {
        key += part + '>';
        auto found = menus_.find(key);
        if (found == menus_.end()) {
            QMenu* created = menu ? menu->addMenu(part) : menuBar()->addMenu(part);
            if (!menu)
                connect(created, &QMenu::aboutToShow, this, &MainWindow::refreshCommands);
            found = menus_.emplace(key, created).first;
        }
        menu = found->second;
    }
    return menu;
}

void MainWindow::buildCommands() {
    toolbar_ = addToolBar(tr("Main"));
    toolbar_->setObjectName("Main");
    for (const CommandInfo& info : Commands()) {
        QStringList path = QString::fromLatin1(info.menu).split(" > ");
        const QString leaf = path.takeLast();
        QAction* action = menuFor(path)->addAction(leaf);
        action->setStatusTip(QString::fromStdString(CommandPrompt(info.id)));
        const QString tip = QString::fromStdString(CommandToolTip(info.id));
        if (!tip.isEmpty()) {
            action->setToolTip(tip);
            toolbar_->addAction(action);
        }
        action->setCheckable(CommandChecked(info.id, desk_.session, true).has_value());
        const CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.emplace(id, action);
    }
    connect(toolbar_, &QToolBar::visibilityChanged, this, &MainWindow::refreshCommands);
}

void MainWindow::buildStatusBar() {
    promptPane_ = new QLabel(this);
    printerPane_ = new QLabel(this);
    portPane_ = new QLabel(this);
    const QFontMetrics metrics(printerPane_->font());
    printerPane_->setMinimumWidth(metrics.horizontalAdvance("5200E (400dpi)      "));
    portPane_->setMinimumWidth(metrics.horizontalAdvance("COM1  "));
    statusBar()->addWidget(promptPane_, 1);
    statusBar()->addPermanentWidget(printerPane_);
    statusBar()->addPermanentWidget(portPane_);
    // Status tips of hovered actions go to the prompt pane too.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            promptPane_->setText(text);
    });
}

void MainWindow::buildView() {
    auto* view = new QWidget(this);
    auto* layout = new QVBoxLayout(view);
    guide_ = new QWidget(view);
    auto* guideLayout = new QVBoxLayout(guide_);
    for (const GuideButton& button : GuideButtons()) {
        auto* widget = new QPushButton(tr(button.text), guide_);
        widget->setProperty("helpTopic", button.topic);
        connect(widget, &QPushButton::clicked, this,
                [this, topic = button.topic] { ShowHelpTopic(this, topic); });
        guideLayout->addWidget(widget);
        guideButtons_.emplace_back(widget, &button);
    }
    layout->addWidget(guide_);
    layout->addStretch(1);
    setCentralWidget(view);
    guide_->setVisible(desk_.session.startupGuide);
}

void MainWindow::refreshCommands() {
    const AppSession& session = desk_.session;
    for (auto& [id, action] : actions_) {
        action->setEnabled(CommandEnabled(id, session));
        if (const auto checked = CommandChecked(id, session, !toolbar_->isHidden()))
            action->setChecked(*checked);
    }
    printerPane_->setText(QString::fromStdString(session.modelName) + "  " +
                          QString::fromStdString(session.firmwareVersion));
    portPane_->setText(QString::fromLatin1(PortName(session.port).data(),
                                           static_cast<int>(PortName(session.port).size())));
    for (const auto& [widget, button] : guideButtons_)
        widget->setVisible(GuideButtonShown(*button, session));
    guide_->setVisible(session.startupGuide);
}

QAction* MainWindow::action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

QString MainWindow::promptPaneText() const {
    return promptPane_->text();
}

QString MainWindow::printerPaneText() const {
    return printerPane_->text();
}

QString MainWindow::portPaneText() const {
    return portPane_->text();
}

void MainWindow::showPrompt(const QString& text) {
    promptPane_->setText(text);
}

IdentifyHooks MainWindow::identifyHooks() {
    IdentifyHooks hooks;
    hooks.problem = problem_;
    hooks.autoConnect = [this] { return RunConnectionTest(this, desk_); };
    return hooks;
}

bool MainWindow::startSession() {
    busy_ = true;
    const bool opened = InitializeSession(desk_, identifyHooks());
    busy_ = false;
    refreshCommands();
    emit sessionReady();
    return opened;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_ || !MayClose(desk_, exit_)) {
        event->ignore();
        return;
    }
    resetTimer_->stop();
    SavePlacement(*this);
    event->accept();
}

}  // namespace tarvo::app::qt
