#include "desk/firmware_messages.h"

#include <cstdio>

#include "tarvo/firmware.h"
#include "tarvo/identify.h"

namespace tarvo::app {
namespace {

// Errors of listfile.txt's first line and of its script lines.
bool IsScriptSyntaxError(int code) {
    return code == PCU_FW_LIST_SYNTAX || (code >= PCU_FW_LINE_TOO_LONG && code <= 133) ||
           (code >= PCU_FW_TOO_FEW_ARGUMENTS && code <= PCU_FW_UNKNOWN_KIND);
}

}  // namespace

int FirmwareResultString(int code) {
    switch (code) {
        case PCU_FW_CANNOT_OPEN:
            return kStrFirmwareFilesMissing;
        case kFirmwareNoAnswer:
            return kStrFirmwareNoAnswer;
        case PCU_FW_BOOT_ROM_SILENT:
        case PCU_FW_NO_DC1_ECHO:
        case PCU_FW_STATUS_NOT_ECHOED:
            return kStrFirmwareLoader;
        case PCU_FW_BAUD_CHANGE:
            return kStrFirmwareBaud;
        case 100:
            return kStrFirmwareSequence;
        case kFirmwareInvalidationFailed:
            return kStrFirmwareInvalidate;
        default:
            break;
    }
    return IsScriptSyntaxError(code) ? kStrFirmwareSyntax : 0;
}

std::string FirmwareResultMessage(int code) {
    const int id = FirmwareResultString(code);
    return id == 0 ? std::string() : FirmwareStringText(id);
}

std::string FirmwareStringText(int id) {
    switch (id) {
        case kStrFirmwareMismatch:
            return "***PROGRAM NUMBER MISMATCH***\n\n\nThis firmware is for a \"%s\".\n\nThe "
                   "attached printer is a \"%s\"\n\nDo you wish to continue?.";
        case kStrFirmwareCorrupted:
            return "The firmware image file may be corrupted. Verify that enough disk space "
                   "exists for file extraction. If problem persists, contact Quorvane technical "
                   "support.";
        case kStrFirmwareProceed:
            return "Current printer firmware is\n%s.\n\nThe file contains %s.\n\nDo you want to "
                   "proceed?";
        case kStrFirmwareFilesMissing:
            return "One or more of the required firmware download files are missing or are in "
                   "the wrong directory.";
        case kStrFirmwareNoAnswer:
            return "Unable to communicate with the printer. If the firmware is already invalid "
                   "check the \"Printer in boot mode\" checkbox.";
        case kStrFirmwareLoader:
            return "Error communicating with the resident loader.";
        case kStrFirmwareBaud:
            return "Error establishing correct baud rate.";
        case kStrFirmwareSyntax:
            return "Firmware download command file contains a syntax error.";
        case kStrFirmwareSequence:
            return "A sequence error occured while processing a firmware download request.";
        case kStrFirmwareInvalidate:
            return "Unable to invalidate the current firmware.";
        case kStrFirmwareSending:
            return "Sending firmware to printer...";
        case kStrFirmwareAborting:
            return "Aborting download -- please wait...";
        default:
            return {};
    }
}

std::string FirmwareModelName(const char* programNumber) {
    int model = 0;
    char name[PCU_ID_MODEL_SIZE] = "";
    char first[PCU_ID_NUMBER_SIZE] = "";
    char second[PCU_ID_NUMBER_SIZE] = "";
    std::snprintf(first, sizeof first, "%s", programNumber);
    return PCUPrinterLookup(2, &model, name, first, second) == PCU_OK ? name : programNumber;
}

}  // namespace tarvo::app
