// The firmware page's road for the printers that take their firmware as a file over Zmodem:
// the script-language models, whose receiver the printer object starts with a command line,
// and the escape-language firmware on script hardware (G3-QEL .. TQ8e-QEL), whose receiver
// starts on the Zmodem request itself, so that no command line and no line change goes before
// the file. The windows of the transfer (progress, the reboot offer) come from the caller.
#pragma once

#include <memory>
#include <string>

#include "brakenholm/brak_transfer.h"
#include "desk/desk.h"
#include "desk/firmware_page.h"

namespace fwxfer {
class GFMonitor;
}

namespace tarvo::app {

class TransferWindows {
  public:
    virtual ~TransferWindows() = default;
    // The progress window of one transfer of `kind`, alive until the transfer ends.
    virtual std::unique_ptr<fwxfer::GFMonitor> OpenMonitor(TransferKind kind) = 0;
    // After a firmware file is in: asks whether to reboot now and runs the reboot. With
    // `waitForAnswer` false the printer will run the other language's firmware.
    virtual void OfferReboot(bool waitForAnswer) = 0;
};

// Runs the road for the desk's printer (UsesFileTransferRoad of its model). A self-extracting
// package and a file that is no firmware are refused before anything is sent; the operator's
// Cancel ends with kFirmwareDeclined and the status text "Aborting download -- please wait...".
// A failed transfer comes back as the refusal text, which ReportFirmwareOutcome shows.
FirmwareOutcome RunZmodemFirmware(Desk& desk, const FirmwareRequest& request,
                                  TransferWindows& windows);

// What the page says once the file is on an escape-language printer on script hardware, which
// has no reboot command: the printer must be switched off and on, and after a change of
// language it is found again with Autoconnect.
std::string RestartByHandText(bool kindChanges);

}  // namespace tarvo::app
