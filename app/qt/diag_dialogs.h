// The two diagnostics dialogs: the report of an escape-language printer (Manual, Auto, Stop) and
// the Brakenholm printer's own tests and head checks. Thin widgets over the logic of
// lanmere/diag_report.h and brakenholm/brak_diagnostics.h.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

#include "brakenholm/brak_diagnostics.h"
#include "lanmere/diag_report.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace tarvo::app {

struct Desk;

namespace qt {

// The auto mode's one-shot timer on a QTimer.
class QtDiagTimer final : public lanmere::DiagTimer {
  public:
    QtDiagTimer();
    void StartOnce(int ms) override { timer_.start(ms); }
    void Stop() override { timer_.stop(); }
    QTimer& timer() { return timer_; }

  private:
    QTimer timer_;
};

// "Diagnostics": the report's fields, a status line and Manual, Auto, Stop. Closing the dialog
// ends auto mode.
class CDiagReportDlg final : public QDialog {
    Q_OBJECT
  public:
    CDiagReportDlg(QWidget* parent, Desk& desk);
    ~CDiagReportDlg() override;

    lanmere::DiagAutoMode& autoMode() { return *mode_; }
    QString statusText() const;
    QString fieldText(lanmere::DiagField field) const;

    void done(int result) override;

  private:
    void show(const lanmere::DiagReading& reading);

    Desk& desk_;
    QtDiagTimer timer_;
    std::unique_ptr<lanmere::DiagAutoMode> mode_;
    std::array<QLineEdit*, lanmere::kDiagFieldCount> fields_{};
    QLabel* status_ = nullptr;
};

// "Brakenholm Diagnostics": function tests, the print-head checks, the status bits and a test
// feed. Inputs out of range are told and reset; nothing is sent for them.
class CBrakDiagDlg final : public QDialog {
    Q_OBJECT
  public:
    CBrakDiagDlg(QWidget* parent, Desk& desk, CBrakPrinter& printer);

  private:
    void runFuncTest(FuncTest test);
    void checkWholeHead();
    void readMean();
    void checkDot();
    void readStatus();
    void testFeed();
    // Tells a refused input and puts its field back; true when `r` was refused.
    bool refused(const DiagResult& r);

    Desk& desk_;
    CBrakPrinter& printer_;
    QLineEdit* card_ = nullptr;
    QLineEdit* rom_ = nullptr;
    QLineEdit* simm_ = nullptr;
    QLineEdit* dot_ = nullptr;
    std::array<QLineEdit*, 5> results_{};
    QLabel* headIndicator_ = nullptr;
    QLineEdit* headText_ = nullptr;
    QLineEdit* mean_ = nullptr;
    QLabel* dotIndicator_ = nullptr;
    QLineEdit* dotText_ = nullptr;
    QListWidget* status_ = nullptr;
};

}  // namespace qt
}  // namespace tarvo::app
