#include "brakenholm/brak_setting_text.h"

#include <charconv>
#include <functional>
#include <limits>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_model.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

constexpr const char* kNotRead = "(not read)";

// Where a setting lives in the record and how it is written.
struct Field {
    enum class Kind { Table, Flag, Number } kind = Kind::Number;
    ValueTable table;                // Table
    std::uint16_t* index = nullptr;  // Table
    bool* flag = nullptr;            // Flag
    long long min = 0, max = 0;      // Number
    std::function<long long()> get;  // Number
    std::function<void(long long)> set;
};

template <typename T>
Field NumberField(T& value, long long min = std::numeric_limits<T>::min(),
                  long long max = std::numeric_limits<T>::max()) {
    Field f;
    f.min = min;
    f.max = max;
    f.get = [&value] { return static_cast<long long>(value); };
    f.set = [&value](long long v) { value = static_cast<T>(v); };
    return f;
}

Field TableField(ValueTable table, std::uint16_t& index) {
    Field f;
    f.kind = Field::Kind::Table;
    f.table = table;
    f.index = &index;
    return f;
}

Field FlagField(bool& flag) {
    Field f;
    f.kind = Field::Kind::Flag;
    f.flag = &flag;
    return f;
}

Field FieldOf(BrakSetting setting, BrakSetup& s, int generation) {
    const bool newTree = UsesNewTree(generation);
    switch (setting) {
        case BrakSetting::Baud:
            return TableField(BaudTable(), s.baud);
        case BrakSetting::CharLength:
            return NumberField(s.charLength, 7, 8);
        case BrakSetting::Parity:
            return TableField(ParityTable(), s.parity);
        case BrakSetting::StopBits:
            return NumberField(s.stopBits, 1, 2);
        case BrakSetting::NewLine:
            return TableField(NewLineTable(), s.newLine);
        case BrakSetting::RtsCts:
            return FlagField(s.rtsCts);
        case BrakSetting::XonXoffToHost:
            return FlagField(s.xonXoffToHost);
        case BrakSetting::XonXoffFromHost:
            return FlagField(s.xonXoffFromHost);
        case BrakSetting::ImageBufferSize:
            return NumberField(s.imageBufferSize, 0);
        case BrakSetting::ReceiveBuffer:
            return NumberField(s.receiveBuffer, 0);
        case BrakSetting::TransmitBuffer:
            return NumberField(s.transmitBuffer, 0);
        case BrakSetting::StartAdjust:
            return NumberField(s.startAdjust);
        case BrakSetting::StopAdjust:
            return NumberField(s.stopAdjust);
        case BrakSetting::LssAdjust:
            return NumberField(s.lssAdjust);
        case BrakSetting::XStart:
            return NumberField(s.xStart);
        case BrakSetting::Width:
            return NumberField(s.width);
        case BrakSetting::Length:
            return NumberField(s.length, 0);
        case BrakSetting::MediaType:
            return TableField(MediaTypeTable(), s.mediaType);
        case BrakSetting::PaperType:
            return TableField(newTree ? PaperType712Table() : PaperGradeTable(), s.paperType);
        case BrakSetting::LabelConstant:
            return NumberField(s.labelConstant);
        case BrakSetting::LabelFactor:
            return NumberField(s.labelFactor);
        case BrakSetting::RibbonConstant:
            return NumberField(s.ribbonConstant);
        case BrakSetting::RibbonFactor:
            return NumberField(s.ribbonFactor);
        case BrakSetting::LabelOffset:
            return NumberField(s.labelOffset);
        case BrakSetting::Contrast:
            if (newTree) {
                Field f = NumberField(s.contrast);
                f.kind = Field::Kind::Table;
                f.table = ContrastTable();
                return f;
            }
            return NumberField(s.contrast);
        case BrakSetting::HeadResistance:
            return NumberField(s.headResistance);
        case BrakSetting::PrintSpeed:
            return NumberField(s.printSpeed, 0);
        case BrakSetting::NewSupplies1:
            return TableField(NewSuppliesTable(), s.newSupplies1);
        case BrakSetting::NewSupplies2:
            return TableField(NewSuppliesTable(), s.newSupplies2);
        case BrakSetting::Performance:
            return TableField(PerformanceTable(), s.performance);
        case BrakSetting::NetworkPresent:
            return FlagField(s.networkPresent);
    }
    return {};
}

// The table position of a field (the "7.12" contrast keeps its position in a signed field).
std::uint16_t IndexOf(const Field& f) {
    if (f.index != nullptr)
        return *f.index;
    const long long v = f.get();
    return v < 0 ? kNoIndex : static_cast<std::uint16_t>(v);
}

void SetIndex(const Field& f, std::uint16_t index) {
    if (f.index != nullptr) {
        *f.index = index;
    } else {
        f.set(index);
    }
}

std::optional<std::uint16_t> FindIgnoringCase(ValueTable table, std::string_view text) {
    const std::string wanted = AsciiLower(text);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (AsciiLower(table[i]) == wanted)
            return static_cast<std::uint16_t>(i);
    }
    return std::nullopt;
}

std::string Choices(ValueTable table) {
    std::string list;
    for (std::string_view t : table)
        list.append(list.empty() ? "" : ", ").append(t);
    return list;
}

}  // namespace

std::string SettingValueText(BrakSetting setting, const BrakSetup& setup, int generation) {
    if (!WasRead(setup, setting))
        return kNotRead;
    BrakSetup copy = setup;
    const Field f = FieldOf(setting, copy, generation);
    switch (f.kind) {
        case Field::Kind::Table: {
            const auto text = TableText(f.table, IndexOf(f));
            return text ? std::string(*text) : kNotRead;
        }
        case Field::Kind::Flag:
            return std::string(*f.flag ? kEnable : kDisable);
        case Field::Kind::Number:
            return std::to_string(f.get());
    }
    return kNotRead;
}

std::optional<std::string> SetSettingFromText(BrakSetting setting, std::string_view text,
                                              int generation, BrakSetup& setup) {
    const std::string name(SettingName(setting));
    BrakSetup edited = setup;
    const Field f = FieldOf(setting, edited, generation);
    switch (f.kind) {
        case Field::Kind::Table: {
            const auto index = FindIgnoringCase(f.table, text);
            if (!index)
                return name + " must be one of: " + Choices(f.table);
            if (setting == BrakSetting::Baud && *index >= kFirstSlowBaud)
                return "baud rates below 9600 are refused: the printer could not be reached at "
                       "them again";
            SetIndex(f, *index);
            break;
        }
        case Field::Kind::Flag: {
            const std::string lower = AsciiLower(text);
            if (lower != "enable" && lower != "disable")
                return name + " must be ENABLE or DISABLE";
            *f.flag = lower == "enable";
            break;
        }
        case Field::Kind::Number: {
            long long value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (text.empty() || ec != std::errc() || ptr != end)
                return name + " must be a whole number";
            if (value < f.min || value > f.max) {
                return name + " must lie between " + std::to_string(f.min) + " and " +
                       std::to_string(f.max);
            }
            f.set(value);
            break;
        }
    }
    MarkRead(edited, setting);
    setup = edited;
    return std::nullopt;
}

}  // namespace tarvo::app
