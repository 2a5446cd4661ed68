// The firmware page's side of the road for a Lanmere-family printer: what the page refuses
// before anything is sent, the road itself (desk/firmware_road.h, which the command-line tool
// runs too) with the page's questions, and the report. The page's window only collects the file
// and the boot-mode choice and shows the progress.
#pragma once

#include <string>

#include "desk/desk.h"

namespace tarvo::app {

struct FirmwareRequest {
    std::string filePath;   // the chosen image (or any file of the firmware directory)
    bool bootMode = false;  // "Printer in boot mode": the firmware is already invalid
};

// How the road ended: `result` is a kernel or firmware code (0 success, kFirmwareNoAnswer,
// kFirmwareInvalidationFailed, kFirmwareDeclined, ...); `refusal`, when not empty, is why the
// request was not started at all (a packaged .exe, a model whose road is not available yet).
struct FirmwareOutcome {
    int result = 0;
    std::string refusal;
};

// Whether `model` takes the file-transfer road (desk/firmware_zmodem.h).
bool UsesFileTransferRoad(int model);

// Whether `path` names a self-extracting package (".exe", any case), which is never run.
bool IsFirmwarePackage(const std::string& path);
// The request for the unpacked file that a package is refused with.
std::string FirmwarePackageRefusal();

// The directory the kernel is given for `filePath`: its parent, as an absolute path with a
// trailing '/'. The working directory is never changed.
std::string FirmwareDirectory(const std::string& filePath);

// Runs the road for the desk's printer. Questions (program-number mismatch, version) and status
// texts go through desk.prompt; the operator's refusal ends with kFirmwareDeclined and the
// status text "Aborting download -- please wait...", and leaves the files in place; a damaged
// image is told at once (captioned "Warning", stop icon).
FirmwareOutcome RunLanmereFirmware(Desk& desk, const FirmwareRequest& request);

// Shows the outcome captioned "Firmware Download" with an exclamation icon: the refusal, or the
// text for the result; results without a text show nothing. Returns whether something was shown.
bool ReportFirmwareOutcome(Desk& desk, const FirmwareOutcome& outcome);

}  // namespace tarvo::app
