#include "desk/setting_catalog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "shell/settings.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

const std::vector<LanSetting> kNames = {
    {2, "emulation", Shown::Emulation},
    {3, "print-speed", Shown::Speed},
    {4, "character-set", Shown::CharSet},
    {5, "image-bands", Shown::Number},
    {6, "memory-size", Shown::Number},
    {7, "memory-free", Shown::Number},
    {8, "image-size", Shown::Number},
    {9, "self-strip", Shown::Flag},
    {10, "cutter", Shown::Flag},
    {11, "media-type", Shown::Number},
    {12, "label-stock", Shown::Number},
    {13, "media-sensitivity", Shown::Number},
    {14, "darkness", Shown::Number},
    {15, "label-length", Shown::Length},
    {16, "paper-handling", Shown::Number},
    {17, "retract", Shown::Flag},
    {18, "top-of-form", Shown::Length},
    {19, "trail-margin", Shown::Length},
    {20, "rest-adjust", Shown::Number},
    {21, "take-up-adjust", Shown::Number},
    {22, "media-status", Shown::Flag},
    {23, "buffer-status", Shown::Flag},
    {24, "memory-status", Shown::Flag},
    {25, "language-translation", Shown::Flag},
    {26, "message-delay", Shown::Milliseconds},
    {27, "inter-char-delay", Shown::Milliseconds},
    {28, "start-char", Shown::Character},
    {29, "end-char", Shown::Character},
    {30, "security-level", Shown::Number},
    {31, "label-width", Shown::Length},
    {32, "audible-alarm", Shown::Flag},
    {33, "online-at-power-up", Shown::Number},
    {34, "mirror", Shown::Flag},
    {35, "inverse", Shown::Flag},
    {36, "pin-mode-2", Shown::Number},
    {37, "pin-mode-1", Shown::Number},
    {38, "reprint-last", Shown::Number},
    {39, "serial-flag", Shown::Number},
    {40, "second-speed", Shown::Speed},
    {41, "slashed-zero", Shown::Flag},
    {42, "verifier-mode", Shown::Number},
};

