#include "brakenholm/brak_commands.h"

#include <optional>
#include <string_view>

#include "brakenholm/brak_model.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

using Kind = SetupCommandText::Kind;
using std::to_string;

std::string_view FlagText(bool on) {
    return on ? kEnable : kDisable;
}

SetupCommandText Setup(std::string_view path, std::string_view value) {
    std::string line = "SETUP \"";
    line.append(path).append(",").append(value).append("\"");
    return {Kind::Line, std::move(line)};
}

SetupCommandText Setup(std::string_view path, long long value) {
    return Setup(path, to_string(value));
}

SetupCommandText Bad(std::string why) {
    return {Kind::BadValue, std::move(why)};
}

// The table text of a field, or the refusal naming the setting.
SetupCommandText SetupFromTable(std::string_view path, ValueTable table, std::uint16_t index,
                                BrakSetting setting) {
    if (const auto text = TableText(table, index))
        return Setup(path, *text);
    if (index == kNoIndex)
        return Bad(std::string(SettingName(setting)) + " was not read from the printer");
    return Bad(std::string(SettingName(setting)) + ": " + to_string(index) +
               " names no value of its table");
}

// Why a printer of `generation` has no `setting` of its own, or nullopt when it has one.
std::optional<std::string> Unavailable(BrakSetting setting, int generation) {
    const bool newTree = UsesNewTree(generation);
    switch (setting) {
        case BrakSetting::ImageBufferSize:
            if (generation != 1)
                return "only generation-1 printers (720, 760, 780, 880) have an image buffer size";
            return std::nullopt;
        case BrakSetting::ReceiveBuffer:
        case BrakSetting::TransmitBuffer:
            if (generation == 0)
                return "the 730 and M9 have no settable receive and transmit buffers";
            return std::nullopt;
        case BrakSetting::LabelConstant:
        case BrakSetting::LabelFactor:
        case BrakSetting::RibbonConstant:
        case BrakSetting::RibbonFactor:
        case BrakSetting::LabelOffset:
        case BrakSetting::PrintSpeed:
            if (!newTree)
                return "only printers with setup tree 7.12 have this setting";
            return std::nullopt;
        case BrakSetting::NewSupplies1:
        case BrakSetting::Performance:
            if (newTree)
                return "printers with setup tree 7.12 have no such setting";
            return std::nullopt;
        case BrakSetting::NewSupplies2:
            if (generation != 0)
                return "only the 730 and M9 take a second new-supplies value";
            return std::nullopt;
        case BrakSetting::HeadResistance:
            return "the head resistance is read from the printer and cannot be set";
        case BrakSetting::NetworkPresent:
            return "whether a network is present is read from the printer and cannot be set";
        default:
            return std::nullopt;
    }
}

SetupCommandText SerialCommand(BrakSetting setting, const BrakSetup& s) {
    switch (setting) {
        case BrakSetting::Baud:
            if (s.baud >= kFirstSlowBaud && s.baud < BaudTable().size()) {
                return Bad(
                    "baud rates below 9600 are refused: the printer could not be "
                    "reached at them again");
            }
            return SetupFromTable("SER-COM,UART1,BAUDRATE", BaudTable(), s.baud, setting);
        case BrakSetting::CharLength:
            if (s.charLength != 7 && s.charLength != 8)
                return Bad("char length must be 7 or 8, not " + to_string(s.charLength));
            return Setup("SER-COM,UART1,CHAR LENGTH", s.charLength);
        case BrakSetting::Parity:
            return SetupFromTable("SER-COM,UART1,PARITY", ParityTable(), s.parity, setting);
        case BrakSetting::StopBits:
            if (s.stopBits != 1 && s.stopBits != 2)
                return Bad("stop bits must be 1 or 2, not " + to_string(s.stopBits));
            return Setup("SER-COM,UART1,STOPBITS", s.stopBits);
        case BrakSetting::NewLine:
            return SetupFromTable("SER-COM,UART1,NEW LINE", NewLineTable(), s.newLine, setting);
        case BrakSetting::RtsCts:
            return Setup("SER-COM,UART1,FLOWCONTROL,RTS/CTS", FlagText(s.rtsCts));
        case BrakSetting::XonXoffToHost:
            return Setup("SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST",
                         FlagText(s.xonXoffToHost));
        case BrakSetting::XonXoffFromHost:
            return Setup("SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST",
                         FlagText(s.xonXoffFromHost));
        default:
            return Bad("not a serial setting");
    }
}

