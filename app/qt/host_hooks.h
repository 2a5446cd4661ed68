// The kernel's host hooks and the progress indicator's backend as Qt windows: waits repaint
// and run timers but take no input, the kernel's message boxes and save dialog are Qt dialogs,
// the report's cancel window is a small modeless box, and transfers show a progress dialog.
#pragma once

class QWidget;

namespace tarvo::app::qt {

// Installs the hooks with `parent` (may be null; must outlive the installation) as the owner
// of every window they open. Needs a QApplication.
void InstallQtHostHooks(QWidget* parent);

// Restores the kernel's and the indicator's defaults (before the parent goes away).
void RemoveQtHostHooks();

}  // namespace tarvo::app::qt
