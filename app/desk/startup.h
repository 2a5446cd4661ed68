// Start-up: the first-run defaults, opening the kernel session, identifying the printer and
// loading its state.
#pragma once

#include <functional>

#include "desk/desk.h"

namespace tarvo::app {

// The locale's measurement system as the C library reports it: 1 metric, 2 U.S.; 1 when it
// cannot be read.
int SystemMeasurementSystem();

// "Metric" for measurement system 1, "English" for anything else.
const char* MeasurementsDefault(int measurementSystem);

// On a first run (no profile file yet) creates the profile with its directory and writes every
// first-run default; "Measurements" follows `measurementSystem`. Returns true when the defaults
// were written, false when the profile already existed or could not be created.
bool WriteFirstRunDefaults(int measurementSystem);

// What the operator chose in the printer-communication-problem dialog.
enum class ProblemChoice { Retry, AutoConnect, Cancel };

// Shows the problem dialog. The default (an empty function) asks through the prompt with Retry
// and Cancel; the desktop program passes one that also offers auto-connect.
using ProblemDialog = std::function<ProblemChoice()>;
// Runs the auto-connect search; true when a printer was found and its settings stored.
using AutoConnectRun = std::function<bool()>;

// The prompt's version of the problem dialog: Retry or Cancel.
ProblemChoice AskProblemDialog(Prompt& prompt);

struct IdentifyHooks {
    ProblemDialog problem;
    AutoConnectRun autoConnect;
};

// Asks the attached printer who it is and loads its state into the desk; on giving up selects
// "DEFAULT" with its defaults and tells the operator. Returns true when a printer was
// identified.
bool IdentifyPrinter(Desk& desk, const IdentifyHooks& hooks = {});

// Connect > AutoConnect: the search the operator chooses (hooks.autoConnect) and, after a search
// that found a printer, the identification and loading of start-up, which also switches the
// family when the printer's answer names a model of the other one. Returns true when a printer
// was identified; a search that found nothing changes nothing.
bool AutoConnect(Desk& desk, const IdentifyHooks& hooks);

// After the operator moved the program to another port, device or line: asks who answers
// there, without reading the configuration, so edits not yet sent stay. An answer naming a model
// (its exact name, of either family) selects it; a Brakenholm printer switches the family and
// reads its identity; for a Lanmere printer Load from Printer is offered (it asks) only when
// nothing is modified. An answer that names no model asks whether to use DEFAULT (OK) or to
// work offline (Cancel). No answer asks Retry or Cancel until the printer answers or the
// operator cancels, and leaves the program offline. Returns true when a model was identified.
bool IdentifyAfterLineChange(Desk& desk);

// The session initialisation after the window shows: reads the settings, opens the kernel
// context (when the session has none), sets the download flags, identifies the printer and,
// for an identified model, applies the baud rule. Returns false when no kernel context could
// be opened (then nothing else was done).
bool InitializeSession(Desk& desk, const IdentifyHooks& hooks = {});

// The baud rule: when the stored "Baud" does not suit the selected model, tells the operator
// (string 61204) and stores "9600". Returns true when the rate was replaced.
bool EnforceBaudRule(Desk& desk);

}  // namespace tarvo::app
