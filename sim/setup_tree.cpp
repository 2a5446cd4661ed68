#include "setup_tree.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

#include "setup_values.h"
#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kEnable = "ENABLE";
constexpr std::string_view kDisable = "DISABLE";
constexpr std::string_view kRtsCts = "SER-COM,UART1,FLOWCONTROL,RTS/CTS";
constexpr std::string_view kXonFromHost = "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST";
constexpr std::string_view kXonToHost = "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST";

enum class Kind {
    LineBaud,
    LineCharLength,
    LineParity,
    LineStopBits,
    Flag,
    Choice,
    Number,
    ReadOnly,  // a number the printer measures itself
    Address,   // an IPv4 address, or empty for none
    Supplies,  // generation 0: one value or a pair (see setup_values.h)
};

struct Setting {
    std::string_view path;
    Kind kind = Kind::Number;
    std::span<const std::string_view> choices{};
    long long min = 0;
    long long max = 0;
    std::string_view factory;
};

Setting Choice(std::string_view path, std::span<const std::string_view> choices,
               std::string_view factory) {
    return {path, Kind::Choice, choices, 0, 0, factory};
}

Setting Number(std::string_view path, long long min, long long max, std::string_view factory) {
    return {path, Kind::Number, {}, min, max, factory};
}

void AddSerial(int generation, std::vector<Setting>* tree) {
    const bool xon = generation == 1;  // the older models come on XON/XOFF
    tree->insert(tree->end(), {{"SER-COM,UART1,BAUDRATE", Kind::LineBaud, {}, 0, 0, {}},
                               {"SER-COM,UART1,CHAR LENGTH", Kind::LineCharLength, {}, 0, 0, {}},
                               {"SER-COM,UART1,PARITY", Kind::LineParity, {}, 0, 0, {}},
                               {"SER-COM,UART1,STOPBITS", Kind::LineStopBits, {}, 0, 0, {}},
                               {kRtsCts, Kind::Flag, {}, 0, 0, kDisable},
                               {kXonFromHost, Kind::Flag, {}, 0, 0, xon ? kEnable : kDisable},
                               {kXonToHost, Kind::Flag, {}, 0, 0, xon ? kEnable : kDisable},
                               Choice("SER-COM,UART1,NEW LINE", kNewLines, "CR/LF")});
}

constexpr long long kMaxBuffer = 1 << 20;
constexpr long long kMaxDots = 65535;
constexpr long long kMaxLength = 1'000'000;
constexpr long long kAdjust = 32767;

std::vector<Setting> OldTree(int generation) {
    std::vector<Setting> tree;
    AddSerial(generation, &tree);
    if (generation == 1) {
        tree.push_back(Number("SERVICE,MEMORY ALLOC,REC BUF UART1", 0, kMaxBuffer, "300"));
        tree.push_back(Number("SERVICE,MEMORY ALLOC,TRANS BUF UART1", 0, kMaxBuffer, "300"));
    }
    const bool gen0 = generation == 0;
    tree.insert(tree.end(),
                {Number("DETECTION,LSS ADJUST", -kAdjust, kAdjust, "23"),
                 Number("DETECTION,FEEDADJ,STARTADJ", -kAdjust, kAdjust, gen0 ? "-152" : "-114"),
                 Number("DETECTION,FEEDADJ,STOPADJ", -kAdjust, kAdjust, "0"),
                 Number("CONTRAST", 0, 10, "5"),
                 Number("SERVICE,MEDIA SIZE,XSTART", 0, kMaxDots, "0"),
                 Number("SERVICE,MEDIA SIZE,WIDTH", 0, kMaxDots, "832"),
                 Number("SERVICE,MEDIA SIZE,LENGTH", 0, kMaxLength, "1220"),
                 Choice("SERVICE,MEDIA TYPE", kMediaTypes, kMediaTypes[0]),
                 {"SERVICE,PRINT DEFS,HEAD RESIST", Kind::ReadOnly, {}, 0, 0, "780"},
                 Choice("SERVICE,PRINT DEFS,PAPER TYPE", kPaperGrades, kPaperGrades[0])});
    if (gen0) {
        tree.push_back(
            {"SERVICE,PRINT DEFS,NEW SUPPLIES", Kind::Supplies, kSupplies, 0, 0, "GZ6;GJ118"});
    } else {
        tree.push_back(Choice("SERVICE,PRINT DEFS,NEW SUPPLIES", kSupplies, "GQ90"));
    }
    tree.push_back(Choice("SERVICE,PERFORMANCE", kPerformances, kPerformances[0]));
    if (generation == 1)
        tree.push_back(Number("SERVICE,MEMORY ALLOC,IMAGE BUFF SIZE", 0, kMaxBuffer, "131072"));
    return tree;
}

