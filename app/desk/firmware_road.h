// The firmware road for a Lanmere-family printer, which both programs run: verify the firmware
// directory against the printer, ask the operator, invalidate the running firmware and download
// through the printer's boot loader. The operator is asked through a Prompt (the desktop's
// message boxes, the terminal); how the road ended each program reports in its own words.
#pragma once

#include <functional>
#include <string>

#include "shell/prompt.h"
#include "tarvo/firmware.h"
#include "tarvo/identify.h"

namespace tarvo::app {

// What verification found: PCUVerifyFirmwareFile's result and texts.
struct FirmwareCheck {
    int result = 0;
    char version[PCU_FIRMWARE_VERSION_SIZE] = "";  // the image's program number and version
    char second[PCU_FIRMWARE_VERSION_SIZE] = "";   // the image's second version text
    char number[PCU_ID_NUMBER_SIZE] = "";          // the printer's; empty when not identified
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";      // the printer's running firmware
};

// Verifies the firmware in directory `dir` (listfile.txt, flashldr.bin and the image) against
// the printer of context `ctx`.
FirmwareCheck VerifyFirmwareDirectory(int ctx, const std::string& dir);

// Who decides when the image is for another model: the operator, asked through the prompt, or
// the caller beforehand (the command line's --ignore-mismatch).
enum class MismatchChoice { Ask, Accept, Refuse };

struct FirmwareJob {
    int ctx = 0;
    std::string dir;        // the firmware directory, as VerifyFirmwareDirectory takes it
    bool bootMode = false;  // the printer's firmware is already invalid: no identity, no
                            // invalidation, and a silent printer is expected
    int comPort = 1;        // the boot loader's line, COM1..COM4 as 1..4
    int model = 0;          // the attached model, named in the mismatch question
    MismatchChoice mismatch = MismatchChoice::Ask;
    // Told what verification found, before anything is asked; may be empty.
    std::function<void(const FirmwareCheck&)> verified;
};

// The step at which the road ended.
enum class FirmwareStep { Ping, Verify, Question, Identify, Invalidate, Download };

struct FirmwareRun {
    // Ping: kFirmwareNoAnswer. Verify: the verification's code (PCU_FW_MISMATCH when the caller
    // refused a mismatch, PCU_FW_CHECKSUM for a damaged image). Question: kFirmwareDeclined.
    // Identify: PCUGetRealPrinterID's code. Invalidate: kFirmwareInvalidationFailed.
    // Download: PCUFirmwareDownload's result, 0 for success.
    int result = 0;
    FirmwareStep step = FirmwareStep::Download;
    FirmwareCheck check;
};

// The COM number (1..4) of the boot loader's line for session port index `port`: the port
// itself when it is COM1..COM4, else COM1.
int BootLoaderPort(int port);

// Runs the road: ping, verify, the mismatch question (when the job leaves it to the operator),
// the version question (OK/Cancel), the status text "Sending firmware to printer...", the
// identity and invalidation (unless in boot mode), and the download. A refusal sends nothing
// further and leaves the files in place.
FirmwareRun RunFirmwareRoad(const FirmwareJob& job, Prompt& prompt);

}  // namespace tarvo::app
