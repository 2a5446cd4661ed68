#include "desk/config_values.h"

#include <array>
#include <cstring>
#include <string>

#include "shell/settings.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/config.h"
#include "tarvo/directory.h"
#include "tarvo/network.h"

namespace tarvo::app {
namespace {

constexpr int kEmulation = 2;
constexpr int kPreamble = 28;
constexpr int kPostamble = 29;

std::array<int, PROP_SETTING_COUNT> SettingIds() {
    std::array<int, PROP_SETTING_COUNT> ids{};
    for (int i = 0; i < PROP_SETTING_COUNT; ++i)
        ids[static_cast<std::size_t>(i)] = i;
    return ids;
}

// The frame character a setting names; "NULL" (the kernel's word for none) and "" give 0.
int FirstChar(std::string_view key) {
    const std::string text = ReadSetting(key, "");
    if (text.empty() || text == "NULL")
        return 0;
    return static_cast<unsigned char>(text[0]);
}

std::string OneChar(int value) {
    if (value <= 0 || value > 255)
        return {};
    return std::string(1, static_cast<char>(value));
}

}  // namespace

int EmulationFromKernel(int kernelValue) {
    return EmulationToProgramOrder(kernelValue);
}

int EmulationToKernel(int programValue) {
    return EmulationToKernelOrder(programValue);
}

ConfigArray ValuesInKernelOrder(const ConfigArray& programValues) {
    ConfigArray values = programValues;
    if (const int emulation = EmulationToKernel(values[kEmulation]); emulation >= 0)
        values[kEmulation] = emulation;
    return values;
}

ConfigArray ValuesInProgramOrder(const ConfigArray& kernelValues) {
    ConfigArray values = kernelValues;
    if (const int emulation = EmulationFromKernel(values[kEmulation]); emulation >= 0)
        values[kEmulation] = emulation;
    return values;
}

int FetchValues(Desk& desk) {
    const auto ids = SettingIds();
    std::array<int, PROP_SETTING_COUNT> kinds{};
    std::array<int, PROP_SETTING_COUNT> values{};
    const int r =
        PCUGetParms(desk.ctx(), PROP_SETTING_COUNT, ids.data(), kinds.data(), values.data());
    if (r != PCU_OK)
        return r;
    desk.config.values = ValuesInProgramOrder(values);
    return PCU_OK;
}

int FetchPrinterValues(Desk& desk) {
    const int r = FetchValues(desk);
    if (r == PCU_OK) {
        desk.config.values[kPreamble] = FirstChar(setting::kPreamble);
        desk.config.values[kPostamble] = FirstChar(setting::kPostamble);
        desk.config.printerValues = desk.config.values;
    }
    return r;
}

int StoreValues(Desk& desk) {
    const auto ids = SettingIds();
    ConfigArray values = ValuesInKernelOrder(desk.config.values);
    values[0] = desk.session.model;
    return PCUPutParms(desk.ctx(), PROP_SETTING_COUNT, ids.data(), values.data());
}

void WriteAmbles(const Desk& desk) {
    WriteSetting(setting::kPreamble, OneChar(desk.config.values[kPreamble]));
    WriteSetting(setting::kPostamble, OneChar(desk.config.values[kPostamble]));
}

void LoadModelDefaults(Desk& desk, int model) {
    for (int i = 0; i < PROP_SETTING_COUNT; ++i) {
        int value = 0;
        if (propGetCfgDefault(model, i, &value) == 1)
            desk.config.values[static_cast<std::size_t>(i)] = value;
    }
    desk.session.flags.configNotRetrieved = true;
}

int RegisterResidentFonts(Desk& desk) {
    const int model = desk.session.model;
    int registered = 0;
    for (int i = 0; i < propGetResFontCount(model); ++i) {
        const char* text = propGetResFont(model, i);
        if (text == nullptr || std::strlen(text) < 9)
            continue;
        const std::string line = text;
        FontInfo info{};
        const std::string number = line.substr(4, 2);
        if (number[0] < '0' || number[0] > '9' || number[1] < '0' || number[1] > '9')
            continue;
        info.id = static_cast<std::uint16_t>(std::stoi(number));
        const std::string name = line.substr(8, 12);
        std::strncpy(info.description, name.c_str(), PCU_DESCRIPTION_SIZE - 1);
        const std::string kind = line.size() > 27 ? line.substr(27) : std::string();
        info.fontType = kind.find("Truetype") != std::string::npos ? PCU_FONT_TYPE_TRUETYPE
                        : kind.find("Speedo") != std::string::npos ? PCU_FONT_TYPE_SPEEDO
                                                                   : PCU_FONT_TYPE_BITMAP;
        info.status = PCU_STATUS_STORED;
        if (PCUPutFontInfo(desk.ctx(), info.id, &info) == PCU_OK)
            ++registered;
    }
    desk.config.fontCount = static_cast<std::uint16_t>(registered);
    return registered;
}

bool BaudAllowed(int baud, int model) {
    const ModelCapabilities& c = CapabilitiesOf(model);
    return baud >= c.slowestBaud && baud <= c.fastestBaud;
}

int ReadPrinterObjects(Desk& desk, bool withNetwork, bool withPages) {
    LanConfig& c = desk.config;
    if (propDirCmd(desk.session.model) != 1) {
        RegisterResidentFonts(desk);
        return PCU_OK;
    }
    int first = withNetwork ? PCUGetNetwork(desk.ctx(), &c.network) : PCU_OK;
    const int fonts = PCUGetFonts(desk.ctx(), &c.fontCount);
    const int graphics = PCUGetGraphics(desk.ctx(), &c.graphicCount);
    const int formats = PCUGetFormats(desk.ctx(), &c.formatCount);
    const int pages = withPages ? PCUGetPages(desk.ctx(), &c.pageCount) : PCU_OK;
    for (const int r : {fonts, graphics, formats, pages}) {
        if (first == PCU_OK)
            first = r;
    }
    return first;
}

}  // namespace tarvo::app