std::string FormatDecimal(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string LengthText(int model, int setting, int value, Units units) {
    const double mm = value * SettingMillimetresPerUnit(model, setting);
    const std::string unitName = setting == 15 ? "eighth-mm" : "dots";
    const std::string shown = units == Units::Inches ? FormatDecimal("%.2f in", mm / 25.4)
                                                     : FormatDecimal("%.2f cm", mm / 10.0);
    return shown + " (" + std::to_string(value) + " " + unitName + ")";
}

std::string SpeedText(int key, Units units) {
    char text[PROP_SPEED_TEXT_SIZE] = "";
    propGetPrintSpeedStr(key, units == Units::Inches ? 0 : 1, text);
    if (text[0] == '\0')
        return std::to_string(key) + " (no such speed)";
    return std::string(text) + (units == Units::Inches ? " in/s" : " cm/s");
}

std::string EmulationText(int value) {
    const int dpi = propGetPrinterEmulate(value);
    if (dpi < 0)
        return std::to_string(value) + " (unknown)";
    return std::to_string(dpi) + " dpi (" + std::string(EmulationMilText(value)) + ")";
}

std::optional<int> ParseNumber(std::string_view text) {
    if (text.empty() || text.size() > 11)
        return std::nullopt;
    char* end = nullptr;
    const std::string s(text);
    const long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<double> ParseDecimal(std::string_view text) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    const std::string s(text);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> ParseLength(int model, int setting, const std::string& text) {
    for (const auto& [suffix, mmPer] :
         {std::pair<const char*, double>{"in", 25.4}, {"cm", 10.0}, {"mm", 1.0}}) {
        const std::string_view t(text);
        if (t.size() > 2 && t.substr(t.size() - 2) == suffix) {
            const auto v = ParseDecimal(t.substr(0, t.size() - 2));
            const double perUnit = SettingMillimetresPerUnit(model, setting);
            if (!v || perUnit <= 0)
                return std::nullopt;
            return static_cast<int>(std::lround(*v * mmPer / perUnit));
        }
    }
    return ParseNumber(text);
}

std::optional<int> ParseSpeed(int model, const std::string& text) {
    // Speeds are typed as shown in inches per second ("6.0"), or as the key itself ("60").
    for (int unit : {0, 1}) {
        for (int key = 20; key <= 120; key += 5) {
            char shown[PROP_SPEED_TEXT_SIZE] = "";
            propGetPrintSpeedStr(key, unit, shown);
            if (text == shown && unit == 0)
                return key;
        }
    }
    (void)model;
    return ParseNumber(text);
}

std::optional<int> ParseEmulation(const std::string& text) {
    for (int value = 0; value <= 4; ++value) {
        const std::string dpi = std::to_string(propGetPrinterEmulate(value));
        std::string mil(EmulationMilText(value));
        mil.erase(mil.find(' '), 1);  // "5 mil" is typed "5mil"
        if (text == dpi || text == dpi + "dpi" || text == mil)
            return value;
    }
    return std::nullopt;
}

std::string AllowedList(const LanSetting& s, int model, int mask, Units units) {
    std::string list;
    for (int bit = 0; bit < 24; ++bit) {
        if ((mask & (1 << bit)) == 0)
            continue;
        const int value = s.shown == Shown::Emulation ? EmulationToKernelOrder(bit)
                          : s.shown == Shown::Speed   ? 20 + 5 * bit
                                                      : bit;
        list += (list.empty() ? "" : ", ") + ShowValue(s, model, value, units);
    }
    return list;
}

}  // namespace

const std::vector<LanSetting>& LanSettings() {
    return kNames;
}

const LanSetting* FindLanSetting(const std::string& name) {
    for (const LanSetting& s : kNames) {
        if (name == s.name)
            return &s;
    }
    return nullptr;
}

Units ProfileUnits() {
    return ReadSetting(setting::kMeasurements, "English").starts_with('E') ? Units::Inches
                                                                           : Units::Centimetres;
}

std::string ShowValue(const LanSetting& s, int model, int value, Units units) {
    switch (s.shown) {
        case Shown::Flag:
            return value != 0 ? "on" : "off";
        case Shown::Length:
            return LengthText(model, s.index, value, units);
        case Shown::Speed:
            return SpeedText(value, units);
        case Shown::Emulation:
            return EmulationText(value);
        case Shown::CharSet: {
            char name[64] = "";
            propGetCharSetStr(value, name, sizeof name - 1);
            return name[0] != '\0' ? std::to_string(value) + " (" + name + ")"
                                   : std::to_string(value);
        }
        case Shown::Character:
            if (value == 0)
                return "none";
            if (value > 32 && value < 127)
                return std::string(1, static_cast<char>(value)) + " (" + std::to_string(value) +
                       ")";
            return std::to_string(value);
        case Shown::Milliseconds:
            return std::to_string(value) + " ms";
        case Shown::Number:
            break;
    }
    return std::to_string(value);
}

std::optional<int> ParseValue(const LanSetting& s, int model, const std::string& text,
                              std::string* why) {
    std::optional<int> value;
    switch (s.shown) {
        case Shown::Flag:
            if (text == "on" || text == "yes" || text == "1")
                value = 1;
            if (text == "off" || text == "no" || text == "0")
                value = 0;
            break;
        case Shown::Length:
            value = ParseLength(model, s.index, text);
            break;
        case Shown::Speed:
            value = ParseSpeed(model, text);
            break;
        case Shown::Emulation:
            value = ParseEmulation(text);
            break;
        case Shown::Character:
            if (text == "none")
                value = 0;
            else if (text.size() == 1)
                value = static_cast<unsigned char>(text[0]);
            else
                value = ParseNumber(text);
            break;
        default:
            value = ParseNumber(text);
            break;
    }
    if (!value && why != nullptr)
        *why = "'" + text + "' is not a value of " + s.name;
    return value;
}

bool InDomain(const LanSetting& s, int model, int value, Units units, std::string* why) {
    int a = 0;
    int b = 0;
    switch (propGetCfgDataType(model, s.index)) {
        case PROP_KIND_LIST: {
            propGetCfgSetting(model, s.index, &a, &b);
            const int bit = s.shown == Shown::Emulation ? EmulationToProgramOrder(value)
                            : s.shown == Shown::Speed   ? (value - 20) / 5
                                                        : value;
            const bool ok = bit >= 0 && bit < 24 && (a & (1 << bit)) != 0 &&
                            (s.shown != Shown::Speed || (value - 20) % 5 == 0);
            if (!ok)
                *why = std::string(s.name) + " allows " + AllowedList(s, model, a, units);
            return ok;
        }
        case PROP_KIND_RANGE:
            propGetCfgSetting(model, s.index, &a, &b);
            if (value < a || value > b) {
                *why = std::string(s.name) + " allows " + ShowValue(s, model, a, units) + " to " +
                       ShowValue(s, model, b, units);
                return false;
            }
            return true;
        default:
            if (s.shown == Shown::Character)
                return FrameCharacterCarried(value, why) && value >= 0 && value < 256;
            if (value < INT16_MIN || value > UINT16_MAX) {
                *why = std::string(s.name) + " does not take " + std::to_string(value);
                return false;
            }
            return true;
    }
}

LanValues ReadKernelValues(int ctx) {
    LanValues indices{};
    LanValues kinds{};
    LanValues values{};
    for (int i = 0; i < PROP_SETTING_COUNT; ++i)
        indices[static_cast<std::size_t>(i)] = i;
    PCUGetParms(ctx, PROP_SETTING_COUNT, indices.data(), kinds.data(), values.data());
    return values;
}

bool SettingSendable(int model, std::string_view firmware, int setting) {
    const std::string fw(firmware);
    return propCfgSupport(model, setting, fw.c_str()) == 1 &&
           SettingReachesPrinter(model, firmware, setting, nullptr);
}

std::vector<SettingChange> ListChanges(int model, std::string_view firmware,
                                       const LanValues& before, const LanValues& after,
                                       Units units) {
    std::vector<SettingChange> changes;
    for (const LanSetting& s : kNames) {
        const auto i = static_cast<std::size_t>(s.index);
        if (before[i] == after[i] || !SettingSendable(model, firmware, s.index))
            continue;
        changes.push_back(
            {&s, ShowValue(s, model, before[i], units), ShowValue(s, model, after[i], units)});
    }
    return changes;
}

std::string ChangesText(const std::vector<SettingChange>& changes) {
    if (changes.empty())
        return "  (none)\n";
    std::string text;
    for (const SettingChange& c : changes) {
        char line[256];
        std::snprintf(line, sizeof line, "  %-22s %s -> %s\n", c.setting->name, c.before.c_str(),
                      c.after.c_str());
        text += line;
    }
    return text;
}

}  // namespace tarvo::app
