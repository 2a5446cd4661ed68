#include "printer_config.h"

#include <algorithm>

#include "tarvo/base/model_tables.h"

namespace tarvo::sim {
namespace {

// A kept setting: its name in the state file and the values its record field can hold at all
// (8-bit, 16-bit or signed fields); the model's domain narrows that further.
struct KeptSetting {
    int setting;
    std::string_view name;
    int lowest;
    int highest;
};

constexpr int kByte = 255;
constexpr int kWord = 65535;
constexpr int kSignedLimit = 999999;  // wider than any domain, narrow enough to print

// clang-format off
constexpr std::array kKeptSettings = {
    KeptSetting{2, "emulation", 0, tarvo::kEmulationCount - 1},
    KeptSetting{3, "print-speed", 0, kWord},
    KeptSetting{4, "char-set", 0, kWord},
    KeptSetting{5, "image-bands", 0, kWord},
    KeptSetting{6, "memory-size", 0, kWord},
    KeptSetting{9, "self-strip", 0, kByte},
    KeptSetting{10, "cutter", 0, kByte},
    KeptSetting{11, "media-type", 0, kWord},
    KeptSetting{12, "label-stock", 0, kWord},
    KeptSetting{13, "media-sensitivity", 0, kWord},
    KeptSetting{14, "darkness", -kSignedLimit, kSignedLimit},
    KeptSetting{15, "label-length", 0, kWord},
    KeptSetting{17, "retract", 0, kByte},
    KeptSetting{18, "top-of-form", -32768, 32767},
    KeptSetting{19, "trail-margin", 0, kWord},
    KeptSetting{20, "rest-adjust", -kSignedLimit, kSignedLimit},
    KeptSetting{21, "take-up-adjust", -kSignedLimit, kSignedLimit},
    KeptSetting{22, "media-status", 0, 1},
    KeptSetting{23, "buffer-status", 0, 1},
    KeptSetting{24, "memory-status", 0, 1},
    KeptSetting{25, "language-translation", 0, kByte},
    KeptSetting{26, "message-delay", 0, kWord},
    KeptSetting{27, "inter-char-delay", 0, kWord},
    KeptSetting{28, "start-char", 0, kByte},
    KeptSetting{29, "end-char", 0, kByte},
    KeptSetting{30, "value-a", 0, kWord},
    KeptSetting{31, "label-width", 0, kWord},
    KeptSetting{32, "audible-alarm", 0, kByte},
    KeptSetting{33, "online-at-power-up", 0, kWord},
    KeptSetting{34, "value-h1", 0, kByte},
    KeptSetting{35, "value-h2", 0, kByte},
    KeptSetting{36, "value-p2", 0, kWord},
    KeptSetting{37, "value-p1", 0, kWord},
    KeptSetting{38, "value-e", 0, kByte},
    KeptSetting{39, "serial-flag", 0, 1},
    KeptSetting{41, "value-z", 0, kByte},
    KeptSetting{42, "value-v", 0, kWord},
};
// clang-format on

const KeptSetting* FindKept(int setting) {
    const auto it = std::ranges::find(kKeptSettings, setting, &KeptSetting::setting);
    return it == kKeptSettings.end() ? nullptr : &*it;
}

// List settings whose mask names the allowed values themselves (bit n allows n).
bool MaskListsValues(int setting) {
    return setting == 11 || setting == 12 || setting == 33;
}

std::string OutsideDomain(int value, const char* domain) {
    return std::to_string(value) + " is not " + domain;
}

std::string CheckDomain(const SettingCell& cell, int setting, int value) {
    if (cell.kind == SettingKind::kRange && (value < cell.first || value > cell.second)) {
        return std::to_string(value) + " is outside " + std::to_string(cell.first) + ".." +
               std::to_string(cell.second);
    }
    if (cell.kind != SettingKind::kList)
        return {};
    if (setting == 3 && SpeedBitOfKey(value) < 0)
        return OutsideDomain(value, "a speed key (20, 25, ..., 120)");
    if (MaskListsValues(setting) && (value > 30 || ((cell.first >> value) & 1) == 0))
        return OutsideDomain(value, "one of the model's choices");
    return {};
}

}  // namespace

bool KeepsSetting(int setting) {
    return FindKept(setting) != nullptr;
}

std::string_view SettingName(int setting) {
    const KeptSetting* kept = FindKept(setting);
    return kept != nullptr ? kept->name : std::string_view();
}

int SettingByName(std::string_view name) {
    const auto it = std::ranges::find(kKeptSettings, name, &KeptSetting::name);
    return it == kKeptSettings.end() ? -1 : it->setting;
}

bool ExtraCountFits(char letter, std::size_t count) {
    switch (letter) {
        case 'U':
            return count == 4 || count == 5;
        case 'Z':
            return count == 1 || count == 2;
        case 'H':
        case 'r':
        case 's':
            return count == 1;
        default:
            return false;
    }
}

namespace {

// The printer keeps its emulation as the index into the dots-per-inch table, while the settings
// table states its default and choices by the emulation's place in the program's list: the
// emulation table gives each emulation's place.
bool IsEmulationAt(int emulation, int listPosition) {
    const EmulationRow* row = FindEmulation(emulation);
    return row != nullptr && row->programOrder == listPosition;
}

int FactoryEmulation(int model) {
    const SettingCell* cell = FindSetting(model, 2);
    for (int emulation = 0; cell != nullptr && emulation < kEmulationCount; ++emulation) {
        if (IsEmulationAt(emulation, cell->defaultValue))
            return emulation;
    }
    return 0;
}

bool OffersEmulation(int model, int emulation) {
    const SettingCell* cell = FindSetting(model, 2);
    const EmulationRow* row = FindEmulation(emulation);
    return cell != nullptr && row != nullptr && ((cell->first >> row->programOrder) & 1) != 0;
}

}  // namespace

int DefaultSettingValue(int model, int setting) {
    if (setting == 2)
        return FactoryEmulation(model);
    const SettingCell* cell = FindSetting(model, setting);
    return cell != nullptr ? cell->defaultValue : 0;
}

PrinterConfig DefaultConfig(int model) {
    PrinterConfig config;
    for (const KeptSetting& kept : kKeptSettings) {
        config.settings[static_cast<std::size_t>(kept.setting)] =
            DefaultSettingValue(model, kept.setting);
    }
    config.extras = {{'H', {0}}, {'U', {0, 0, 0, 0}}, {'Z', {0}}, {'r', {0}}, {'s', {0}}};
    return config;
}

std::string CheckSettingValue(int model, int setting, int value) {
    const KeptSetting* kept = FindKept(setting);
    if (kept == nullptr)
        return "setting " + std::to_string(setting) + " is not kept by the printer";
    if (value < kept->lowest || value > kept->highest) {
        return std::to_string(value) + " does not fit " + std::string(kept->name);
    }
    const SettingCell* cell = FindSetting(model, setting);
    // The tables give some models defaults outside their own domains; a printer keeps those.
    if (cell == nullptr || value == DefaultSettingValue(model, setting))
        return {};
    if (setting == 2) {
        return OffersEmulation(model, value) ? std::string()
                                             : OutsideDomain(value, "one of the model's choices");
    }
    return CheckDomain(*cell, setting, value);
}

bool CanBeUnknown(int setting) {
    return KeepsSetting(setting) && !(setting >= 22 && setting <= 24) && setting != 28 &&
           setting != 29;
}

bool TakesSetting(int model, const std::string& firmware, int setting) {
    return SettingSupported(model, setting, firmware.c_str());
}

}  // namespace tarvo::sim
