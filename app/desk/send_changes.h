// What a send changes on a Lanmere printer, told before the operator confirms it, and Undo Last
// Send, which sends back what the printer held before the last send from this program.
#pragma once

#include <string>

#include "desk/desk.h"
#include "shell/printer_base.h"

namespace tarvo::app {

// The settings Send to Printer would change, one line each, against the values the printer last
// stated (desk.config.printerValues), in the session's units; a sentence saying so when the
// printer's values were not read for the selected model; then the queued command files
// (CommandFileChangesText). Empty for a Brakenholm printer.
std::string PendingChangesText(const Desk& desk);

// Keeps the printer's last stated values as the record of the session's port (in memory and on
// disk) just before a send. When they were not read the record is dropped, since the send
// would otherwise seem undoable to a configuration the printer may no longer hold. False, with
// *error set, when the record could not be written.
bool RememberBeforeSend(Desk& desk, std::string* error);

// Undo Last Send: takes the record of the session's port (from memory, else from disk), shows
// what sending it back changes and, once the operator agrees, puts its values in place of the
// session's and sends them as Send to Printer does (which keeps the printer's values before
// the undo, so a second undo redoes the send). Refused, with a notice, when there is no record,
// when it is for another model, or for a Brakenholm printer; Cancelled when the operator said
// no; otherwise as SendToPrinter.
OpResult UndoLastSend(Desk& desk);

}  // namespace tarvo::app