SetupCommandText MediaCommand(BrakSetting setting, const BrakSetup& s, int generation) {
    const bool n = UsesNewTree(generation);
    switch (setting) {
        case BrakSetting::StartAdjust:
            return Setup(n ? "FEEDADJ,STARTADJ" : "DETECTION,FEEDADJ,STARTADJ", s.startAdjust);
        case BrakSetting::StopAdjust:
            return Setup(n ? "FEEDADJ,STOPADJ" : "DETECTION,FEEDADJ,STOPADJ", s.stopAdjust);
        case BrakSetting::XStart:
            return Setup(n ? "MEDIA,MEDIA SIZE,XSTART" : "SERVICE,MEDIA SIZE,XSTART", s.xStart);
        case BrakSetting::Width:
            return Setup(n ? "MEDIA,MEDIA SIZE,WIDTH" : "SERVICE,MEDIA SIZE,WIDTH", s.width);
        case BrakSetting::Length:
            return Setup(n ? "MEDIA,MEDIA SIZE,LENGTH" : "SERVICE,MEDIA SIZE,LENGTH", s.length);
        case BrakSetting::MediaType:
            return SetupFromTable(n ? "MEDIA,MEDIA TYPE" : "SERVICE,MEDIA TYPE", MediaTypeTable(),
                                  s.mediaType, setting);
        case BrakSetting::PaperType:
            if (n) {
                return SetupFromTable("MEDIA,PAPER TYPE", PaperType712Table(), s.paperType,
                                      setting);
            }
            return SetupFromTable("SERVICE,PRINT DEFS,PAPER TYPE", PaperGradeTable(), s.paperType,
                                  setting);
        case BrakSetting::Contrast:
            if (n)
                return SetupFromTable("MEDIA,CONTRAST", ContrastTable(),
                                      static_cast<std::uint16_t>(s.contrast), setting);
            return Setup("CONTRAST", s.contrast);
        case BrakSetting::LabelConstant:
            return Setup("MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT", s.labelConstant);
        case BrakSetting::LabelFactor:
            return Setup("MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR", s.labelFactor);
        case BrakSetting::RibbonConstant:
            return Setup("MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT", s.ribbonConstant);
        case BrakSetting::RibbonFactor:
            return Setup("MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR", s.ribbonFactor);
        case BrakSetting::LabelOffset:
            return Setup("MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET", s.labelOffset);
        case BrakSetting::PrintSpeed:
            return Setup("PRINT DEFS,PRINT SPEED", s.printSpeed);
        case BrakSetting::NewSupplies1:
            return SetupFromTable("SERVICE,PRINT DEFS,NEW SUPPLIES", NewSuppliesTable(),
                                  s.newSupplies1, setting);
        case BrakSetting::NewSupplies2:
            return SetupFromTable("SERVICE,PRINT DEFS,NEW SUPPLIES", NewSuppliesTable(),
                                  s.newSupplies2, setting);
        case BrakSetting::Performance:
            return SetupFromTable("SERVICE,PERFORMANCE", PerformanceTable(), s.performance,
                                  setting);
        default:
            return Bad("not a media setting");
    }
}

SetupCommandText BufferCommand(BrakSetting setting, const BrakSetup& s, int generation) {
    switch (setting) {
        case BrakSetting::ImageBufferSize:
            return Setup("SERVICE,MEMORY ALLOC,IMAGE BUFF SIZE", s.imageBufferSize);
        case BrakSetting::ReceiveBuffer:
            return Setup(
                generation == 1 ? "SERVICE,MEMORY ALLOC,REC BUF UART1" : "SER-COM,UART1,REC BUF",
                s.receiveBuffer);
        default:
            return Setup(generation == 1 ? "SERVICE,MEMORY ALLOC,TRANS BUF UART1"
                                         : "SER-COM,UART1,TRANS BUF",
                         s.transmitBuffer);
    }
}

// One line of the setup file: "<path>,<value>".
void AddLine(std::vector<std::string>& lines, std::string_view path, std::string_view value) {
    std::string line(path);
    line.append(",").append(value);
    lines.push_back(std::move(line));
}

// A setting that the listing or file lacked is left out of the file, never written as a value
// nobody read.
void AddLine(std::vector<std::string>& lines, const BrakSetup& s, BrakSetting setting,
             std::string_view path, std::string_view value) {
    if (WasRead(s, setting))
        AddLine(lines, path, value);
}

void AddLine(std::vector<std::string>& lines, const BrakSetup& s, BrakSetting setting,
             std::string_view path, long long value) {
    AddLine(lines, s, setting, path, to_string(value));
}

// Table fields whose index names no entry are left out of the file rather than written as
// something the parser would misread.
void AddTableLine(std::vector<std::string>& lines, const BrakSetup& s, BrakSetting setting,
                  std::string_view path, ValueTable table, std::uint16_t index) {
    if (const auto text = TableText(table, index))
        AddLine(lines, s, setting, path, *text);
}

}  // namespace