bool HasNetwork(int model) {
    return CapabilitiesOf(model).hasNetworkInterface;
}

std::vector<Setting> NewTree(int model) {
    std::vector<Setting> tree;
    AddSerial(SetupGeneration(model), &tree);
    tree.insert(tree.end(),
                {Number("SER-COM,UART1,REC BUF", 0, kMaxBuffer, "300"),
                 Number("SER-COM,UART1,TRANS BUF", 0, kMaxBuffer, "300"),
                 Number("FEEDADJ,STARTADJ", -kAdjust, kAdjust, "-175"),
                 Number("FEEDADJ,STOPADJ", -kAdjust, kAdjust, "0"),
                 Choice("MEDIA,CONTRAST", kContrasts, "+0%"),
                 Number("MEDIA,MEDIA SIZE,XSTART", 0, kMaxDots, "0"),
                 Number("MEDIA,MEDIA SIZE,WIDTH", 0, kMaxDots, "1216"),
                 Number("MEDIA,MEDIA SIZE,LENGTH", 0, kMaxLength, "1824"),
                 Choice("MEDIA,MEDIA TYPE", kMediaTypes, kMediaTypes[0]),
                 // The paper type comes before its own settings, whose paths begin
                 // with it: hosts take the first line that holds a key.
                 Choice("MEDIA,PAPER TYPE", kPaperTypes, kPaperTypes[0]),
                 Number("MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT", 0, 65535, "50"),
                 Number("MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR", 0, 65535, "10"),
                 Number("MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT", 0, 65535, "50"),
                 Number("MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR", 0, 65535, "10"),
                 Number("MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET", 0, 65535, "0"),
                 {"PRINT DEFS,HEAD RESIST", Kind::ReadOnly, {}, 0, 0, "1100"},
                 Number("PRINT DEFS,PRINT SPEED", 25, 1000, "100")});
    if (HasNetwork(model))
        tree.push_back({"NETWORK,IP ADDRESS", Kind::Address, {}, 0, 0, "192.168.0.50"});
    return tree;
}

std::vector<Setting> TreeOf(int model) {
    const int generation = SetupGeneration(model);
    return generation >= 2 ? NewTree(model) : OldTree(generation);
}

bool IsLineKind(Kind kind) {
    return kind == Kind::LineBaud || kind == Kind::LineCharLength || kind == Kind::LineParity ||
           kind == Kind::LineStopBits;
}

std::optional<Setting> FindSetting(int model, std::string_view path) {
    for (const Setting& setting : TreeOf(model)) {
        if (EqualsIgnoringCase(setting.path, path))
            return setting;
    }
    return std::nullopt;
}

// The longest path of the tree that `text` starts with, followed by the comma before the value.
std::optional<Setting> SettingOfText(int model, std::string_view text) {
    std::optional<Setting> best;
    for (const Setting& setting : TreeOf(model)) {
        const std::size_t size = setting.path.size();
        if (text.size() > size && text[size] == ',' &&
            EqualsIgnoringCase(text.substr(0, size), setting.path) &&
            (!best || size > best->path.size())) {
            best = setting;
        }
    }
    return best;
}

struct Flags {
    bool rtsCts = false;
    bool fromHost = false;
    bool toHost = false;
};

bool FlagValue(const SetupValues& values, std::string_view path) {
    const auto it = values.find(path);
    return it != values.end() && it->second == kEnable;
}

