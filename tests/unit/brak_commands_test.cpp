// The SETUP commands of every setting in both key-path forms, their refusals, the order of a
// whole-setup send and the lines of the setup file, all without a port.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "brakenholm/brak_commands.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

using Kind = SetupCommandText::Kind;
using S = BrakSetting;

// A record with a distinct value in every field.
BrakSetup Filled() {
    BrakSetup s;
    s.baud = 1;  // 19200
    s.charLength = 8;
    s.parity = 1;  // ODD
    s.stopBits = 2;
    s.rtsCts = true;
    s.xonXoffToHost = false;
    s.xonXoffFromHost = true;
    s.newLine = 2;  // CR
    s.imageBufferSize = 65536;
    s.receiveBuffer = 1024;
    s.transmitBuffer = 512;
    s.startAdjust = -20;
    s.stopAdjust = 15;
    s.lssAdjust = 23;
    s.xStart = 8;
    s.width = 832;
    s.length = 1200;
    s.mediaType = 1;  // TICKET (w MARK)
    s.paperType = 1;
    s.labelConstant = 50;
    s.labelFactor = 10;
    s.ribbonConstant = 45;
    s.ribbonFactor = 12;
    s.labelOffset = -3;
    s.contrast = 5;
    s.headResistance = 1250;
    s.printSpeed = 150;
    s.newSupplies1 = 14;  // GQ90
    s.newSupplies2 = 24;  // GJ118
    s.performance = 2;    // ULTRA HIGH
    return s;
}

std::string Line(BrakSetting setting, const BrakSetup& s, int generation) {
    const SetupCommandText c = SetupCommand(setting, s, generation);
    EXPECT_EQ(c.kind, Kind::Line) << SettingName(setting) << ": " << c.text;
    return c.text;
}

