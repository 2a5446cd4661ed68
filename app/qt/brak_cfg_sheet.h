// The configuration sheet of a Brakenholm printer (profile, directory, date and time) and the
// start-up program dialogs. The pages are thin: the printer's traffic and every decision are in
// the Qt-free brak_files, brak_clock and brak_startup.
#pragma once

#include <QDialog>
#include <QWidget>
#include <string>

#include "brakenholm/brak_clock.h"

class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QTimer;
class QTreeWidget;

namespace tarvo::app {

struct Desk;
class CBrakPrinter;

namespace qt {

// Identity, memory, print head and ribbon, as read when the printer was loaded.
class CBrakCfgProfile final : public QWidget {
  public:
    CBrakCfgProfile(Desk& desk, CBrakPrinter& printer, QWidget* parent = nullptr);
};

// The printer's devices as roots, the files of the chosen one, and deletion.
class CBrakCfgDir final : public QWidget {
  public:
    CBrakCfgDir(Desk& desk, CBrakPrinter& printer, QWidget* parent = nullptr);
    // Lists the chosen device again.
    void refresh();
    QTreeWidget* devices() const { return devices_; }
    QTreeWidget* files() const { return files_; }
    QLabel* count() const { return count_; }

  private:
    void deleteSelected();
    std::string device() const;

    Desk& desk_;
    CBrakPrinter& printer_;
    QTreeWidget* devices_ = nullptr;
    QTreeWidget* files_ = nullptr;
    QCheckBox* systemFiles_ = nullptr;
    QLabel* count_ = nullptr;
};

// The printer's clock, running while the page is shown, and its setting.
class CBrakCfgDateTime final : public QWidget {
  public:
    CBrakCfgDateTime(Desk& desk, CBrakPrinter& printer, QWidget* parent = nullptr);
    QTimer* timer() const { return timer_; }
    QLabel* shown() const { return shown_; }
    QCalendarWidget* calendar() const { return calendar_; }
    QTimeEdit* time() const { return time_; }
    void setDate();
    void setTime();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void readClock(bool tellWhenSilent);
    void tick();
    void report(const OpResult& result, const char* what);

    Desk& desk_;
    CBrakPrinter& printer_;
    PrinterClock clock_;
    QLabel* shown_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QTimeEdit* time_ = nullptr;
    QTimer* timer_ = nullptr;
};

class CBrakCfgSheet final : public QDialog {
  public:
    CBrakCfgSheet(Desk& desk, CBrakPrinter& printer, QWidget* parent = nullptr);
    QTabWidget* tabs() const { return tabs_; }

  private:
    QTabWidget* tabs_ = nullptr;
};

// "Select Startup Program": the mode switch, or a resident program. exec() returns Accepted
// only when a program was started, after which the program must close.
class CBrakStartupProgDlg final : public QDialog {
  public:
    CBrakStartupProgDlg(Desk& desk, CBrakPrinter& printer, QWidget* parent = nullptr);

  private:
    void switchMode();
    void start();

    Desk& desk_;
    CBrakPrinter& printer_;
    QLabel* mode_ = nullptr;
    QRadioButton* windowsDriver_ = nullptr;
    QRadioButton* labelkit_ = nullptr;
    QRadioButton* userApplication_ = nullptr;
    QLineEdit* application_ = nullptr;
};

// The warning before a user application starts: Yes goes ahead.
class CBrakUserAppWarnDlg final : public QDialog {
  public:
    CBrakUserAppWarnDlg(const std::string& application, QWidget* parent = nullptr);
};

// The sheet for the session's printer (a Brakenholm one).
void RunBrakCfgSheet(QWidget* parent, Desk& desk);

// The start-up program dialog. Returns true when a program was started: the caller closes the
// main window (which asks to save a modified configuration first).
bool RunBrakStartupProgDlg(QWidget* parent, Desk& desk);

}  // namespace qt
}  // namespace tarvo::app
