// The Lanmere configuration sheets: each runs its page models in the sheet dialog.
#include <QApplication>

#include "desk/desk.h"
#include "lanmere/com_pages.h"
#include "lanmere/command_file_page.h"
#include "lanmere/media_pages.h"
#include "lanmere/printer_pages.h"
#include "qt/dialogs.h"
#include "qt/page_widget.h"
#include "qt/quality_wizard_dialog.h"

namespace tarvo::app::qt {

void RunPrinterSheet(QWidget* parent, Desk& desk) {
    lanmere::CCfgPrtSheet sheet(desk);
    RunSheet(parent, sheet, desk.prompt);
}

void RunCommSheet(QWidget* parent, Desk& desk) {
    lanmere::CComSheet sheet(desk);
    RunSheet(parent, sheet, desk.prompt);
}

void RunMediaSheet(QWidget* parent, Desk& desk) {
    lanmere::CMediaSheet sheet(
        desk, [&desk] { return RunQualityWizard(QApplication::activeModalWidget(), desk); });
    RunSheet(parent, sheet, desk.prompt);
}

void RunMediaHandlingDialog(QWidget* parent, Desk& desk) {
    lanmere::CMediaHandlingDlg dialog(desk);
    RunSheet(parent, dialog, desk.prompt);
}

void RunCommandFileDialog(QWidget* parent, Desk& desk) {
    lanmere::CCmdFileDlg dialog(desk);
    RunSheet(parent, dialog, desk.prompt);
}

}  // namespace tarvo::app::qt
