// The two questions the prompt's buttons cannot ask: the communication-problem dialog with its
// Autoconnect button and the four-button unsaved-changes question at exit.
#pragma once

#include "desk/printer_commands.h"
#include "desk/startup.h"

class QWidget;

namespace tarvo::app::qt {

// The communication-problem dialog: its heading, the four conditions to check, and Retry (the
// default), Autoconnect or Cancel; closing the box is Cancel.
ProblemChoice AskProblemWithAutoConnect(QWidget* parent);

// Save to File, Send to Printer, Exit Only or Cancel (the default); closing the box is Cancel.
ExitChoice AskExitChoice(QWidget* parent);

}  // namespace tarvo::app::qt