SetupCommandText SetupCommand(BrakSetting setting, const BrakSetup& setup, int generation) {
    if (setting == BrakSetting::LssAdjust)
        return {Kind::NothingToSend, "LSS adjust reaches the printer only through a setup file"};
    if (auto why = Unavailable(setting, generation))
        return {Kind::NotForPrinter, std::move(*why)};
    if (IsSerialSetting(setting))
        return SerialCommand(setting, setup);
    if (setting == BrakSetting::ImageBufferSize || setting == BrakSetting::ReceiveBuffer ||
        setting == BrakSetting::TransmitBuffer) {
        return BufferCommand(setting, setup, generation);
    }
    return MediaCommand(setting, setup, generation);
}

Writability CanWriteSetting(BrakSetting setting, int generation) {
    if (setting == BrakSetting::LssAdjust)
        return {false, "LSS adjust reaches the printer only through a setup file"};
    if (auto why = Unavailable(setting, generation))
        return {false, std::move(*why)};
    return {};
}

bool IsSerialSetting(BrakSetting setting) {
    return setting <= BrakSetting::XonXoffFromHost;
}

bool IsUnset(BrakSetting setting, const BrakSetup& s, int generation) {
    if (!WasRead(s, setting))
        return true;
    switch (setting) {
        case BrakSetting::Baud:
            return s.baud == kNoIndex;
        case BrakSetting::Parity:
            return s.parity == kNoIndex;
        case BrakSetting::NewLine:
            return s.newLine == kNoIndex;
        case BrakSetting::MediaType:
            return s.mediaType == kNoIndex;
        case BrakSetting::PaperType:
            return s.paperType == kNoIndex;
        case BrakSetting::NewSupplies1:
            return s.newSupplies1 == kNoIndex;
        case BrakSetting::NewSupplies2:
            return s.newSupplies2 == kNoIndex;
        case BrakSetting::Performance:
            return s.performance == kNoIndex;
        case BrakSetting::Contrast:
            return UsesNewTree(generation) && s.contrast == kNoContrast;
        default:
            return false;
    }
}

std::vector<BrakSetting> SettingsInSendOrder(const BrakSetup& setup, int generation) {
    using S = BrakSetting;
    const bool newTree = UsesNewTree(generation);
    std::vector<S> order = {S::StartAdjust, S::StopAdjust, S::XStart,
                            S::Width,       S::Length,     S::MediaType};
    order.push_back(newTree ? S::PrintSpeed : S::Performance);
    order.push_back(S::PaperType);
    if (newTree) {
        order.insert(order.end(), {S::LabelConstant, S::LabelFactor, S::RibbonConstant,
                                   S::RibbonFactor, S::LabelOffset});
    } else {
        order.push_back(S::NewSupplies1);
    }
    if (generation == 1)
        order.push_back(S::ImageBufferSize);
    if (generation != 0)
        order.insert(order.end(), {S::ReceiveBuffer, S::TransmitBuffer});
    order.push_back(S::Contrast);
    std::erase_if(order, [&](S s) { return IsUnset(s, setup, generation); });
    return order;
}

std::vector<BrakSetting> SerialSettingsInSendOrder(const BrakSetup& setup) {
    using S = BrakSetting;
    std::vector<S> order = {S::Baud,   S::Parity,          S::StopBits,      S::CharLength,
                            S::RtsCts, S::XonXoffFromHost, S::XonXoffToHost, S::NewLine};
    std::erase_if(order, [&](S s) { return IsUnset(s, setup, 0); });
    return order;
}

