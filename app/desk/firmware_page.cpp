#include "desk/firmware_page.h"

#include <cctype>
#include <filesystem>

#include "desk/firmware_messages.h"
#include "desk/firmware_road.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "Firmware Download";

// What the page shows on its way out of the road: the status text of an aborted download, the
// warning about a damaged image.
void TellEnd(Desk& desk, const FirmwareRun& run) {
    if (run.step == FirmwareStep::Question)
        desk.prompt.SetStatus(FirmwareStringText(kStrFirmwareAborting));
    else if (run.step == FirmwareStep::Verify && run.result == PCU_FW_CHECKSUM)
        desk.prompt.Tell("Warning", FirmwareStringText(kStrFirmwareCorrupted), PromptIcon::Stop);
}

}  // namespace

bool IsFirmwarePackage(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".exe";
}

std::string FirmwarePackageRefusal() {
    return "A self-extracting firmware package cannot be run here. Unpack it on another "
           "computer and choose the unpacked .bin file.";
}

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
    if (IsFirmwarePackage(request.filePath))
        return {0, FirmwarePackageRefusal() +
                       " listfile.txt and flashldr.bin must be in the same directory."};
    FirmwareJob job;
    job.ctx = desk.ctx();
    job.dir = FirmwareDirectory(request.filePath);
    job.bootMode = request.bootMode;
    job.comPort = BootLoaderPort(desk.session.port);
    job.model = desk.session.model;
    const FirmwareRun run = RunFirmwareRoad(job, desk.prompt);
    TellEnd(desk, run);
    return {run.result, {}};
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
