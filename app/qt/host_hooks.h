// The kernel's host hooks and the progress indicator's backend as Qt windows: waits repaint
// and run timers but take no input, the kernel's message boxes and save dialog are Qt dialogs,
// the report's cancel window is a small modeless box, and transfers show a progress dialog.
#pragma once

class QWidget;

namespace tarvo::app {
class Prompt;
}

namespace tarvo::app::qt {

// Installs the hooks with `parent` (may be null) as the owner of the windows they open and
// `prompt` asking the kernel's questions and save dialog; both must outlive the installation.
// Needs a QApplication.
void InstallQtHostHooks(QWidget* parent, Prompt& prompt);

// Restores the kernel's and the indicator's defaults (before the parent goes away).
void RemoveQtHostHooks();

}  // namespace tarvo::app::qt
