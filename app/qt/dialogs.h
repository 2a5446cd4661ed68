// The dialogs the main window opens for the Lanmere family. Each runs modally over `parent`
// and works on the program's desk (session, prompt, configuration).
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

namespace tarvo::app {

struct Desk;

namespace qt {

// The auto-connect: the printer-group dialog, then the search of the chosen group in the
// "Testing Printer Connection" window (application-modal, cancellable while it runs). Used by
// the problem dialog's Autoconnect and by Connect > AutoConnect. Returns true when a printer was
// found and its settings stored (the session's auto-connect flags say the same).
bool RunConnectionTest(QWidget* parent, Desk& desk);

// The printer-group dialog with the group of `modelFound` preselected ("Don't know" for -1 or
// a model of neither group), then the search of the chosen group. Cancel sets give-up.
// Returns true when a printer was found.
bool RunPrinterGroupDialog(QWidget* parent, Desk& desk, int modelFound);

// The test print dialog: lists, enable mask, symbology masks per model, label sizes by
// measurement mode.
void RunTestPrintDialog(QWidget* parent, Desk& desk);

// Print Report: the sections and the target (print queue or log file), then the report.
void RunReportDialog(QWidget* parent, Desk& desk);

// The firmware download page: verify, invalidate, download with progress, result.
void RunFirmwareDialog(QWidget* parent, Desk& desk);

// The Printer Configuration sheet (Standard, Options, Directory).
void RunPrinterSheet(QWidget* parent, Desk& desk);

// The Communications Setup sheet (Printer, Port Settings).
void RunCommSheet(QWidget* parent, Desk& desk);

// The Media Type sheet (Media Setup, Print Quality).
void RunMediaSheet(QWidget* parent, Desk& desk);

// The Media Handling dialog.
void RunMediaHandlingDialog(QWidget* parent, Desk& desk);

// The Font Setup sheet (Select, View); its character sets follow QLocale's default locale.
void RunFontSheet(QWidget* parent, Desk& desk);

// The Graphics Setup sheet (Select, View).
void RunGraphicSheet(QWidget* parent, Desk& desk);

// "TrueType Font Select": the installed faces in a list; OK gives the current one.
class CTrueTypeSelectDlg final : public QDialog {
  public:
    CTrueTypeSelectDlg(const std::vector<std::string>& names, QWidget* parent);
    // The face chosen, or nullopt when the list is empty.
    std::optional<std::string> chosen() const;

  private:
    QListWidget* list_ = nullptr;
};
// The Command File dialog (command files to send, formats and pages installed).
void RunCommandFileDialog(QWidget* parent, Desk& desk);

// Services > Diagnostics: the Brakenholm tests for a Brakenholm printer, else the report.
void RunDiagnosticsDialog(QWidget* parent, Desk& desk);
// The Brakenholm Print Quality Wizard (setup tree "7.12") on the desk's printer, from page
// `startPage` (1..6; 0 for the first). Values not sent at Finish are told and leave the desk
// modified. Returns true when the wizard ended with Finish.
bool RunBrakQualityWizard(QWidget* parent, Desk& desk, int startPage = 0);

}  // namespace qt
}  // namespace tarvo::app
