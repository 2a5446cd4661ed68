#include "desk/firmware_page.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "desk/firmware_messages.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kWarning = "Warning";
constexpr const char* kCaption = "Firmware Download";

struct Verified {
    int result = 0;
    char version[PCU_FIRMWARE_VERSION_SIZE] = "";
    char second[PCU_FIRMWARE_VERSION_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
};

std::string ModelNameOf(int model) {
    char name[PCU_ID_MODEL_SIZE] = "";
    char first[PCU_ID_NUMBER_SIZE] = "";
    char second[PCU_ID_NUMBER_SIZE] = "";
    PCUPrinterLookup(0, &model, name, first, second);
    return name;
}

void SetStatus(Desk& desk, int id) {
    desk.prompt.SetStatus(FirmwareStringText(id));
}

// The mismatch question; true to go on.
bool AcceptMismatch(Desk& desk, const Verified& v) {
    const std::string text =
        Format(FirmwareStringText(kStrFirmwareMismatch).c_str(),
               FirmwareModelName(v.version).c_str(), ModelNameOf(desk.session.model).c_str());
    const PromptAnswer a = desk.prompt.Ask(
        {kWarning, text, PromptButtons::YesNo, PromptIcon::Exclamation, PromptAnswer::Yes});
    if (a == PromptAnswer::Yes)
        return true;
    SetStatus(desk, kStrFirmwareAborting);
    return false;
}

bool AcceptVersion(Desk& desk, const Verified& v, bool bootMode) {
    const std::string current =
        bootMode ? std::string("unknown") : std::string("version ") + v.firmware;
    const std::string text =
        Format(FirmwareStringText(kStrFirmwareProceed).c_str(), current.c_str(), v.version);
    const PromptAnswer a = desk.prompt.Ask(
        {kWarning, text, PromptButtons::OkCancel, PromptIcon::Question, PromptAnswer::Ok});
    if (a == PromptAnswer::Ok)
        return true;
    SetStatus(desk, kStrFirmwareAborting);
    return false;
}

// Verification and the operator's questions; 0 to go on, otherwise the result to end with.
int CheckFirmware(Desk& desk, const std::string& dir, bool bootMode, Verified& v) {
    v.result = PCUVerifyFirmwareFile(desk.ctx(), "", dir.c_str(), v.version, v.second, v.number,
                                     v.firmware);
    if (v.result == PCU_FW_MISMATCH) {
        if (!AcceptMismatch(desk, v))
            return kFirmwareDeclined;
    } else if (v.result == PCU_FW_CHECKSUM) {
        desk.prompt.Tell(kWarning, FirmwareStringText(kStrFirmwareCorrupted), PromptIcon::Stop);
        return v.result;
    } else if (v.result != 0) {
        return v.result;
    }
    return AcceptVersion(desk, v, bootMode) ? 0 : kFirmwareDeclined;
}

// Makes the printer fall back to its boot ROM; 0 or the result to end with.
int Invalidate(Desk& desk) {
    char type[PCU_ID_TYPE_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (const int rc = PCUGetRealPrinterID(desk.ctx(), type, number, firmware); rc != PCU_OK)
        return rc;
    const std::string text = std::string(number) + firmware;
    return PCUInvalidateFirmware(desk.ctx(), text.c_str()) == 1 ? 0 : kFirmwareInvalidationFailed;
}

bool IsPackage(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".exe";
}

}  // namespace

bool UsesFileTransferRoad(int model) {
    return CapabilitiesOf(model).firmwareRoad == FirmwareRoad::kZmodem;
}

std::string FirmwareDirectory(const std::string& filePath) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(filePath), ec);
    if (ec)
        p = fs::path(filePath);
    std::string dir = p.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

FirmwareOutcome RunLanmereFirmware(Desk& desk, const FirmwareRequest& request) {
    if (request.filePath.empty())
        return {PCU_ERR_ARGUMENT, "No firmware file was chosen."};
    if (UsesFileTransferRoad(desk.session.model))
        return {0,
                "Firmware download for the " + desk.session.modelName + " is not available yet."};
    if (IsPackage(request.filePath))
        return {0,
                "A self-extracting firmware package cannot be run here. Unpack it on "
                "another computer and choose the unpacked .bin file (listfile.txt and "
                "flashldr.bin must be in the same directory)."};
    if (PCUPing(desk.ctx()) != 1 && !request.bootMode)
        return {kFirmwareNoAnswer, {}};
    const std::string dir = FirmwareDirectory(request.filePath);
    Verified v;
    if (const int rc = CheckFirmware(desk, dir, request.bootMode, v); rc != 0)
        return {rc, {}};
    SetStatus(desk, kStrFirmwareSending);
    if (!request.bootMode) {
        if (const int rc = Invalidate(desk); rc != 0)
            return {rc, {}};
    }
    const int port = desk.session.port >= PCU_PORT_COM1 && desk.session.port <= PCU_PORT_COM4
                         ? desk.session.port + 1
                         : 1;
    return {PCUFirmwareDownload(desk.ctx(), port, "", dir.c_str()), {}};
}

bool ReportFirmwareOutcome(Desk& desk, const FirmwareOutcome& outcome) {
    const std::string text =
        outcome.refusal.empty() ? FirmwareResultMessage(outcome.result) : outcome.refusal;
    if (text.empty())
        return false;
    desk.prompt.Tell(kCaption, text, PromptIcon::Exclamation);
    return true;
}

}  // namespace tarvo::app