Protocol ProtocolOf(const Flags& flags) {
    if (flags.rtsCts)
        return Protocol::RtsCts;
    return flags.fromHost || flags.toHost ? Protocol::XonXoff : Protocol::Standard;
}

// The flags as stored, unless the line has since been put on another protocol.
Flags EffectiveFlags(const SetupValues& values, Protocol protocol) {
    Flags flags{FlagValue(values, kRtsCts), FlagValue(values, kXonFromHost),
                FlagValue(values, kXonToHost)};
    if (ProtocolOf(flags) == protocol)
        return flags;
    const bool xon = protocol == Protocol::XonXoff;
    return {protocol == Protocol::RtsCts, xon, xon};
}

void StoreFlags(const Flags& flags, SetupValues* values) {
    const auto text = [](bool on) { return std::string(on ? kEnable : kDisable); };
    (*values)[std::string(kRtsCts)] = text(flags.rtsCts);
    (*values)[std::string(kXonFromHost)] = text(flags.fromHost);
    (*values)[std::string(kXonToHost)] = text(flags.toHost);
}

std::string ApplyFlag(std::string_view path, std::string_view value, SetupValues* values,
                      LineSettings* line) {
    const auto on = ChoiceOf(value, kFlags);
    if (!on)
        return "expected ENABLE or DISABLE";
    Flags flags = EffectiveFlags(*values, line->protocol);
    const bool enable = *on == kEnable;
    if (path == kRtsCts)
        flags.rtsCts = enable;
    else if (path == kXonFromHost)
        flags.fromHost = enable;
    else
        flags.toHost = enable;
    StoreFlags(flags, values);
    line->protocol = ProtocolOf(flags);
    return {};
}

// Checks `value` for a kept setting and returns it as the tree spells it.
std::string CheckKept(const Setting& setting, std::string_view value, const std::string& old,
                      std::string* stored) {
    switch (setting.kind) {
        case Kind::Choice: {
            const auto choice = ChoiceOf(value, setting.choices);
            if (!choice)
                return "\"" + std::string(value) + "\" is not one of its values";
            *stored = *choice;
            return {};
        }
        case Kind::Number: {
            const auto number = ParseSetupNumber(value);
            if (!number || *number < setting.min || *number > setting.max) {
                return "wants a number from " + std::to_string(setting.min) + " to " +
                       std::to_string(setting.max);
            }
            *stored = std::to_string(*number);
            return {};
        }
        case Kind::Address:
            if (!value.empty() && !IsIpAddress(value))
                return "\"" + std::string(value) + "\" is not an IP address";
            *stored = value;
            return {};
        case Kind::Supplies:
            return ChooseSupplies(value, old, stored);
        case Kind::ReadOnly:
            return "is measured by the printer and cannot be set";
        default:
            break;
    }
    return "is not kept in the tree";
}

std::string ApplyLine(const Setting& setting, std::string_view value, LineSettings* line) {
    switch (setting.kind) {
        case Kind::LineBaud:
            if (!ChoiceOf(value, kBauds))
                return "\"" + std::string(value) + "\" is not a baud rate of the printer";
            std::from_chars(value.data(), value.data() + value.size(), line->baud);
            return {};
        case Kind::LineCharLength:
        case Kind::LineStopBits: {
            const bool chars = setting.kind == Kind::LineCharLength;
            const auto number = ParseSetupNumber(value);
            const long long low = chars ? 7 : 1;
            if (!number || *number < low || *number > low + 1)
                return chars ? "wants 7 or 8" : "wants 1 or 2";
            (chars ? line->dataBits : line->stopBits) = static_cast<int>(*number);
            return {};
        }
        case Kind::LineParity: {
            const auto parity = ChoiceOf(value, kParities);
            if (!parity)
                return "\"" + std::string(value) + "\" is not a parity";
            line->parity = parity->front();  // E, O, N, M or S
            return {};
        }
        default:
            break;
    }
    return "is not a line setting";
}

std::string LineValue(Kind kind, const LineSettings& line) {
    switch (kind) {
        case Kind::LineBaud:
            return std::to_string(line.baud);
        case Kind::LineCharLength:
            return std::to_string(line.dataBits);
        case Kind::LineStopBits:
            return std::to_string(line.stopBits);
        default:
            return std::string(ParityName(line.parity));
    }
}

