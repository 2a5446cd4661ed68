#include "config/setting_access.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <variant>

#include "models/model_tables.h"

namespace tarvo {
namespace {

using R = ConfigRecord;

// The field behind each setting index, by member pointer; the type carries the width.
using FieldRef = std::variant<std::monostate, std::uint8_t R::*, char R::*, std::uint16_t R::*,
                              std::int16_t R::*, std::int32_t R::*>;

struct SettingField {
    FieldRef field;
    int kind;
};

// clang-format off
const std::array<SettingField, kConfigSettingCount> kFields = {{
    {&R::model, kParmWord},                 // 0
    {std::monostate{}, kParmNoField},       // 1
    {&R::emulation, kParmWord},             // 2
    {&R::printSpeed, kParmWord},            // 3: 32 bits, reported with the 16-bit fields
    {&R::charSet, kParmWord},               // 4
    {&R::imageBands, kParmWord},            // 5
    {&R::memorySize, kParmWord},            // 6
    {&R::memoryFree, kParmWord},            // 7
    {&R::imageSize, kParmWord},             // 8
    {&R::selfStrip, kParmByte},             // 9
    {&R::cutter, kParmByte},                // 10
    {&R::mediaType, kParmWord},             // 11
    {&R::labelStock, kParmWord},            // 12
    {&R::mediaSensitivity, kParmWord},      // 13
    {&R::darkness, kParmSigned},            // 14
    {&R::labelLength, kParmWord},           // 15
    {&R::paperHandling, kParmWord},         // 16
    {&R::retract, kParmByte},               // 17
    {&R::topOfForm, kParmWord},             // 18
    {&R::trailMargin, kParmWord},           // 19
    {&R::restAdjust, kParmSigned},          // 20
    {&R::takeUpAdjust, kParmSigned},        // 21
    {&R::mediaStatus, kParmByte},           // 22
    {&R::bufferStatus, kParmByte},          // 23
    {&R::memoryStatus, kParmByte},          // 24
    {&R::languageTranslation, kParmByte},   // 25
    {&R::messageDelay, kParmWord},          // 26
    {&R::interCharDelay, kParmWord},        // 27
    {&R::startChar, kParmByte},             // 28
    {&R::endChar, kParmByte},               // 29
    {&R::valueA, kParmWord},                // 30
    {&R::labelWidth, kParmWord},            // 31
    {&R::audibleAlarm, kParmByte},          // 32
    {&R::onlineAtPowerUp, kParmWord},       // 33
    {&R::valueH1, kParmByte},               // 34
    {&R::valueH2, kParmByte},               // 35
    {&R::valueP2, kParmWord},               // 36
    {&R::valueP1, kParmWord},               // 37
    {&R::valueE, kParmByte},                // 38
    {&R::serialFlag, kParmWord},            // 39
    {&R::secondSpeed, kParmByte},           // 40
    {&R::valueZ, kParmByte},                // 41
    {&R::valueV, kParmWord},                // 42
}};
// clang-format on

const SettingField* FieldOf(int setting) {
    if (setting < 0 || setting >= kConfigSettingCount)
        return nullptr;
    return &kFields[static_cast<std::size_t>(setting)];
}

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

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

int SettingFieldWidth(int setting) {
    const SettingField* f = FieldOf(setting);
    if (f == nullptr)
        return 0;
    return std::visit(Overloaded{[](std::monostate) { return 0; },
                                 []<typename T>(T R::*) { return static_cast<int>(sizeof(T)); }},
                      f->field);
}

int SettingParmKind(int setting) {
    const SettingField* f = FieldOf(setting);
    return f == nullptr ? kParmNoField : f->kind;
}

int ReadSetting(const ConfigRecord& record, int setting) {
    const SettingField* f = FieldOf(setting);
    if (f == nullptr)
        return 0;
    return std::visit(Overloaded{[](std::monostate) { return 0; },
                                 [&](char R::*m) {
                                     return static_cast<int>(static_cast<unsigned char>(record.*m));
                                 },
                                 [&]<typename T>(T R::*m) { return static_cast<int>(record.*m); }},
                      f->field);
}

bool WriteSetting(ConfigRecord& record, int setting, const unsigned char (&slot)[4]) {
    const SettingField* f = FieldOf(setting);
    if (f == nullptr)
        return false;
    return std::visit(Overloaded{[](std::monostate) { return false; },
                                 [&]<typename T>(T R::*m) {
                                     T value;
                                     std::memcpy(&value, slot, sizeof value);
                                     record.*m = value;
                                     return true;
                                 }},
                      f->field);
}

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
            if (setting > 0 && setting < kConfigSettingCount && setting != 1)
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

void DerivePaperHandling(ConfigRecord& record) {
    if (record.trailMargin == 0) {
        if (record.selfStrip == 0 && record.cutter == 0)
            record.paperHandling = 0;
        return;
    }
    if (record.selfStrip == 1 && record.cutter == 0) {
        record.paperHandling = 2;
    } else if (record.cutter == 1 && record.selfStrip == 0) {
        record.paperHandling = 3;
    } else {
        record.paperHandling = 1;
    }
}

}  // namespace tarvo
