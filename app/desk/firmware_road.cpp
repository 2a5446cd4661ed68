#include "desk/firmware_road.h"

#include "desk/desk.h"
#include "desk/firmware_messages.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

constexpr const char* kQuestionCaption = "Warning";

std::string AttachedModelName(int model) {
    char name[PCU_ID_MODEL_SIZE] = "";
    char first[PCU_ID_NUMBER_SIZE] = "";
    char second[PCU_ID_NUMBER_SIZE] = "";
    PCUPrinterLookup(0, &model, name, first, second);
    return name;
}

bool AcceptMismatch(const FirmwareJob& job, const FirmwareCheck& check, Prompt& prompt) {
    if (job.mismatch != MismatchChoice::Ask)
        return job.mismatch == MismatchChoice::Accept;
    const std::string text =
        Format(FirmwareStringText(kStrFirmwareMismatch).c_str(),
               FirmwareModelName(check.version).c_str(), AttachedModelName(job.model).c_str());
    return prompt.Ask({kQuestionCaption, text, PromptButtons::YesNo, PromptIcon::Exclamation,
                       PromptAnswer::Yes}) == PromptAnswer::Yes;
}

bool AcceptVersion(const FirmwareJob& job, const FirmwareCheck& check, Prompt& prompt) {
    const std::string current =
        job.bootMode ? std::string("unknown") : std::string("version ") + check.firmware;
    const std::string text =
        Format(FirmwareStringText(kStrFirmwareProceed).c_str(), current.c_str(), check.version);
    return prompt.Ask({kQuestionCaption, text, PromptButtons::OkCancel, PromptIcon::Question,
                       PromptAnswer::Ok}) == PromptAnswer::Ok;
}

// Verification and the operator's questions; a run with result 0 goes on.
FirmwareRun Check(const FirmwareJob& job, Prompt& prompt) {
    FirmwareRun run{0, FirmwareStep::Verify, VerifyFirmwareDirectory(job.ctx, job.dir)};
    if (job.verified)
        job.verified(run.check);
    const int verified = run.check.result;
    if (verified == PCU_FW_MISMATCH) {
        if (job.mismatch == MismatchChoice::Refuse)
            return {verified, FirmwareStep::Verify, run.check};
        if (!AcceptMismatch(job, run.check, prompt))
            return {kFirmwareDeclined, FirmwareStep::Question, run.check};
    } else if (verified != 0) {
        return {verified, FirmwareStep::Verify, run.check};
    }
    if (!AcceptVersion(job, run.check, prompt))
        return {kFirmwareDeclined, FirmwareStep::Question, run.check};
    return run;
}

// Makes the printer fall back to its boot ROM.
FirmwareRun Invalidate(const FirmwareJob& job) {
    char type[PCU_ID_TYPE_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (const int rc = PCUGetRealPrinterID(job.ctx, type, number, firmware); rc != PCU_OK)
        return {rc, FirmwareStep::Identify, {}};
    const std::string text = std::string(number) + firmware;
    if (PCUInvalidateFirmware(job.ctx, text.c_str()) != 1)
        return {kFirmwareInvalidationFailed, FirmwareStep::Invalidate, {}};
    return {0, FirmwareStep::Invalidate, {}};
}

}  // namespace

FirmwareCheck VerifyFirmwareDirectory(int ctx, const std::string& dir) {
    FirmwareCheck v;
    v.result =
        PCUVerifyFirmwareFile(ctx, "", dir.c_str(), v.version, v.second, v.number, v.firmware);
    return v;
}

int BootLoaderPort(int port) {
    return port >= PCU_PORT_COM1 && port <= PCU_PORT_COM4 ? port + 1 : 1;
}

FirmwareRun RunFirmwareRoad(const FirmwareJob& job, Prompt& prompt) {
    // Only outside boot mode does silence end the road; the ping goes out either way.
    if (PCUPing(job.ctx) != 1 && !job.bootMode)
        return {kFirmwareNoAnswer, FirmwareStep::Ping, {}};
    FirmwareRun run = Check(job, prompt);
    if (run.result != 0)
        return run;
    prompt.SetStatus(FirmwareStringText(kStrFirmwareSending));
    if (!job.bootMode) {
        const FirmwareRun invalidated = Invalidate(job);
        if (invalidated.result != 0)
            return {invalidated.result, invalidated.step, run.check};
    }
    run.step = FirmwareStep::Download;
    run.result = PCUFirmwareDownload(job.ctx, job.comPort, "", job.dir.c_str());
    return run;
}

}  // namespace tarvo::app
