// Where Tarvo keeps its files on Linux.
#pragma once

#include <string>

namespace tarvo::platform {

// The profile: $TARVO_PROFILE, else $XDG_CONFIG_HOME/Quorvane/tarvo32.ini (default
// ~/.config/Quorvane/tarvo32.ini).
std::string ProfilePath();

// Directory for lock files and line-format notes: $XDG_RUNTIME_DIR, else /tmp.
std::string RuntimeDirectory();

// Data directory (program-number file, media tables, converted fonts): $TARVO_HOME, else
// $XDG_DATA_HOME/tarvo (default ~/.local/share/tarvo).
std::string DataDirectory();

// State directory (simulated printers' state): $XDG_STATE_HOME/tarvo (default
// ~/.local/state/tarvo).
std::string StateDirectory();

}  // namespace tarvo::platform
