// The SETUP lines of a Brakenholm printer, built from the record without touching a port: the
// direct command of each setting, the order in which a whole setup is sent, and the lines of the
// setup file.
#pragma once

#include <string>
#include <vector>

#include "brakenholm/brak_setup.h"

namespace tarvo::app {

struct SetupCommandText {
    enum class Kind {
        Line,           // `text` is the command line (without line end)
        NothingToSend,  // the setting has no direct command here (LSS adjust): not a failure
        NotForPrinter,  // this generation has no such setting; `text` says why
        BadValue,       // the value cannot be sent; `text` says why
    };
    Kind kind = Kind::Line;
    std::string text;
};

// The SETUP line that sends `setting` from `setup` to a printer of `generation`.
SetupCommandText SetupCommand(BrakSetting setting, const BrakSetup& setup, int generation);

// Whether `setting` can be written to a printer of `generation` by its own command, and when
// not, why (for the command line's `setup set`).
struct Writability {
    bool writable = true;
    std::string reason;
};
Writability CanWriteSetting(BrakSetting setting, int generation);

// Baud, char length, parity, stop bits, new line and the three flow-control flags: the settings
// that change how the printer listens.
bool IsSerialSetting(BrakSetting setting);

// Whether the record holds no value for `setting` (one the listing or file lacked, a table field
// at kNoIndex, a "7.12" contrast at kNoContrast): such a setting is left out of sends and files.
bool IsUnset(BrakSetting setting, const BrakSetup& setup, int generation);

// The settings that a whole-setup send writes, in order, unset ones left out. The serial line
// settings are not among them: they go last (SerialSettingsInSendOrder), once everything else
// has reached the printer at the line settings it has now.
std::vector<BrakSetting> SettingsInSendOrder(const BrakSetup& setup, int generation);

// Baud, parity, stop bits, char length, RTS/CTS, XON/XOFF from and to host, new line; unset ones
// left out.
std::vector<BrakSetting> SerialSettingsInSendOrder(const BrakSetup& setup);

// The setup file's lines (the setup listing's form, without SETUP and quotes), in order.
std::vector<std::string> BuildSetupLines(const BrakSetup& setup, int generation);

}  // namespace tarvo::app
