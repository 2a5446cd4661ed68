#include "desk/startup.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <string>
#include <utility>

#include "brakenholm/brak_printer.h"
#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/lan_strings.h"
#include "shell/settings.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/identify.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr int kWarnPrinter = 2;

}  // namespace

ProblemChoice AskProblemDialog(Prompt& prompt) {
    Question q;
    q.caption = "Printer Communication Problem";
    q.text =
        "Tarvo could not communicate with the printer. Check that the printer is on and "
        "connected, then choose Retry, or Cancel to work without a printer.";
    q.buttons = PromptButtons::RetryCancel;
    q.icon = PromptIcon::Exclamation;
    q.defaultAnswer = PromptAnswer::Retry;
    return prompt.Ask(q) == PromptAnswer::Retry ? ProblemChoice::Retry : ProblemChoice::Cancel;
}

namespace {

struct IdTexts {
    std::array<char, PCU_ID_MODEL_SIZE> model{};
    std::array<char, PCU_ID_NUMBER_SIZE> number{};
    std::array<char, PCU_ID_FIRMWARE_SIZE> firmware{};
};

// The name the kernel is given first: a Brakenholm printer found earlier is asked on the
// script road by its name; "Unknown" when only the family is known.
std::string NameToAsk(const AppSession& s) {
    const bool brak = ReadSetting(setting::kFamily, "Lanmere") == "Brakenholm";
    if (brak && s.model < PROP_TABLE_MODELS)
        return "Unknown";
    return s.modelName;
}

int AskId(Desk& desk, IdTexts& id) {
    id = {};
    const std::string name = NameToAsk(desk.session);
    name.copy(id.model.data(), id.model.size() - 1);
    return PCUGetPrinterID(desk.ctx(), id.model.data(), id.number.data(), id.firmware.data(), 1);
}

// Selects DEFAULT with its default values and no printer objects.
void SelectDefaultModel(Desk& desk) {
    AppSession& s = desk.session;
    s.model = PROP_DEFAULT_MODEL;
    s.modelName = "DEFAULT";
    s.printer = MakePrinter(s, desk.prompt, s.model);
    LoadModelDefaults(desk, s.model);
    PCUClearDirectoryInfo(desk.ctx());
    RegisterResidentFonts(desk);
}

void GiveUp(Desk& desk) {
    AppSession& s = desk.session;
    SelectDefaultModel(desk);
    desk.prompt.Tell("Notice", text::StringText(text::kUsingDefaults), PromptIcon::Information);
    s.flags.identified = false;
    s.flags.online = false;
}

// Reads a Lanmere printer's configuration, objects and values. A failed read leaves the
// model's defaults in place and the configuration marked as not retrieved.
bool LoadLanmereState(Desk& desk) {
    LanConfig& c = desk.config;
    if (PCUGetCfg(desk.ctx()) != PCU_OK) {
        ShowWarning(desk, 0);
        LoadModelDefaults(desk, desk.session.model);
        return false;
    }
    ReadPrinterObjects(desk, true, true);
    PCUGetOptions(desk.ctx(), &c.options[0], &c.options[1], &c.options[2]);
    if (FetchPrinterValues(desk) != PCU_OK) {
        ShowWarning(desk, 0);
        return false;
    }
    return true;
}

const char* FamilyName(bool brakenholm) {
    return brakenholm ? "Brakenholm" : "Lanmere";
}

bool AdoptIdentifiedPrinter(Desk& desk, const IdTexts& id) {
    AppSession& s = desk.session;
    const int model = propGetPrinterID(id.model.data());
    if (model < 0) {
        ShowWarning(desk, kWarnPrinter);
        s.firmwareVersion = "Unavailable";
        LoadModelDefaults(desk, s.model);
        return false;
    }
    s.model = model;
    s.modelName = id.model.data();
    s.firmwareVersion = id.firmware.data();
    // The settings name the printer that answered before its state is read: a Brakenholm
    // printer's setup listing brings the host's line settings in line and reads the settings
    // again, which would otherwise bring back the model (and family) that was stored before.
    const bool brakenholm = model >= PROP_TABLE_MODELS;
    WriteSetting(setting::kPrinter, s.modelName);
    if (ReadSetting(setting::kFamily, "Lanmere") != FamilyName(brakenholm)) {
        WriteSetting(setting::kFamily, FamilyName(brakenholm));
        PCUInitCommParm(desk.ctx());
    }
    s.printer = MakePrinter(s, desk.prompt, model);
    bool loaded = true;
    if (!brakenholm) {
        loaded = LoadLanmereState(desk);
    } else {
        const OpResult r = s.printer->ReadPrinterIdentity();
        if (!r.ok()) {
            desk.prompt.Tell("Warning", Describe(r), PromptIcon::Stop);
            loaded = false;
        }
    }
    s.flags.identified = true;
    s.flags.online = true;
    s.flags.modified = false;
    s.flags.configNotRetrieved = !loaded;
    return true;
}

void RereadPort(AppSession& s) {
    const std::string port = ReadSetting(setting::kPort, "COM1");
    for (int i = 0; i < PCU_PORT_COUNT; ++i) {
        if (PortName(i) == port)
            s.port = i;
    }
}

}  // namespace

