#include "desk/doc_commands.h"

#include <array>
#include <cctype>
#include <filesystem>

#include "desk/config_values.h"
#include "desk/lan_strings.h"
#include "shell/settings.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/directory.h"
#include "tarvo/downloads.h"
#include "tarvo/identify.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr const char* kLoading = "Loading configuration data from printer -- please wait";

OpResult Fail(OpStatus status, std::string detail) {
    return {status, std::nullopt, detail};
}

// Puts the session's configuration back into the kernel context after a file that did not
// load, so the context and the session agree again.
void RestoreContext(Desk& desk) {
    StoreValues(desk);
}

void RegisterSelectedObjects(Desk& desk) {
    for (cl_node* n = cl_first(desk.config.fonts.head());
         n != nullptr && n != desk.config.fonts.head(); n = cl_next(n)) {
        const auto* info = static_cast<const FontInfo*>(n->data);
        if (info != nullptr)
            PCUPutFontInfo(desk.ctx(), info->id, info);
    }
    for (cl_node* n = cl_first(desk.config.graphics.head());
         n != nullptr && n != desk.config.graphics.head(); n = cl_next(n)) {
        const auto* info = static_cast<const GraphicInfo*>(n->data);
        if (info != nullptr)
            PCUPutGraphicInfo(desk.ctx(), info->id, info);
    }
    RegisterCommandFileDeletions(desk.ctx(), desk.config.commandFiles);
    RegisterCommandFileDownloads(desk.ctx(), desk.config.commandFiles);
}

void AdoptFileModel(Desk& desk) {
    AppSession& s = desk.session;
    std::array<char, PCU_ID_MODEL_SIZE> name{};
    std::array<char, PCU_ID_NUMBER_SIZE> number{};
    std::array<char, PCU_ID_FIRMWARE_SIZE> firmware{};
    PCUGetPrinterID(desk.ctx(), name.data(), number.data(), firmware.data(), 0);
    const int model = propGetPrinterID(name.data());
    if (model != -1) {
        s.model = model;
        s.modelName = name.data();
        WriteSetting(setting::kPrinter, s.modelName);
    }
    s.firmwareVersion = firmware[0] != '\0' ? firmware.data() : "Unavailable";
}

}  // namespace

bool HasConfigExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".tcf";
}

bool AskOkCancel(Desk& desk, int stringId, const std::string& details) {
    Question q;
    q.caption = "Tarvo";
    q.text = text::StringText(stringId);
    q.buttons = PromptButtons::OkCancel;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Cancel;
    return desk.prompt.AskWithDetails(q, details) == PromptAnswer::Ok;
}

OpResult LoadFromPrinter(Desk& desk) {
    if (!AskOkCancel(desk, text::kAskLoad))
        return Fail(OpStatus::Cancelled, {});
    BusyScope busy(desk.prompt);
    desk.prompt.SetStatus(kLoading);
    AppSession& s = desk.session;
    OpResult result;
    if (s.printer->IsScriptFamily()) {
        result = TellIfFailed(desk, s.printer->ReadPrinterIdentity());
    } else if (PCUPing(desk.ctx()) == 0) {
        ShowWarning(desk, text::kLoadFailed);
        result = Fail(OpStatus::NoAnswer, text::StringText(text::kLoadFailed));
    } else if (PCUGetCfg(desk.ctx()) != PCU_OK) {
        ShowWarning(desk, 0);
        result = Fail(OpStatus::Failed, PCUErrStr(desk.ctx()));
    } else {
        LanConfig& c = desk.config;
        PCUGetOptions(desk.ctx(), &c.options[0], &c.options[1], &c.options[2]);
        if (propDirCmd(s.model) == 1)
            ReadPrinterObjects(desk, false, false);
        if (FetchPrinterValues(desk) != PCU_OK) {
            ShowWarning(desk, 0);
            result = Fail(OpStatus::Failed, PCUErrStr(desk.ctx()));
        }
    }
    if (result.ok()) {
        s.flags.modified = false;
        s.flags.configNotRetrieved = false;
    }
    SetStatusText(desk, text::kReady);
    return result;
}

