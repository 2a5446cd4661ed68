// The main window's placement between runs: the show state and the normal rectangle under
// "Status", "Top", "Left", "Bottom", "Right", and the toolbar's state under "ToolbarState", all
// in the kernel's profile beside the program's other settings.
#pragma once

#include <QRect>

class QMainWindow;

namespace tarvo::app::qt {

// The first-run rectangle on a screen of `screen` size: half the screen high, 415 wide below
// 1280 pixels of screen width and 450 from there, a quarter of the screen from the top,
// centred across.
QRect DefaultPlacement(const QSize& screen);

// `rect` moved back so that at least `keep` of it stays on `screen` at the right and bottom
// (and it does not start left of or above the screen).
QRect PullOntoScreen(QRect rect, const QRect& screen, const QSize& keep);

// Restores size, show state and toolbar state; the position only where the window system lets
// a program place its windows (not under Wayland).
void RestorePlacement(QMainWindow& window);

// Stores the window's normal rectangle, show state and toolbar state. Returns false when the
// profile could not be written.
bool SavePlacement(const QMainWindow& window);

}  // namespace tarvo::app::qt