int SystemMeasurementSystem() {
    locale_t loc = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0))
        return 1;
    const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
    const int system = (m != nullptr && m[0] == 2) ? 2 : 1;
    freelocale(loc);
    return system;
}

const char* MeasurementsDefault(int measurementSystem) {
    return measurementSystem == 1 ? "Metric" : "English";
}

bool WriteFirstRunDefaults(int measurementSystem) {
    std::array<char, 8> probe{};
    if (PCUGetProfileString(kSettingsSection, "Port", "", probe.data(),
                            static_cast<int>(probe.size()), 0) != PCU_ERR_PROFILE_OPEN) {
        return false;  // the profile exists
    }
    if (PCUCreateProfile() != PCU_OK)
        return false;
    const std::pair<std::string_view, std::string_view> defaults[] = {
        {setting::kBaud, "9600"},
        {setting::kParity, "Even"},
        {setting::kDataBits, "7"},
        {setting::kStopBits, "1"},
        {setting::kProtocol, "XON/XOFF"},
        {setting::kPort, "COM1"},
        {setting::kPrinter, "DEFAULT"},
        {setting::kDefaultEnabled, "OFF"},
        {setting::kMeasurements, MeasurementsDefault(measurementSystem)},
        {setting::kPreamble, ""},
        {setting::kPostamble, ""},
        {setting::kFamily, "Lanmere"},
        {setting::kLanguage, "English"},
        {setting::kSettings, "AutoDefault"},
        {setting::kViewStartup, "1"},
    };
    bool ok = true;
    for (const auto& [key, value] : defaults)
        ok = WriteSetting(key, value) && ok;
    return ok;
}

bool IdentifyPrinter(Desk& desk, const IdentifyHooks& hooks) {
    AppSession& s = desk.session;
    SessionFlags& f = s.flags;
    f.autoConnectSucceeded = f.retryRequested = f.giveUp = false;
    IdTexts id;
    int r = AskId(desk, id);
    while (r != PCU_OK) {
        s.firmwareVersion = "Unavailable";
        LoadModelDefaults(desk, s.model);
        if (f.giveUp || (f.autoConnectSucceeded && !f.retryRequested))
            break;
        // Cleared before each dialog, so that Cancel always ends the loop.
        f.retryRequested = f.autoConnectSucceeded = false;
        const ProblemChoice choice =
            hooks.problem ? hooks.problem() : AskProblemDialog(desk.prompt);
        if (choice == ProblemChoice::Retry) {
            f.retryRequested = true;
        } else if (choice == ProblemChoice::AutoConnect && hooks.autoConnect) {
            f.autoConnectSucceeded = hooks.autoConnect();
            if (f.autoConnectSucceeded)
                ReadSettings(s, desk.prompt);
            else
                f.giveUp = true;
        } else {
            f.giveUp = true;
        }
        if (f.giveUp)
            break;
        r = AskId(desk, id);
    }
    if (r != PCU_OK) {
        GiveUp(desk);
        return false;
    }
    RereadPort(s);
    return AdoptIdentifiedPrinter(desk, id);
}