TEST(BrakCommands, DocumentedExamples) {
    BrakSetup s;
    s.width = 832;
    EXPECT_EQ(Line(S::Width, s, 3), "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"");
    EXPECT_EQ(Line(S::Width, s, 1), "SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"");
    s.startAdjust = -20;
    EXPECT_EQ(Line(S::StartAdjust, s, 0), "SETUP \"DETECTION,FEEDADJ,STARTADJ,-20\"");
    s.contrast = 5;
    EXPECT_EQ(Line(S::Contrast, s, 2), "SETUP \"MEDIA,CONTRAST,+0%\"");
    EXPECT_EQ(Line(S::Contrast, s, 0), "SETUP \"CONTRAST,5\"");
}

// The setup file's lines of the new tree for Filled(), in the file's order.
const std::vector<std::string> kNewTreeLines = {
    "SER-COM,UART1,BAUDRATE,19200",
    "SER-COM,UART1,CHAR LENGTH,8",
    "SER-COM,UART1,PARITY,ODD",
    "SER-COM,UART1,STOPBITS,2",
    "SER-COM,UART1,FLOWCONTROL,RTS/CTS,ENABLE",
    "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,ENABLE",
    "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST,DISABLE",
    "SER-COM,UART1,NEW LINE,CR",
    "SER-COM,UART1,REC BUF,1024",
    "SER-COM,UART1,TRANS BUF,512",
    "FEEDADJ,STARTADJ,-20",
    "FEEDADJ,STOPADJ,15",
    "MEDIA,CONTRAST,+0%",
    "MEDIA,MEDIA SIZE,XSTART,8",
    "MEDIA,MEDIA SIZE,WIDTH,832",
    "MEDIA,MEDIA SIZE,LENGTH,1200",
    "MEDIA,MEDIA TYPE,TICKET (w MARK)",
    "MEDIA,PAPER TYPE,TRANSFER",
    "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,50",
    "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR,10",
    "MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT,45",
    "MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR,12",
    "MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,-3",
    "PRINT DEFS,PRINT SPEED,150",
};

// On the new tree every setting a command can reach is sent as its setup file line.
TEST(BrakCommands, EveryWriterOfTheNewTreeSendsItsFileLine) {
    std::vector<std::string> expected;
    for (const std::string& line : kNewTreeLines)
        expected.push_back("SETUP \"" + line + "\"");
    std::sort(expected.begin(), expected.end());
    for (int generation : {2, 3}) {
        std::vector<std::string> sent;
        for (int i = 0; i < kBrakSettingCount; ++i) {
            const SetupCommandText c = SetupCommand(static_cast<S>(i), Filled(), generation);
            if (c.kind == Kind::Line)
                sent.push_back(c.text);
        }
        std::sort(sent.begin(), sent.end());
        EXPECT_EQ(sent, expected) << generation;
    }
}

TEST(BrakCommands, EveryWriterOfTheOldTree) {
    BrakSetup s = Filled();
    s.paperType = 3;
    const std::vector<std::pair<S, std::string>> expected = {
        {S::ImageBufferSize, "SETUP \"SERVICE,MEMORY ALLOC,IMAGE BUFF SIZE,65536\""},
        {S::ReceiveBuffer, "SETUP \"SERVICE,MEMORY ALLOC,REC BUF UART1,1024\""},
        {S::TransmitBuffer, "SETUP \"SERVICE,MEMORY ALLOC,TRANS BUF UART1,512\""},
        {S::StartAdjust, "SETUP \"DETECTION,FEEDADJ,STARTADJ,-20\""},
        {S::StopAdjust, "SETUP \"DETECTION,FEEDADJ,STOPADJ,15\""},
        {S::XStart, "SETUP \"SERVICE,MEDIA SIZE,XSTART,8\""},
        {S::Width, "SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\""},
        {S::Length, "SETUP \"SERVICE,MEDIA SIZE,LENGTH,1200\""},
        {S::MediaType, "SETUP \"SERVICE,MEDIA TYPE,TICKET (w MARK)\""},
        {S::PaperType,
         "SETUP \"SERVICE,PRINT DEFS,PAPER TYPE," + std::string(PaperGradeTable()[3]) + "\""},
        {S::Contrast, "SETUP \"CONTRAST,5\""},
        {S::NewSupplies1, "SETUP \"SERVICE,PRINT DEFS,NEW SUPPLIES,GQ90\""},
        {S::Performance, "SETUP \"SERVICE,PERFORMANCE,ULTRA HIGH\""},
    };
    for (const auto& [setting, line] : expected)
        EXPECT_EQ(Line(setting, s, 1), line) << SettingName(setting);
    EXPECT_EQ(Line(S::NewSupplies2, s, 0), "SETUP \"SERVICE,PRINT DEFS,NEW SUPPLIES,GJ118\"");
}

TEST(BrakCommands, SettingsAGenerationLacksAreNotSent) {
    const BrakSetup s = Filled();
    const std::vector<std::pair<S, int>> absent = {
        {S::ReceiveBuffer, 0},   {S::TransmitBuffer, 0},  {S::ImageBufferSize, 0},
        {S::ImageBufferSize, 2}, {S::ImageBufferSize, 3}, {S::PrintSpeed, 1},
        {S::LabelConstant, 0},   {S::RibbonFactor, 1},    {S::LabelOffset, 1},
        {S::NewSupplies1, 3},    {S::NewSupplies2, 1},    {S::NewSupplies2, 2},
        {S::Performance, 2},     {S::HeadResistance, 0},  {S::NetworkPresent, 3},
    };
    for (const auto& [setting, generation] : absent) {
        const SetupCommandText c = SetupCommand(setting, s, generation);
        EXPECT_EQ(c.kind, Kind::NotForPrinter) << SettingName(setting) << " g" << generation;
        EXPECT_FALSE(c.text.empty());
        EXPECT_FALSE(CanWriteSetting(setting, generation).writable);
    }
    // LSS adjust has no direct command anywhere; it is not a failure either.
    for (int generation = 0; generation <= 3; ++generation) {
        EXPECT_EQ(SetupCommand(S::LssAdjust, s, generation).kind, Kind::NothingToSend);
        const Writability w = CanWriteSetting(S::LssAdjust, generation);
        EXPECT_FALSE(w.writable);
        EXPECT_NE(w.reason.find("setup file"), std::string::npos) << w.reason;
    }
    EXPECT_TRUE(CanWriteSetting(S::Width, 0).writable);
    EXPECT_TRUE(CanWriteSetting(S::PrintSpeed, 3).writable);
}

TEST(BrakCommands, ValuesOutsideTheTablesAreRefused) {
    const auto refused = [](BrakSetup s, S setting, int generation) {
        const SetupCommandText c = SetupCommand(setting, s, generation);
        EXPECT_EQ(c.kind, Kind::BadValue) << SettingName(setting) << " -> " << c.text;
        return c.text;
    };
    BrakSetup s = Filled();
    for (std::uint16_t slow = kFirstSlowBaud; slow < BaudTable().size(); ++slow) {
        s.baud = slow;
        EXPECT_NE(refused(s, S::Baud, 3).find("below 9600"), std::string::npos);
    }
    s = Filled();
    s.baud = 11;
    refused(s, S::Baud, 3);
    s.charLength = 9;
    refused(s, S::CharLength, 3);
    s.stopBits = 0;
    refused(s, S::StopBits, 3);
    s.mediaType = 5;
    refused(s, S::MediaType, 1);
    s.paperType = 2;  // "7.12" has two paper types
    refused(s, S::PaperType, 3);
    s.paperType = 28;  // "6.13" has 28 grades
    refused(s, S::PaperType, 1);
    s.paperType = kNoIndex;
    EXPECT_NE(refused(s, S::PaperType, 1).find("not read"), std::string::npos);
    s.contrast = 11;
    refused(s, S::Contrast, 3);
    s.contrast = kNoContrast;
    refused(s, S::Contrast, 2);
    EXPECT_EQ(SetupCommand(S::Contrast, s, 1).text, "SETUP \"CONTRAST,-1\"")
        << "a plain number on the old tree";
}

TEST(BrakCommands, WholeSendOrderPerGeneration) {
    BrakSetup s = Filled();
    EXPECT_EQ(SettingsInSendOrder(s, 3),
              (std::vector<S>{S::StartAdjust, S::StopAdjust, S::XStart, S::Width, S::Length,
                              S::MediaType, S::PrintSpeed, S::PaperType, S::LabelConstant,
                              S::LabelFactor, S::RibbonConstant, S::RibbonFactor, S::LabelOffset,
                              S::ReceiveBuffer, S::TransmitBuffer, S::Contrast}));
    EXPECT_EQ(
        SettingsInSendOrder(s, 1),
        (std::vector<S>{S::StartAdjust, S::StopAdjust, S::XStart, S::Width, S::Length, S::MediaType,
                        S::Performance, S::PaperType, S::NewSupplies1, S::ImageBufferSize,
                        S::ReceiveBuffer, S::TransmitBuffer, S::Contrast}));
    EXPECT_EQ(
        SettingsInSendOrder(s, 0),
        (std::vector<S>{S::StartAdjust, S::StopAdjust, S::XStart, S::Width, S::Length, S::MediaType,
                        S::Performance, S::PaperType, S::NewSupplies1, S::Contrast}));
    EXPECT_EQ(SerialSettingsInSendOrder(s),
              (std::vector<S>{S::Baud, S::Parity, S::StopBits, S::CharLength, S::RtsCts,
                              S::XonXoffFromHost, S::XonXoffToHost, S::NewLine}));

    // Values the printer did not state are left as the printer has them.
    s.paperType = kNoIndex;
    s.newSupplies1 = kNoIndex;
    s.mediaType = kNoIndex;
    s.performance = kNoIndex;
    EXPECT_EQ(SettingsInSendOrder(s, 0), (std::vector<S>{S::StartAdjust, S::StopAdjust, S::XStart,
                                                         S::Width, S::Length, S::Contrast}));
    s.contrast = kNoContrast;
    const std::vector<S> newTree = SettingsInSendOrder(s, 2);
    EXPECT_EQ(std::count(newTree.begin(), newTree.end(), S::Contrast), 0);
    s.baud = kNoIndex;
    s.parity = kNoIndex;
    EXPECT_EQ(SerialSettingsInSendOrder(s),
              (std::vector<S>{S::StopBits, S::CharLength, S::RtsCts, S::XonXoffFromHost,
                              S::XonXoffToHost, S::NewLine}));
}

TEST(BrakCommands, SetupFileLinesOfTheNewTree) {
    EXPECT_EQ(BuildSetupLines(Filled(), 3), kNewTreeLines);
}

TEST(BrakCommands, SetupFileLinesOfTheOldTree) {
    BrakSetup s = Filled();
    s.paperType = 0;
    const std::vector<std::string> serial = {
        "SER-COM,UART1,BAUDRATE,19200",
        "SER-COM,UART1,CHAR LENGTH,8",
        "SER-COM,UART1,PARITY,ODD",
        "SER-COM,UART1,STOPBITS,2",
        "SER-COM,UART1,FLOWCONTROL,RTS/CTS,ENABLE",
        "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,ENABLE",
        "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST,DISABLE",
        "SER-COM,UART1,NEW LINE,CR",
    };
    const std::string grade = "SERVICE,PRINT DEFS,PAPER TYPE," + std::string(PaperGradeTable()[0]);
    std::vector<std::string> generation1 = serial;
    generation1.insert(generation1.end(), {
                                              "SERVICE,MEMORY ALLOC,REC BUF UART1,1024",
                                              "SERVICE,MEMORY ALLOC,TRANS BUF UART1,512",
                                              "DETECTION,LSS ADJUST,23",
                                              "DETECTION,FEEDADJ,STARTADJ,-20",
                                              "DETECTION,FEEDADJ,STOPADJ,15",
                                              "CONTRAST,5",
                                              "SERVICE,MEDIA SIZE,XSTART,8",
                                              "SERVICE,MEDIA SIZE,WIDTH,832",
                                              "SERVICE,MEDIA SIZE,LENGTH,1200",
                                              "SERVICE,MEDIA TYPE,TICKET (w MARK)",
                                              "SERVICE,PRINT DEFS,HEAD RESIST,1250",
                                              grade,
                                              "SERVICE,PRINT DEFS,NEW SUPPLIES,GQ90",
                                              "SERVICE,PERFORMANCE,ULTRA HIGH",
                                              // One F here, two in the direct command.
                                              "SERVICE,MEMORY ALLOC,IMAGE BUF SIZE,65536",
                                          });
    EXPECT_EQ(BuildSetupLines(s, 1), generation1);

    // Generation 0: no buffers, no image buffer, and the second supplies value of its pair.
    std::vector<std::string> generation0 = generation1;
    std::erase_if(generation0, [](const std::string& line) {
        return line.find("MEMORY ALLOC") != std::string::npos;
    });
    generation0.insert(generation0.end() - 1, "SERVICE,PRINT DEFS,NEW SUPPLIES,GJ118");
    EXPECT_EQ(BuildSetupLines(s, 0), generation0);
}

TEST(BrakCommands, SetupFileLeavesOutWhatWasNotRead) {
    BrakSetup s = Filled();
    s.paperType = kNoIndex;
    s.newSupplies1 = kNoIndex;
    s.newSupplies2 = kNoIndex;
    s.baud = kNoIndex;
    for (int generation = 0; generation <= 3; ++generation) {
        for (const std::string& line : BuildSetupLines(s, generation)) {
            EXPECT_NE(line, "MEDIA,PAPER TYPE,DIRECT THERMAL");
            EXPECT_NE(line, "MEDIA,PAPER TYPE,TRANSFER");
            EXPECT_EQ(line.find("PRINT DEFS,PAPER TYPE"), std::string::npos) << line;
            EXPECT_EQ(line.find("NEW SUPPLIES"), std::string::npos) << line;
            EXPECT_EQ(line.find("BAUDRATE"), std::string::npos) << line;
        }
    }
}

}  // namespace
}  // namespace tarvo::app
