// What the desktop program tells the desktop about itself, and the language its windows speak.
#pragma once

class QApplication;

namespace tarvo::app::qt {

// The name of the program's desktop entry (tarvo32.desktop), its icon and its translations.
inline constexpr const char* kDesktopName = "tarvo32";

// Sets the application's name and version, the desktop entry its windows belong to (so that a
// desktop shows them under the entry's name and icon), and the window icon: the icon theme's
// "tarvo32" where the desktop has one, else the one built into the program. Then installs the
// translators for the user's locale, owned by `app`: Qt's own texts from Qt's translations
// folder, and ours ("tarvo32_<locale>.qm") from share/tarvo/translations beside the program's
// bin/ folder. A locale without a translation keeps the texts in English. Call once, after
// `app` is made and before any window.
void SetUpApplication(QApplication& app);

}  // namespace tarvo::app::qt
