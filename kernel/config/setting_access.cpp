#include "config/setting_access.h"

#include <array>
#include <cstring>
#include <variant>


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
