#include <array>
#include <string_view>
#include <utility>

#include "brakenholm/brak_printer.h"
#include "desk/config_values.h"
#include "desk/lan_strings.h"
#include "desk/printer_commands.h"
#include "shell/settings.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/identify.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr int kSpeed = 3;
constexpr int kSecondSpeed = 40;  // the same ladder as the print speed
constexpr int kEmulation = 2;     // allowed in the kernel's order
constexpr int kKeepsMinimum = 6;
constexpr int kLastBrakModel = 40;
constexpr int kSpeedLadderSteps = 21;  // 20, 25, ... 120 tenths of an inch per second

int LadderSpeed(int step) {
    return 20 + 5 * step;
}

bool Allowed(int mask, int bit) {
    return bit >= 0 && bit < 31 && ((mask >> bit) & 1) != 0;
}

int SpeedStep(int speed) {
    if (speed < 20 || speed > 120 || speed % 5 != 0)
        return -1;
    return (speed - 20) / 5;
}

int Default(int model, int i) {
    int value = 0;
    propGetCfgDefault(model, i, &value);
    return value;
}

// The highest speed of the ladder that `mask` allows and that is not above `speed`; the
// model's default of `setting` when there is none.
int HighestSpeedNotAbove(int model, int setting, int mask, int speed) {
    for (int step = kSpeedLadderSteps - 1; step >= 0; --step) {
        if (LadderSpeed(step) <= speed && Allowed(mask, step))
            return LadderSpeed(step);
    }
    return Default(model, setting);
}

int Replacement(int model, int i, int mask, int original, int current) {
    if (i == kSpeed || i == kSecondSpeed)
        return HighestSpeedNotAbove(model, i, mask, original);
    if (i == kKeepsMinimum)
        return current;
    return Default(model, i);
}

struct Attached {
    bool answered = false;
    int model = -1;
};

Attached AskAttached(Desk& desk, const IdentifyHooks& hooks) {
    std::array<char, PCU_ID_MODEL_SIZE> name{};
    std::array<char, PCU_ID_NUMBER_SIZE> number{};
    std::array<char, PCU_ID_FIRMWARE_SIZE> firmware{};
    const auto ask = [&] {
        name = {};
        desk.session.modelName.copy(name.data(), name.size() - 1);
        return PCUGetPrinterID(desk.ctx(), name.data(), number.data(), firmware.data(), 1);
    };
    if (PCUPing(desk.ctx()) != 0)
        return ask() == PCU_OK ? Attached{true, propGetPrinterID(name.data())} : Attached{};
    for (;;) {
        const ProblemChoice c = hooks.problem ? hooks.problem() : AskProblemDialog(desk.prompt);
        if (c == ProblemChoice::Cancel)
            return {};
        if (c == ProblemChoice::AutoConnect) {
            if (!hooks.autoConnect || !hooks.autoConnect())
                return {};
            ReadSettings(desk.session, desk.prompt);
        }
        if (ask() == PCU_OK)
            return {true, propGetPrinterID(name.data())};
    }
}

bool AgreeToOtherModel(Desk& desk, int chosen, int attached) {
    std::array<char, PROP_NAME_SIZE> a{};
    std::array<char, PROP_NAME_SIZE> b{};
    propGetPrinterStr(chosen, a.data());
    propGetPrinterStr(attached, b.data());
    Question q;
    q.caption = "Warning";
    q.text = Format(text::StringText(text::kOtherModelAttached), a.data(), b.data());
    q.buttons = PromptButtons::YesNo;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Yes;
    return desk.prompt.Ask(q) == PromptAnswer::Yes;
}

void ReadLanmereState(Desk& desk) {
    AppSession& s = desk.session;
    std::array<char, PCU_ID_MODEL_SIZE> name{};
    std::array<char, PCU_ID_NUMBER_SIZE> number{};
    std::array<char, PCU_ID_FIRMWARE_SIZE> firmware{};
    s.modelName.copy(name.data(), name.size() - 1);
    const int r = s.model == PROP_DEFAULT_MODEL
                      ? PCU_ERR_UNKNOWN_DEVICE  // DEFAULT never asks the printer
                      : PCUGetPrinterID(desk.ctx(), name.data(), number.data(), firmware.data(), 1);
    if (r == PCU_OK) {
        s.firmwareVersion = firmware.data();
        if (propDirCmd(s.model) == 1)
            ReadPrinterObjects(desk, true, false);
    } else if (r == PCU_ERR_UNKNOWN_DEVICE) {
        PCUClearDirectoryInfo(desk.ctx());
        RegisterResidentFonts(desk);
    } else {
        s.firmwareVersion = "Unavailable";
        desk.config.fontCount = 0;
    }
}

}  // namespace

