// Files for a Brakenholm printer over Zmodem: what a transfer is, the names a printer takes,
// and what a firmware file says about itself. CBrakPrinter::DownloadFile, FirmwareDownload and
// WaitForPrompt (brak_transfer.cpp, brak_firmware.cpp) use them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tarvo/base/line_format.h"

namespace fwxfer {
class GFMonitor;
enum class GFResult : int;
}  // namespace fwxfer

namespace tarvo::app {

struct AppSession;
struct BrakSetup;

// A printer's line settings as a transfer changes them ("8-bit characters, RTS/CTS").
std::string LineSettingsText(const BrakSetup& setup);
// The host's line settings ("19200 baud, 8 data bits, parity O, 1 stop bit, XON/XOFF").
std::string HostLineText(const AppSession& session);

enum class TransferKind { Firmware, Font, Image };

// The host's line settings of `session` as a port format.
platform::LineFormat SessionLineFormat(const AppSession& session);

// Opens the session's serial device with `format`, writes `startLine` (the command that starts
// the printer's receiver; empty for a printer whose receiver starts on the Zmodem request
// itself) and sends the file at `path` as `remoteName`. Returns the transfer's result.
fwxfer::GFResult SendByZmodem(const AppSession& session, const platform::LineFormat& format,
                              std::string_view startLine, const std::string& path,
                              const std::string& remoteName, fwxfer::GFMonitor& monitor);

// "Error "N" occured during file transfer..." with the result's code and its sentence.
std::string TransferErrorText(fwxfer::GFResult result);

// The version text a firmware file states in its header, or nullopt when the file is none.
std::optional<std::string> FirmwareFileVersion(const std::string& path);

// The progress window's title for a kind ("Downloading Font").
const char* TransferTitle(TransferKind kind);

// Why `name` cannot be a file name on the printer, or nullopt when it can. The name goes
// inside a quoted argument of the printer's commands, so a quote, a control byte or a byte
// above 0x7E would change the command; blanks and the path characters / \ , : ; = are refused
// too, and so is anything longer than 30 characters.
std::optional<std::string> PrinterFileNameProblem(std::string_view name);

// The question asked before a firmware download and what it implies.
struct FirmwarePlan {
    std::string question;
    bool reformat = false;        // format "c:" first
    bool secondTransfer = false;  // send the file twice
    bool kindChanges = false;     // the printer will speak the other language after the reboot
};

// The plan for going from the printer's firmware text to the file's. The kind is Tallyscript
// when the lower-cased text contains "tallyscript" (wherever it stands); the version is the
// first run of digits and points, compared with 7.31 as the printer's firmware does.
FirmwarePlan PlanFirmwareChange(std::string_view printerText, std::string_view fileText);

}  // namespace tarvo::app
