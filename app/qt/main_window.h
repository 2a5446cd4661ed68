// The main window: menus and toolbar made from the command table, the status panes (prompt,
// printer, port), the start-up guide view, and the dispatch of every command to the core.
// The window decides nothing itself: what is enabled or checked comes from CommandEnabled and
// CommandChecked, what a command does from the core's command functions.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "desk/command_table.h"
#include "desk/desk.h"
#include "desk/printer_commands.h"
#include "desk/startup.h"

class QLabel;
class QPushButton;
class QTimer;
class QToolBar;

namespace tarvo::app::qt {

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Works on `desk` (its session and prompt must outlive the window). Builds the menus, the
    // toolbar, the status bar and the view, and restores the stored placement.
    explicit MainWindow(Desk& desk, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up after the window shows: settings, kernel context, identification with the
    // problem dialog, then the command states; ends with sessionReady(). Returns
    // InitializeSession's result.
    bool startSession();

    // Sets every action's enabled and checked state from the command table's rules and
    // refreshes the printer and port panes. The only place that does so.
    void refreshCommands();

    // Runs command `id` as its menu entry does.
    void runCommand(CommandId id);

    // What the window works on.
    Desk& desk() const { return desk_; }

    // The action of `id`, or nullptr.
    QAction* action(CommandId id) const;
    QString promptPaneText() const;
    QString printerPaneText() const;
    QString portPaneText() const;
    QWidget* startupGuide() const { return guide_; }
    QToolBar* toolbar() const { return toolbar_; }

    // Shows `text` in the prompt pane (the prompt's status line ends here).
    void showPrompt(const QString& text);

    // Replace the dialogs of identification and exit (tests answer them without a window).
    void setProblemDialog(ProblemDialog dialog) { problem_ = std::move(dialog); }
    void setExitDialog(ExitDialog dialog) { exit_ = std::move(dialog); }

  signals:
    // The start-up has ended and the window shows the session's printer.
    void sessionReady();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildCommands();
    void buildStatusBar();
    void buildView();
    QMenu* menuFor(const QStringList& path);
    IdentifyHooks identifyHooks();
    void selectPrinter();
    void startReset();
    void resetTick();
    void showAbout();
    void notAvailableYet(CommandId id);

    Desk& desk_;
    std::map<CommandId, QAction*> actions_;
    std::map<QString, QMenu*> menus_;
    QToolBar* toolbar_ = nullptr;
    QLabel* promptPane_ = nullptr;
    QLabel* printerPane_ = nullptr;
    QLabel* portPane_ = nullptr;
    QWidget* guide_ = nullptr;
    std::vector<std::pair<QPushButton*, const GuideButton*>> guideButtons_;
    QTimer* resetTimer_ = nullptr;
    std::unique_ptr<ResetPoll> resetPoll_;
    // Set while a command holds the connection; timer ticks skip meanwhile.
    bool busy_ = false;
    ProblemDialog problem_;
    ExitDialog exit_;
};

}  // namespace tarvo::app::qt