int KeepValuesInDomain(Desk& desk, int model) {
    int replaced = 0;
    for (int i = 0; i < PROP_SETTING_COUNT; ++i) {
        int& value = desk.config.values[static_cast<std::size_t>(i)];
        const int original = value;
        const int kind = propGetCfgDataType(model, i);
        int a = 0;
        int b = 0;
        if (kind == PROP_KIND_RANGE) {
            propGetCfgSetting(model, i, &a, &b);
            if (value >= a && value <= b)
                continue;
            value = Replacement(model, i, 0, original, a);
        } else if (kind == PROP_KIND_LIST) {
            propGetCfgSetting(model, i, &a, nullptr);
            const int bit = (i == kSpeed || i == kSecondSpeed) ? SpeedStep(value)
                            : i == kEmulation                  ? EmulationToKernel(value)
                                                               : value;
            if (Allowed(a, bit))
                continue;
            value = Replacement(model, i, a, original, value);
        } else {
            continue;
        }
        ++replaced;
    }
    return replaced;
}

bool ApplyCommunicationDefaults(Desk& desk) {
    if (ReadSetting(setting::kDefaultEnabled, "OFF") == "OFF")
        return EnforceBaudRule(desk);
    // Every Lanmere model has the same default line.
    const std::pair<std::string_view, std::string_view> line[] = {
        {setting::kPort, "COM1"},  {setting::kBaud, "9600"},  {setting::kParity, "Even"},
        {setting::kDataBits, "7"}, {setting::kStopBits, "1"}, {setting::kProtocol, "Standard"},
    };
    for (const auto& [key, value] : line)
        WriteSetting(key, value);
    PCUInitCommParm(desk.ctx());
    ReadSettings(desk.session, desk.prompt);
    return true;
}

OpResult SelectPrinter(Desk& desk, int model, bool keepSettings, const IdentifyHooks& hooks) {
    if (model < 0 || model > kLastBrakModel)
        return {OpStatus::Refused, std::nullopt, "no such printer model"};
    AppSession& s = desk.session;
    const bool wasOnline = s.flags.online;
    s.flags.online = false;
    if (model != PROP_DEFAULT_MODEL) {
        const Attached attached = AskAttached(desk, hooks);
        if (attached.answered && attached.model >= 0 && attached.model != model &&
            !AgreeToOtherModel(desk, model, attached.model)) {
            s.flags.online = wasOnline;
            return {OpStatus::Cancelled, std::nullopt, {}};
        }
        s.flags.online = attached.answered;
    } else {
        s.flags.online = true;
    }
    std::array<char, PROP_NAME_SIZE> name{};
    propGetPrinterStr(model, name.data());
    s.model = model;
    s.modelName = name.data();
    s.flags.identified = true;
    s.printer = MakePrinter(s, desk.prompt, model);
    const bool brak = model >= PROP_TABLE_MODELS;
    WriteSetting(setting::kPrinter, s.modelName);
    WriteSetting(setting::kFamily, brak ? "Brakenholm" : "Lanmere");
    PCUInitCommParm(desk.ctx());
    if (brak) {
        if (s.flags.online) {
            const OpResult r = s.printer->ReadPrinterIdentity();
            if (!r.ok())
                desk.prompt.Tell("Warning", Describe(r), PromptIcon::Stop);
        }
        return {};
    }
    desk.config.fonts.Clear();
    desk.config.graphics.Clear();
    desk.config.commandFiles = {};
    if (keepSettings)
        KeepValuesInDomain(desk, model);
    else
        LoadModelDefaults(desk, model);
    ReadLanmereState(desk);
    ApplyCommunicationDefaults(desk);
    return {};
}

}  // namespace tarvo::app
