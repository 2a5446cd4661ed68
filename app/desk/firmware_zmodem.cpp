#include "desk/firmware_zmodem.h"

#include <filesystem>
#include <string>

#include "brakenholm/brak_printer.h"
#include "desk/firmware_messages.h"
#include "fwxfer/gf_monitor.h"
#include "fwxfer/gf_zmodem.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

constexpr const char* kZmodemQuestionCaption = "Warning";

FirmwareOutcome DeclinedByOperator(Desk& desk) {
    desk.prompt.SetStatus(FirmwareStringText(kStrFirmwareAborting));
    return {kFirmwareDeclined, {}};
}

FirmwareOutcome ScriptPrinterRoad(Desk& desk, CBrakPrinter& brak, const std::string& path,
                                  TransferWindows& windows) {
    bool kindChanges = false;
    OpResult result;
    {
        const auto monitor = windows.OpenMonitor(TransferKind::Firmware);
        result = brak.FirmwareDownload(path, *monitor, &kindChanges);
    }
    if (result.status == OpStatus::Cancelled)
        return DeclinedByOperator(desk);
    if (!result.ok())
        return {0, result.detail.empty() ? Describe(result) : result.detail};
    windows.OfferReboot(!kindChanges);
    return {};
}

// The escape-language firmware has no RUN line and no SETUP commands: its receiver answers the
// Zmodem request on the line as it is, so the file goes on the host's own line settings.
FirmwareOutcome EscapeLanguageRoad(Desk& desk, const std::string& path, TransferWindows& windows) {
    // Zmodem carries every byte value; on 7-bit characters the receiver would only ever see
    // damaged headers, and the transfer would end in a bare error code after its timeouts.
    if (desk.session.dataBits < 8) {
        return {0,
                "The firmware goes over Zmodem, which needs 8-bit characters, and the line is on " +
                    std::to_string(desk.session.dataBits) +
                    " data bits.\nSet the printer and the host to 8 data bits, then download "
                    "again."};
    }
    const std::optional<std::string> fileText = FirmwareFileVersion(path);
    if (!fileText)
        return {0, path + " is not a firmware file for this printer."};
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (PCUGetPrinterID(desk.ctx(), model, number, firmware, 1) != PCU_OK)
        return {kFirmwareNoAnswer, {}};
    const std::string printerText = std::string("version ") + firmware;
    const FirmwarePlan plan = PlanFirmwareChange(printerText, *fileText);
    // Only the change of language has a question of its own here; the kernel versions of the
    // script firmware do not apply to this firmware.
    const std::string question = plan.kindChanges
                                     ? plan.question
                                     : Format(FirmwareStringText(kStrFirmwareProceed).c_str(),
                                              printerText.c_str(), fileText->c_str());
    if (desk.prompt.Ask({kZmodemQuestionCaption, question, PromptButtons::OkCancel,
                         PromptIcon::Question, PromptAnswer::Ok}) != PromptAnswer::Ok)
        return DeclinedByOperator(desk);
    desk.prompt.SetStatus(FirmwareStringText(kStrFirmwareSending));
    fwxfer::GFResult sent;
    {
        const auto monitor = windows.OpenMonitor(TransferKind::Firmware);
        const std::string name = std::filesystem::path(path).filename().string();
        sent =
            SendByZmodem(desk.session, SessionLineFormat(desk.session), {}, path, name, *monitor);
    }
    if (sent != fwxfer::GFResult::Ok)
        return {0, TransferErrorText(sent)};
    desk.prompt.Tell("Firmware Download", RestartByHandText(plan.kindChanges),
                     PromptIcon::Information);
    return {};
}

}  // namespace

std::string RestartByHandText(bool kindChanges) {
    std::string text =
        "The firmware file is on the printer. Switch the printer off and on again "
        "to run it.";
    if (kindChanges)
        text += "\nThe printer will then speak the other language: run Autoconnect to find it.";
    return text;
}

FirmwareOutcome RunZmodemFirmware(Desk& desk, const FirmwareRequest& request,
                                  TransferWindows& windows) {
    if (request.filePath.empty())
        return {PCU_ERR_ARGUMENT, "No firmware file was chosen."};
    if (IsFirmwarePackage(request.filePath))
        return {0, FirmwarePackageRefusal()};
    if (desk.session.port > PCU_PORT_COM4) {
        return {0,
                "You can not download firmware over the parallel port.\nPlease switch to a "
                "serial port."};
    }
    if (CBrakPrinter* brak = AsBrakPrinter(desk.session.printer.get()))
        return ScriptPrinterRoad(desk, *brak, request.filePath, windows);
    return EscapeLanguageRoad(desk, request.filePath, windows);
}

}  // namespace tarvo::app