OpResult OpenConfigFile(Desk& desk) {
    AppSession& s = desk.session;
    if (s.printer->IsScriptFamily()) {
        OpResult r = TellIfFailed(desk, s.printer->LoadSetupFile());
        if (r.ok())
            s.flags.modified = true;
        return r;
    }
    FileRequest request{kConfigFilter, kConfigExtension, true, false, {}, {}};
    for (;;) {
        const FileChoice choice = desk.prompt.ChooseOpenFile(request);
        if (choice.outcome == FileChoice::Outcome::Cancelled)
            return Fail(OpStatus::Cancelled, {});
        if (choice.outcome == FileChoice::Outcome::Failed) {
            desk.prompt.Tell("Error", "Unable to access Open File dialog box", PromptIcon::Stop);
            return Fail(OpStatus::Failed, "no file dialog");
        }
        if (!HasConfigExtension(choice.path))
            continue;  // the chooser comes back, as it does for a file that does not exist
        if (PCUFromFile(desk.ctx(), choice.path.c_str()) != PCU_OK) {
            // The kernel's own text says why; the dialog comes back for another choice.
            desk.prompt.Tell("Warning", PCUErrStr(desk.ctx()), PromptIcon::Stop);
            RestoreContext(desk);
            continue;
        }
        break;
    }
    if (FetchValues(desk) != PCU_OK) {
        desk.prompt.Tell("Error!", text::StringText(text::kValuesUnreadable), PromptIcon::Stop);
        RestoreContext(desk);
        return Fail(OpStatus::Failed, text::StringText(text::kValuesUnreadable));
    }
    AdoptFileModel(desk);
    return {};
}

OpResult SaveConfigAs(Desk& desk) {
    AppSession& s = desk.session;
    if (s.printer->IsScriptFamily())
        return TellIfFailed(desk, s.printer->SaveSetupFile());
    if (StoreValues(desk) != PCU_OK) {
        ShowWarning(desk, 0);
        return Fail(OpStatus::Failed, PCUErrStr(desk.ctx()));
    }
    FileRequest request{kConfigFilter, kConfigExtension, false, true, {}, {}};
    FileChoice choice;
    for (;;) {
        choice = desk.prompt.ChooseSaveFile(request);
        if (choice.outcome == FileChoice::Outcome::Cancelled)
            return Fail(OpStatus::Cancelled, {});
        if (choice.outcome == FileChoice::Outcome::Failed) {
            desk.prompt.Tell("Error", "Unable to access File Save As dialog box", PromptIcon::Stop);
            return Fail(OpStatus::Failed, "no file dialog");
        }
        if (HasConfigExtension(choice.path))
            break;
        desk.prompt.Tell("Warning", text::StringText(text::kSaveExtension), PromptIcon::Stop);
    }
    BusyScope busy(desk.prompt);
    SetStatusText(desk, text::kSavingFile);
    RegisterSelectedObjects(desk);
    const int r = PCUToFile(desk.ctx(), choice.path.c_str());
    if (r != PCU_OK) {
        const char* name = nullptr;
        int location = 0;
        PCUErrInfo(desk.ctx(), nullptr, &location, &name);
        const std::string text = r == PCU_ERR_FACE ? Format(text::StringText(text::kSaveFontFace),
                                                            name ? name : "", location)
                                                   : std::string(PCUErrStr(desk.ctx()));
        desk.prompt.Tell("Warning", text, PromptIcon::Stop);
        SetStatusText(desk, text::kReady);
        return Fail(OpStatus::Failed, text);
    }
    desk.config.fonts.Clear();
    desk.config.graphics.Clear();
    desk.config.commandFiles = {};
    SetStatusText(desk, text::kReady);
    s.flags.modified = false;
    return {};
}

OpResult SetToDefault(Desk& desk) {
    AppSession& s = desk.session;
    if (s.printer->IsScriptFamily())
        return Fail(OpStatus::NotSupported, "not available for this printer");
    if (!AskOkCancel(desk, text::kAskSetToDefault))
        return Fail(OpStatus::Cancelled, {});
    ReadSettings(s, desk.prompt);
    LoadModelDefaults(desk, s.model);
    return {};
}

}  // namespace tarvo::app
