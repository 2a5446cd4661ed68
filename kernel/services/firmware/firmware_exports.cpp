// The four firmware exports: verification against the printer, invalidation of the running
// firmware, the download over the boot-loader link, and removal of the firmware files.
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "services/firmware/boot_link.h"
#include "services/firmware/firmware_download.h"
#include "services/firmware/firmware_image.h"
#include "session/export_boundary.h"
#include "tarvo/firmware.h"
#include "tarvo/identify.h"
#include "tarvo/session.h"

namespace tarvo::firmware {
namespace {

constexpr Millis kAfterInvalidation{3000};

static_assert(PCU_FW_CANNOT_OPEN == kFwCannotOpen && PCU_FW_MISMATCH == kFwMismatch &&
              PCU_FW_LIST_SYNTAX == kFwListSyntax && PCU_FW_CHECKSUM == kFwBadChecksum);

// The image PCUVerifyFirmwareFile read last, for PCUDeleteFirmwareFiles.
std::string& LastImageName() {
    static std::string name;
    return name;
}

void CopyVersion(const VersionText& text, char* out) {
    std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
}

void CopyText(const char* text, char* out, std::size_t size) {
    const std::size_t n = strnlen(text, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// Escapes '<' so that the text reaches the printer as it was given.
std::string Literal(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        out.push_back(*p);
        if (*p == '<')
            out.push_back('<');
    }
    return out;
}

int Verify(int ctx, const std::string& directory, char* version, char* secondVersion,
           char* programNumber, char* firmware) {
    std::string imageName;
    if (const int rc = ReadImageName(directory, &imageName); rc != 0)
        return rc;
    LastImageName() = imageName;
    ImageVersions versions;
    if (const int rc = CheckImage(directory, imageName, &versions); rc != 0)
        return rc;
    CopyVersion(versions.first, version);
    CopyVersion(versions.second, secondVersion);
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char running[PCU_ID_FIRMWARE_SIZE] = "";
    if (PCUGetPrinterID(ctx, model, number, running, 1) != PCU_OK)
        return kFwOk;  // a printer that does not answer may already be in its boot ROM
    CopyText(number, programNumber, PCU_ID_NUMBER_SIZE);
    CopyText(running, firmware, PCU_ID_FIRMWARE_SIZE);
    return VersionFitsPrinter(versions.first, number) ? kFwOk : kFwMismatch;
}

}  // namespace
}  // namespace tarvo::firmware

using namespace tarvo;
using namespace tarvo::firmware;

TARVO_API int PCUVerifyFirmwareFile(int ctx, const char* drive, const char* directory,
                                    char* version, char* secondVersion, char* programNumber,
                                    char* firmware) {
    return RunExport(ctx, [&](Context&) -> int {
        if (directory == nullptr || version == nullptr || secondVersion == nullptr ||
            programNumber == nullptr || firmware == nullptr)
            return PCU_ERR_ARGUMENT;
        version[0] = secondVersion[0] = programNumber[0] = firmware[0] = '\0';
        return Verify(ctx, FirmwareDirectory(drive, directory), version, secondVersion,
                      programNumber, firmware);
    });
}

TARVO_API int PCUInvalidateFirmware(int ctx, const char* text) {
    return RunExportOr(0, ctx, [&](Context&) {
        if (text == nullptr || PCUOpenPrinter(ctx) == 0)
            return 0;
        const std::string command = "<ESC>T;F" + Literal(text) + ";R";
        const int written = PCUWritePrinter(ctx, command.c_str());
        PCUClosePrinter(ctx);
        if (written == 0)
            return 0;
        // The printer needs the time to drop into its boot ROM.
        platform::CurrentClock().sleepFor(kAfterInvalidation);
        return 1;
    });
}

TARVO_API int PCUFirmwareDownload(int ctx, int port, const char* drive, const char* directory) {
    return RunExport(ctx, [&](Context&) -> int {
        if (directory == nullptr)
            return PCU_ERR_ARGUMENT;
        SerialBootLink link;
        // A port that does not open is not an error yet: the boot ROM's silence reports it.
        link.open(port, kSpeed38400);
        return RunDownload(link, kSpeed38400, FirmwareDirectory(drive, directory));
    });
}

TARVO_API int PCUDeleteFirmwareFiles(int ctx, const char* drive, const char* directory) {
    return RunExportOr(0, ctx, [&](Context&) {
        if (directory == nullptr)
            return 0;
        const std::string dir = FirmwareDirectory(drive, directory);
        std::string image = LastImageName();
        if (image.empty())
            ReadImageName(dir, &image);
        return DeleteFirmwareFiles(dir, image) ? 1 : 0;
    });
}
