#include "tarvo/base/setting_rules.h"

#include <array>
#include <initializer_list>

#include "tarvo/base/model_tables.h"

namespace tarvo {
namespace {

bool OneOf(int value, std::initializer_list<int> set) {
    for (int v : set) {
        if (v == value)
            return true;
    }
    return false;
}

void Say(std::string* why, std::string text) {
    if (why != nullptr)
        *why = std::move(text);
}

constexpr std::array<int, 5> kKernelToProgram = {3, 2, 4, 0, 1};
constexpr std::array<int, 5> kProgramToKernel = {3, 4, 1, 0, 2};
constexpr std::array<std::string_view, 5> kMilByProgramOrder = {"2.5 mil", "3.3 mil", "5 mil",
                                                                "10 mil", "15 mil"};

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
            if (OneOf(model, {6, 7}))
                return true;
            Say(why, "Only the 6220 and 6240 take the take-up adjustment.");
            return false;
        case 30:
        case 33:
            if (OneOf(model, {8, 9, 11}))
                return true;
            break;
        case 32:
            if (model == 11)
                return true;
            break;
        case 38:
            if (OneOf(model, {6, 7}) || (model >= 14 && model <= 24))
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
    if (kernelValue < 0 || kernelValue >= static_cast<int>(kKernelToProgram.size()))
        return -1;
    return kKernelToProgram[static_cast<std::size_t>(kernelValue)];
}

int EmulationToKernelOrder(int programValue) {
    if (programValue < 0 || programValue >= static_cast<int>(kProgramToKernel.size()))
        return -1;
    return kProgramToKernel[static_cast<std::size_t>(programValue)];
}

std::string_view EmulationMilText(int kernelValue) {
    const int program = EmulationToProgramOrder(kernelValue);
    return program < 0 ? std::string_view() : kMilByProgramOrder[static_cast<std::size_t>(program)];
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
