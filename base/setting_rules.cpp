#include "tarvo/base/setting_rules.h"

#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"

namespace tarvo {
namespace {

void Say(std::string* why, std::string text) {
    if (why != nullptr)
        *why = std::move(text);
}

}  // namespace

bool SettingReachesPrinter(int model, std::string_view firmware, int setting, std::string* why) {
    const std::string fw(firmware);
    const auto offered = [&](int s) { return SettingSupported(model, s, fw.c_str()); };
    switch (setting) {
        case 0:
            Say(why, "The model is chosen, not sent to the printer.");
            return false;
        case 7:
        case 8:
            Say(why, "The printer reports its memory; it cannot be set.");
            return false;
        case 16:
            Say(why, "Paper handling follows from trail margin, self-strip and cutter.");
            return false;
        case 39:
        case 40:
            Say(why, "This value is never sent to the printer.");
            return false;
        case 21:
            if (CapabilitiesOf(model).sendsTakeUpAdjust)
                return true;
            Say(why, "Only the 6220 and 6240 take the take-up adjustment.");
            return false;
        case 30:
        case 32:
        case 33:
        case 38:
            // Sent to exactly the models that offer them, whatever their firmware.
            if (offered(setting))
                return true;
            break;
        case 34:
        case 35:
            if (offered(34) && offered(35))
                return true;
            break;
        case 36:
        case 37:
            if (offered(36) && offered(37))
                return true;
            break;
        case 31:
            if (offered(31))
                return true;
            break;
        default:
            if (setting > 0 && setting < kSettingCount && setting != 1)
                return true;
            Say(why, "No configuration value has this index.");
            return false;
    }
    Say(why, "This printer model (or its firmware) does not take this value.");
    return false;
}

bool FrameCharacterCarried(int value, std::string* why) {
    if (value == ';' || value == '<') {
        Say(why, "';' and '<' cannot be sent as start or end characters.");
        return false;
    }
    if (value < 0 || value > 255) {
        Say(why, "A start or end character is one byte, 0 to 255.");
        return false;
    }
    return true;
}

int EmulationToProgramOrder(int kernelValue) {
    const EmulationRow* row = FindEmulation(kernelValue);
    return row == nullptr ? -1 : row->programOrder;
}

int EmulationToKernelOrder(int programValue) {
    for (int kernelValue = 0; kernelValue < kEmulationCount; ++kernelValue) {
        if (EmulationToProgramOrder(kernelValue) == programValue)
            return kernelValue;
    }
    return -1;
}

std::string_view EmulationMilText(int kernelValue) {
    const EmulationRow* row = FindEmulation(kernelValue);
    return row == nullptr ? std::string_view() : row->milText;
}

bool EmulationAllowed(int model, int kernelValue) {
    const SettingCell* cell = FindSetting(model, 2);
    const int program = EmulationToProgramOrder(kernelValue);
    return cell != nullptr && program >= 0 && (cell->first & (1 << program)) != 0;
}

int DefaultEmulation(int model) {
    const SettingCell* cell = FindSetting(model, 2);
    return cell == nullptr ? -1 : EmulationToKernelOrder(cell->defaultValue);
}

double SettingMillimetresPerUnit(int model, int setting) {
    const ModelRow* row = FindModelRow(model);
    if (row == nullptr)
        return 0.0;
    switch (setting) {
        case 15:
            return 0.125;
        case 18:
        case 19:
        case 31:
            return row->mmPerDot;
        default:
            return 0.0;
    }
}

}  // namespace tarvo
