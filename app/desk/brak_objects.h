// The font and image choosers of a Brakenholm printer, without their windows: the host's
// TrueType faces and the files behind them, what the printer already holds, and the send with
// its questions (a name already taken, an image that is not monochrome).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brakenholm/brak_printer.h"
#include "desk/desk.h"
#include "desk/firmware_zmodem.h"

namespace tarvo::app {

// The installed TrueType faces as the kernel lists them (Fontconfig), sorted, each face once:
// its character-set variants are the same file.
std::vector<std::string> HostFaceNames();

// The file that holds the listed face `listedName` (a character-set suffix " (Greek)" is
// ignored), or nullopt when no installed face matches.
std::optional<std::string> HostFaceFile(const std::string& listedName);

// The names the printer holds: its files on "c:" and "ram:" for fonts, its images for images.
// Empty when the printer is silent.
std::vector<std::string> PrinterObjectNames(CBrakPrinter& printer, TransferKind kind);

// Why the image file at `path` cannot go to the printer (not monochrome, unreadable, neither
// PCX nor BMP), or nullopt when it can.
std::optional<std::string> ImageFileProblem(const std::string& path);

// Sends the file at `path` under `name` to the desk's Brakenholm printer: refuses a name the
// printer cannot take and an image that is not monochrome, asks (caption "Tarvo Warning") when
// `name` is already among `held`, and runs the transfer with the windows' progress window.
// Tells the operator how it went; returns the result (Cancelled when the operator said no).
OpResult SendBrakObject(Desk& desk, const std::string& path, TransferKind kind,
                        const std::string& name, const std::vector<std::string>& held,
                        TransferWindows& windows);

}  // namespace tarvo::app
