// The dialogs the main window opens for the Brakenholm family's report and test print. Each
// runs modally over `parent` and works on the session's Brakenholm printer.
#pragma once

#include <QDialog>
#include <string>

#include "brakenholm/brak_report.h"
#include "brakenholm/brak_test_print.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace tarvo::app {

struct Desk;

namespace qt {

// "Print Report": the sections and where the report goes (the default print queue, named, or
// a log file). OK with no section ticked warns and stays open.
class CBrakReportDlg final : public QDialog {
    Q_OBJECT
  public:
    CBrakReportDlg(const std::string& printerName, Prompt& prompt, QWidget* parent);

    // The ticked sections as kBrakReport* bits.
    unsigned sections() const;
    void setSections(unsigned sections);
    // Whether the report goes to a log file.
    bool toFile() const;

  private:
    void accept() override;

    Prompt& prompt_;
    QCheckBox* boxes_[4] = {};
    QRadioButton* printer_ = nullptr;
    QRadioButton* file_ = nullptr;
};

// "Print Log": the print queue the report goes to and its job's name; printing is off when
// there is no queue ("Unknown").
class CBrakPrintLogDlg final : public QDialog {
    Q_OBJECT
  public:
    CBrakPrintLogDlg(const std::string& printerName, int pages, QWidget* parent);
    bool printingEnabled() const;

  private:
    QPushButton* print_ = nullptr;
};

// "Test Print": a test label, a font or image the printer lists, or a symbology.
class CBrakTestPrintDlg final : public QDialog {
    Q_OBJECT
  public:
    CBrakTestPrintDlg(CBrakPrinter& printer, Prompt& prompt, QWidget* parent);

    // What Print would print now.
    BrakTestPrintChoice choice() const;

  private:
    void updateControls();
    void print();

    CBrakPrinter& printer_;
    Prompt& prompt_;
    QButtonGroup* kinds_ = nullptr;
    QComboBox* lists_[4] = {};
    QPushButton* printButton_ = nullptr;
};

// Print Report for a Brakenholm printer: the dialog, the printer's listings, then the file or
// the print queue (through "Print Log").
void RunBrakReportDialog(QWidget* parent, Desk& desk);

// Test Print for a Brakenholm printer.
void RunBrakTestPrintDialog(QWidget* parent, Desk& desk);

}  // namespace qt
}  // namespace tarvo::app