std::vector<std::string> BuildSetupLines(const BrakSetup& s, int generation) {
    const bool newTree = UsesNewTree(generation);
    std::vector<std::string> lines;
    AddTableLine(lines, s, BrakSetting::Baud, "SER-COM,UART1,BAUDRATE", BaudTable(), s.baud);
    AddLine(lines, s, BrakSetting::CharLength, "SER-COM,UART1,CHAR LENGTH", s.charLength);
    AddTableLine(lines, s, BrakSetting::Parity, "SER-COM,UART1,PARITY", ParityTable(), s.parity);
    AddLine(lines, s, BrakSetting::StopBits, "SER-COM,UART1,STOPBITS", s.stopBits);
    AddLine(lines, s, BrakSetting::RtsCts, "SER-COM,UART1,FLOWCONTROL,RTS/CTS", FlagText(s.rtsCts));
    AddLine(lines, s, BrakSetting::XonXoffFromHost,
            "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST", FlagText(s.xonXoffFromHost));
    AddLine(lines, s, BrakSetting::XonXoffToHost, "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST",
            FlagText(s.xonXoffToHost));
    AddTableLine(lines, s, BrakSetting::NewLine, "SER-COM,UART1,NEW LINE", NewLineTable(),
                 s.newLine);

    if (newTree) {
        AddLine(lines, s, BrakSetting::ReceiveBuffer, "SER-COM,UART1,REC BUF", s.receiveBuffer);
        AddLine(lines, s, BrakSetting::TransmitBuffer, "SER-COM,UART1,TRANS BUF", s.transmitBuffer);
    } else if (generation == 1) {
        AddLine(lines, s, BrakSetting::ReceiveBuffer, "SERVICE,MEMORY ALLOC,REC BUF UART1",
                s.receiveBuffer);
        AddLine(lines, s, BrakSetting::TransmitBuffer, "SERVICE,MEMORY ALLOC,TRANS BUF UART1",
                s.transmitBuffer);
    }

    if (newTree) {
        AddLine(lines, s, BrakSetting::StartAdjust, "FEEDADJ,STARTADJ", s.startAdjust);
        AddLine(lines, s, BrakSetting::StopAdjust, "FEEDADJ,STOPADJ", s.stopAdjust);
        AddTableLine(lines, s, BrakSetting::Contrast, "MEDIA,CONTRAST", ContrastTable(),
                     static_cast<std::uint16_t>(s.contrast));
        AddLine(lines, s, BrakSetting::XStart, "MEDIA,MEDIA SIZE,XSTART", s.xStart);
        AddLine(lines, s, BrakSetting::Width, "MEDIA,MEDIA SIZE,WIDTH", s.width);
        AddLine(lines, s, BrakSetting::Length, "MEDIA,MEDIA SIZE,LENGTH", s.length);
        AddTableLine(lines, s, BrakSetting::MediaType, "MEDIA,MEDIA TYPE", MediaTypeTable(),
                     s.mediaType);
        AddTableLine(lines, s, BrakSetting::PaperType, "MEDIA,PAPER TYPE", PaperType712Table(),
                     s.paperType);
        AddLine(lines, s, BrakSetting::LabelConstant,
                "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT", s.labelConstant);
        AddLine(lines, s, BrakSetting::LabelFactor, "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR",
                s.labelFactor);
        AddLine(lines, s, BrakSetting::RibbonConstant, "MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT",
                s.ribbonConstant);
        AddLine(lines, s, BrakSetting::RibbonFactor, "MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR",
                s.ribbonFactor);
        AddLine(lines, s, BrakSetting::LabelOffset, "MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET",
                s.labelOffset);
        AddLine(lines, s, BrakSetting::PrintSpeed, "PRINT DEFS,PRINT SPEED", s.printSpeed);
        return lines;
    }

    AddLine(lines, s, BrakSetting::LssAdjust, "DETECTION,LSS ADJUST", s.lssAdjust);
    AddLine(lines, s, BrakSetting::StartAdjust, "DETECTION,FEEDADJ,STARTADJ", s.startAdjust);
    AddLine(lines, s, BrakSetting::StopAdjust, "DETECTION,FEEDADJ,STOPADJ", s.stopAdjust);
    AddLine(lines, s, BrakSetting::Contrast, "CONTRAST", s.contrast);
    AddLine(lines, s, BrakSetting::XStart, "SERVICE,MEDIA SIZE,XSTART", s.xStart);
    AddLine(lines, s, BrakSetting::Width, "SERVICE,MEDIA SIZE,WIDTH", s.width);
    AddLine(lines, s, BrakSetting::Length, "SERVICE,MEDIA SIZE,LENGTH", s.length);
    AddTableLine(lines, s, BrakSetting::MediaType, "SERVICE,MEDIA TYPE", MediaTypeTable(),
                 s.mediaType);
    AddLine(lines, s, BrakSetting::HeadResistance, "SERVICE,PRINT DEFS,HEAD RESIST",
            s.headResistance);
    AddTableLine(lines, s, BrakSetting::PaperType, "SERVICE,PRINT DEFS,PAPER TYPE",
                 PaperGradeTable(), s.paperType);
    AddTableLine(lines, s, BrakSetting::NewSupplies1, "SERVICE,PRINT DEFS,NEW SUPPLIES",
                 NewSuppliesTable(), s.newSupplies1);
    if (generation == 0)
        AddTableLine(lines, s, BrakSetting::NewSupplies2, "SERVICE,PRINT DEFS,NEW SUPPLIES",
                     NewSuppliesTable(), s.newSupplies2);
    AddTableLine(lines, s, BrakSetting::Performance, "SERVICE,PERFORMANCE", PerformanceTable(),
                 s.performance);
    if (generation == 1)
        AddLine(lines, s, BrakSetting::ImageBufferSize, "SERVICE,MEMORY ALLOC,IMAGE BUF SIZE",
                s.imageBufferSize);
    return lines;
}

}  // namespace tarvo::app
