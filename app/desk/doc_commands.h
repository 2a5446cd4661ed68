// The commands that move a configuration between the printer, the program and a configuration
// file. Each asks and reports through the desk's prompt and returns what happened; a command
// that fails leaves the session as it was before the failing step (values already reloaded from
// the printer stay reloaded) and keeps the modified flag set.
#pragma once

#include "desk/desk.h"
#include "shell/printer_base.h"

namespace tarvo::app {

// Load from Printer. Done when the configuration was read; Cancelled when the operator said no;
// NoAnswer when the printer did not answer (string 61214 shown); Failed otherwise.
OpResult LoadFromPrinter(Desk& desk);

// Send to Printer: the values, the deletions, the memory check and the object transfers, then
// the configuration read back. Done only when every step succeeded; then the modified and
// configuration-not-retrieved flags are cleared. Otherwise the failed step was named to the
// operator and `detail` names it too.
// The question shows what the send changes (PendingChangesText).
OpResult SendToPrinter(Desk& desk);

// Send to Printer once the operator agreed: as SendToPrinter without the question. A Lanmere
// send first keeps what the printer held for Undo Last Send (RememberBeforeSend); when that
// cannot be written nothing is sent.
OpResult SendConfirmed(Desk& desk);

// Open: loads a .tcf file chosen through the prompt. Cancelled when the operator cancelled;
// Failed when the chooser failed or the file did not load (the kernel's text was shown and the
// kernel context restored from the session, so nothing changed).
OpResult OpenConfigFile(Desk& desk);

// Save As: writes the configuration (and the selected objects) to a .tcf file chosen through
// the prompt; the file is replaced only when everything was written.
OpResult SaveConfigAs(Desk& desk);

// Set to Default: after the operator agrees, re-reads the settings and takes the model's
// defaults (nothing is sent). Refused for a Brakenholm printer (its own command restores them).
OpResult SetToDefault(Desk& desk);

// The file filter and extension of configuration files.
inline constexpr const char* kConfigFilter = " Tarvo Config (*.tcf)|*.tcf||";
inline constexpr const char* kConfigExtension = "tcf";

// Whether `path` ends in ".tcf" (any case).
bool HasConfigExtension(const std::string& path);

// The OK/Cancel question of the main commands: caption "Tarvo", question icon, Cancel default,
// and `details` (a list) below string `stringId`. True when the operator chose OK.
bool AskOkCancel(Desk& desk, int stringId, const std::string& details = {});

}  // namespace tarvo::app
