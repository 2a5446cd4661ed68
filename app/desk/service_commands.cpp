// Print Report: the command that hands the printer's state to something outside the
// configuration.
#include "desk/lan_strings.h"
#include "desk/printer_commands.h"
#include "tarvo/report.h"

namespace tarvo::app {

OpResult PrintReport(Desk& desk, int sections, bool toFile) {
    if (desk.session.printer->IsScriptFamily())
        return {OpStatus::NotSupported, std::nullopt, "the Brakenholm report"};
    const int r = PCUPrintReport(desk.ctx(), sections, toFile ? 1 : 0);
    if (r == PCU_OK)
        return {};
    if (r == PCU_ERR_SAVE_CANCELLED || r == PCU_ERR_PRINT_CANCELLED)
        return {OpStatus::Cancelled, std::nullopt, {}};
    // The kernel has shown its own message; the result only names the step.
    return {OpStatus::Failed, std::nullopt, "the configuration report"};
}

}  // namespace tarvo::app