std::string ShownValue(const Setting& setting, const SetupValues& values,
                       const LineSettings& line) {
    if (IsLineKind(setting.kind))
        return LineValue(setting.kind, line);
    if (setting.kind == Kind::Flag) {
        const Flags flags = EffectiveFlags(values, line.protocol);
        const bool on = setting.path == kRtsCts        ? flags.rtsCts
                        : setting.path == kXonFromHost ? flags.fromHost
                                                       : flags.toHost;
        return std::string(on ? kEnable : kDisable);
    }
    const auto it = values.find(setting.path);
    return it == values.end() ? std::string(setting.factory) : it->second;
}

}  // namespace

int SetupGeneration(int model) {
    return CapabilitiesOf(model).setupGeneration;
}

std::string_view SetupTreeVersion(int model) {
    return SetupTreeOfGeneration(SetupGeneration(model));
}

SetupValues DefaultSetup(int model) {
    SetupValues values;
    for (const Setting& setting : TreeOf(model)) {
        if (!IsLineKind(setting.kind))
            values.emplace(setting.path, setting.factory);
    }
    return values;
}

std::string ApplySetupText(int model, std::string_view text, SetupValues* values,
                           LineSettings* line) {
    const std::optional<Setting> setting = SettingOfText(model, text);
    if (!setting)
        return "no setting \"" + std::string(text) + "\" in setup tree " +
               std::string(SetupTreeVersion(model));
    const std::string_view value = text.substr(setting->path.size() + 1);
    const std::string where = std::string(setting->path) + " ";
    if (IsLineKind(setting->kind)) {
        LineSettings changed = *line;
        std::string reason = ApplyLine(*setting, value, &changed);
        if (reason.empty())
            *line = changed;
        return reason.empty() ? reason : where + reason;
    }
    if (setting->kind == Kind::Flag) {
        std::string reason = ApplyFlag(setting->path, value, values, line);
        return reason.empty() ? reason : where + reason;
    }
    std::string stored;
    std::string reason = CheckKept(*setting, value, ShownValue(*setting, *values, *line), &stored);
    if (!reason.empty())
        return where + reason;
    (*values)[std::string(setting->path)] = stored;
    return {};
}

std::string CheckStoredSetting(int model, std::string_view path, std::string_view value) {
    const std::optional<Setting> setting = FindSetting(model, path);
    if (!setting || IsLineKind(setting->kind))
        return "not a kept setting of setup tree " + std::string(SetupTreeVersion(model));
    if (setting->kind == Kind::Flag)
        return ChoiceOf(value, kFlags) == value ? "" : "wants ENABLE or DISABLE";
    if (setting->kind == Kind::ReadOnly)
        return ParseSetupNumber(value) ? "" : "wants a number";
    if (setting->kind == Kind::Supplies)
        return CheckStoredSupplies(value);
    std::string stored;
    std::string reason = CheckKept(*setting, value, {}, &stored);
    if (reason.empty() && stored != value)
        reason = "is written \"" + stored + "\"";
    return reason;
}

void MatchFlagsToProtocol(Protocol protocol, SetupValues* values) {
    StoreFlags(EffectiveFlags(*values, protocol), values);
}

std::vector<std::string> SetupListing(int model, const SetupValues& values,
                                      const LineSettings& line) {
    std::vector<std::string> lines;
    for (const Setting& setting : TreeOf(model)) {
        const std::string value = ShownValue(setting, values, line);
        if (setting.kind != Kind::Supplies) {
            lines.push_back(std::string(setting.path) + "," + value);
            continue;
        }
        for (std::string_view one : SplitSupplies(value))
            lines.push_back(std::string(setting.path) + "," + std::string(one));
    }
    return lines;
}

std::optional<std::string> SetupValue(int model, const SetupValues& values,
                                      const LineSettings& line, std::string_view path) {
    const std::optional<Setting> setting = FindSetting(model, path);
    if (!setting)
        return std::nullopt;
    return ShownValue(*setting, values, line);
}

}  // namespace tarvo::sim