bool IdentifyAfterLineChange(Desk& desk) {
    AppSession& s = desk.session;
    s.flags.identified = s.flags.online = false;
    IdTexts id;
    int r = AskId(desk, id);
    while (r != PCU_OK && r != PCU_ERR_UNKNOWN_DEVICE &&
           AskProblemDialog(desk.prompt) == ProblemChoice::Retry)
        r = AskId(desk, id);
    if (r != PCU_OK && r != PCU_ERR_UNKNOWN_DEVICE)
        return false;
    // Something answered; a program number no table knows names no model.
    const int model = r == PCU_OK ? propGetPrinterID(id.model.data()) : -1;
    if (model < 0) {
        const Question unrecognized{
            "Tarvo", "Unrecognized printer. Do you wish to use the default settings?",
            PromptButtons::OkCancel, PromptIcon::Question, PromptAnswer::Ok};
        if (desk.prompt.Ask(unrecognized) == PromptAnswer::Ok) {
            SelectDefaultModel(desk);
            s.flags.online = true;
        }
        return false;
    }
    if (model >= PROP_TABLE_MODELS || ReadSetting(setting::kFamily, "Lanmere") != "Lanmere")
        return AdoptIdentifiedPrinter(desk, id);
    s.model = model;
    s.modelName = id.model.data();
    s.firmwareVersion = id.firmware.data();
    WriteSetting(setting::kPrinter, s.modelName);
    s.printer = MakePrinter(s, desk.prompt, model);
    s.flags.identified = s.flags.online = true;
    if (!s.flags.modified)
        LoadFromPrinter(desk);
    return true;
}

bool AutoConnect(Desk& desk, const IdentifyHooks& hooks) {
    if (!hooks.autoConnect || !hooks.autoConnect())
        return false;
    ReadSettings(desk.session, desk.prompt);
    return IdentifyPrinter(desk, hooks);
}

bool EnforceBaudRule(Desk& desk) {
    const std::string stored = ReadSetting(setting::kBaud, "9600");
    int baud = 0;
    try {
        baud = std::stoi(stored);
    } catch (...) {
        return false;  // ReadSettings has already reported a rate that names nothing
    }
    if (BaudAllowed(baud, desk.session.model))
        return false;
    desk.prompt.Tell("Warning", Format(text::StringText(text::kBaudChanged), stored.c_str()),
                     PromptIcon::Stop);
    WriteSetting(setting::kBaud, "9600");
    desk.session.baud = 9600;
    PCUInitCommParm(desk.ctx());
    return true;
}

bool InitializeSession(Desk& desk, const IdentifyHooks& hooks) {
    AppSession& s = desk.session;
    SetStatusText(desk, text::kInitializing);
    BusyScope busy(desk.prompt);
    ReadSettings(s, desk.prompt);
    if (s.kernelHandle == 0)
        s.kernelHandle = PCUCfgInit();
    if (s.kernelHandle == 0)
        return false;
    desk.config.download = {1, 1, 1, 1};
    PCUSetDnldFlags(s.kernelHandle, 1, 1, 1, 1);
    s.printer = MakePrinter(s, desk.prompt, s.model);
    IdentifyPrinter(desk, hooks);
    if (!s.printer->IsScriptFamily()) {
        if (PCUPing(desk.ctx()) == 0)
            RegisterResidentFonts(desk);
        // Only an identified model is held to the rule: for DEFAULT it would rewrite a
        // rate that is right for the printer the operator means to attach.
        if (s.flags.identified)
            EnforceBaudRule(desk);
    }
    SetStatusText(desk, text::kHelpPrompt);
    return true;
}

}  // namespace tarvo::app
