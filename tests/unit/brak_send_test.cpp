// Sending a whole setup and the factory defaults: the order on the wire (serial line settings
// last), the host following the printer, the first failure, refusals that send nothing.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "desk/printer_commands.h"
#include "support/brak_fixture.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

using app::PromptAnswer;

BrakSetup Filled() {
    BrakSetup s;
    s.baud = 1;  // 19200
    s.charLength = 8;
    s.parity = 1;  // ODD
    s.stopBits = 2;
    s.rtsCts = false;
    s.xonXoffToHost = true;
    s.xonXoffFromHost = true;
    s.newLine = 0;
    s.receiveBuffer = 1024;
    s.transmitBuffer = 512;
    s.startAdjust = -20;
    s.stopAdjust = 15;
    s.xStart = 8;
    s.width = 832;
    s.length = 1200;
    s.mediaType = 0;
    s.paperType = 0;
    s.labelConstant = 50;
    s.labelFactor = 10;
    s.ribbonConstant = 45;
    s.ribbonFactor = 12;
    s.labelOffset = 0;
    s.contrast = 5;
    s.printSpeed = 150;
    return s;
}

const std::vector<std::string> kGeneration3Body = {
    "SETUP \"FEEDADJ,STARTADJ,-20\"",
    "SETUP \"FEEDADJ,STOPADJ,15\"",
    "SETUP \"MEDIA,MEDIA SIZE,XSTART,8\"",
    "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
    "SETUP \"MEDIA,MEDIA SIZE,LENGTH,1200\"",
    "SETUP \"MEDIA,MEDIA TYPE,LABEL (w GAPS)\"",
    "SETUP \"PRINT DEFS,PRINT SPEED,150\"",
    "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL\"",
    "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,50\"",
    "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR,10\"",
    "SETUP \"MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT,45\"",
    "SETUP \"MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR,12\"",
    "SETUP \"MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,0\"",
    "SETUP \"SER-COM,UART1,REC BUF,1024\"",
    "SETUP \"SER-COM,UART1,TRANS BUF,512\"",
    "SETUP \"MEDIA,CONTRAST,+0%\"",
};

const std::vector<std::string> kGeneration3Serial = {
    "SETUP \"SER-COM,UART1,BAUDRATE,19200\"",
    "SETUP \"SER-COM,UART1,PARITY,ODD\"",
    "SETUP \"SER-COM,UART1,STOPBITS,2\"",
    "SETUP \"SER-COM,UART1,CHAR LENGTH,8\"",
    "SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,DISABLE\"",
    "SETUP \"SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,ENABLE\"",
    "SETUP \"SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST,ENABLE\"",
    "SETUP \"SER-COM,UART1,NEW LINE,CR/LF\"",
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BrakSend : public test::BrakTest {
  protected:
    void SetUp() override {
        env.setProfile("Baud", "9600");
        env.setProfile("Parity", "Even");
        env.setProfile("DataBits", "7");
        env.setProfile("StopBits", "1");
        env.setProfile("Protocol", "XON/XOFF");
        ASSERT_EQ(PCUInitCommParm(session.kernelHandle), PCU_OK);
    }
    commState Kernel() const {
        commState c{};
        PCUGetCommState(session.kernelHandle, &c);
        return c;
    }
};

TEST_F(BrakSend, WholeSetupGoesOutWithTheSerialSettingsLastAndTheHostFollows) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    port->Answer("PRINT VERSION$(1)", "TQ8e\r\n");
    prompt.ExpectQuestion("Send current updates to attached printer?", PromptAnswer::Ok);
    const OpResult r = p.SendAllSetup();
    EXPECT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(port->Commands(),
              Join(Join(kGeneration3Body, kGeneration3Serial), {"PRINT VERSION$(1)"}));
    EXPECT_EQ(Profile("Baud"), "19200");
    EXPECT_EQ(Profile("Parity"), "Odd");
    EXPECT_EQ(Profile("DataBits"), "8");
    EXPECT_EQ(Profile("StopBits"), "2");
    EXPECT_EQ(Profile("Protocol"), "XON/XOFF");
    const commState k = Kernel();
    EXPECT_EQ(k.baud, 19200);
    EXPECT_EQ(k.parity, PCU_PARITY_ODD);
    EXPECT_EQ(k.dataBits, 8);
    EXPECT_EQ(k.stopBits, 2);
    EXPECT_EQ(session.baud, 19200) << "the session re-read its settings";
    ASSERT_FALSE(prompt.statuses.empty());
    EXPECT_EQ(prompt.statuses.front(), "Sending configuration data to printer -- please wait");
    EXPECT_EQ(prompt.statuses.back(), "Tarvo ready - select menu item or click on pushbutton");
    EXPECT_GT(prompt.busyScopes, 0);
}

TEST_F(BrakSend, CancelSendsNothing) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Cancel);
    EXPECT_EQ(p.SendAllSetup().status, OpStatus::Cancelled);
    EXPECT_EQ(port->Wire(), "");
    EXPECT_EQ(Profile("Baud"), "9600");
}

TEST_F(BrakSend, FirstFailedSettingIsReportedAndTheLineSettingsStay) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    port->FailWritesContaining("MEDIA SIZE,WIDTH", EIO);
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    const OpResult r = p.SendAllSetup();
    EXPECT_EQ(r.status, OpStatus::Failed);
    EXPECT_EQ(r.setting, SettingName(BrakSetting::Width));
    EXPECT_NE(r.detail.find("serial line settings were not sent"), std::string::npos) << r.detail;
    std::vector<std::string> expected = kGeneration3Body;
    expected.erase(expected.begin() + 3);  // the width line never went out
    EXPECT_EQ(port->Commands(), expected) << "the rest of the setup still goes";
    EXPECT_EQ(Profile("Baud"), "9600");
    EXPECT_EQ(Kernel().baud, 9600);
}

TEST_F(BrakSend, DeadPortStopsAtTheFirstSetting) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    port->FailOpens(ENOENT);
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    const OpResult r = p.SendAllSetup();
    EXPECT_EQ(r.status, OpStatus::Failed);
    EXPECT_EQ(r.setting, SettingName(BrakSetting::StartAdjust));
    EXPECT_EQ(port->opens, 1);
}

TEST_F(BrakSend, RefusedValueSendsNothingAtAll) {
    CBrakPrinter& p = MakePrinter(40);
    BrakSetup s = Filled();
    s.baud = 5;  // 4800
    p.SetSetup(s);
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    const OpResult r = p.SendAllSetup();
    EXPECT_EQ(r.status, OpStatus::Refused);
    EXPECT_EQ(r.setting, SettingName(BrakSetting::Baud));
    EXPECT_NE(r.detail.find("below 9600"), std::string::npos);
    EXPECT_EQ(port->Wire(), "");
}

TEST_F(BrakSend, SilentPrinterAfterTheSendIsOfferedTheSearch) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    prompt.ExpectQuestion("does not answer at its new line settings", PromptAnswer::No);
    OpResult r = p.SendAllSetup();
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    EXPECT_EQ(Profile("Baud"), "19200") << "the host follows what the printer was told";

    // Found again by the search: at 38400, 8 data bits, no parity, two stop bits.
    port->Answer("SYSVAR(18)=3", "Ok\r\n", "38400,n,8,2");
    port->Answer("SETUP WRITE \"UART1:\"",
                 "SER-COM,UART1,BAUDRATE,38400\r\nSER-COM,UART1,CHAR LENGTH,8\r\n"
                 "SER-COM,UART1,PARITY,EVEN\r\nSER-COM,UART1,STOPBITS,2\r\n",
                 "38400,n,8,2");
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    prompt.ExpectQuestion("does not answer", PromptAnswer::Yes);
    r = p.SendAllSetup();
    EXPECT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(Profile("Baud"), "38400");
    EXPECT_EQ(Profile("Parity"), "Even");
    EXPECT_EQ(Kernel().baud, 38400);
    EXPECT_TRUE(session.scriptReply);
}

TEST_F(BrakSend, OneSettingWithoutTheLineSettingsLeavesTheHostAlone) {
    CBrakPrinter& p = MakePrinter(40);
    p.SetSetup(Filled());
    EXPECT_TRUE(p.SendSettings({BrakSetting::Width}).ok());
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{"SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\""}));
    EXPECT_EQ(Profile("Baud"), "9600");

    port->ClearRecord();
    port->Answer("PRINT VERSION$(1)", "TQ8e\r\n");
    EXPECT_TRUE(p.SendSettings({BrakSetting::Baud, BrakSetting::Width}).ok());
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{"SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
                                                          "SETUP \"SER-COM,UART1,BAUDRATE,19200\"",
                                                          "PRINT VERSION$(1)"}));
    EXPECT_EQ(Profile("Baud"), "19200");
    EXPECT_EQ(Profile("DataBits"), "7") << "the record's unsent char length is not the printer's";
    EXPECT_EQ(Profile("Protocol"), "XON/XOFF");
}

TEST_F(BrakSend, DefaultsOfEachGeneration) {
    CBrakPrinter& g1 = MakePrinter(26);
    const OpResult none = g1.RestoreSetupDefaults();
    EXPECT_EQ(none.status, OpStatus::NotSupported);
    EXPECT_EQ(port->Wire(), "");

    CBrakPrinter& g3 = MakePrinter(38);
    const OpResult silent = g3.RestoreSetupDefaults();
    EXPECT_EQ(silent.status, OpStatus::NoAnswer) << "a silent printer has restored nothing";
    port->ClearRecord();
    port->Answer("run \"setup w\"", "Ok\r\nOk\r\n");
    EXPECT_TRUE(g3.RestoreSetupDefaults().ok());
    EXPECT_EQ(port->Wire(),
              "[open]FORMAT \"tmp:\"<CR><LF>[read][close]"
              "[open]run \"setup r rom:.setup.saved\"<CR><LF>run \"setup w\"<CR><LF>[read][close]");

    CBrakPrinter& g0 = MakePrinter(27);
    port->Answer("PRINT VERSION$(1)", "730\r\n");
    EXPECT_TRUE(g0.RestoreSetupDefaults().ok());
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{
                                    "SETUP \"DETECTION,FEEDADJ,STARTADJ,0\"",
                                    "SETUP \"DETECTION,FEEDADJ,STOPADJ,0\"",
                                    "SETUP \"SERVICE,MEDIA SIZE,XSTART,0\"",
                                    "SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"",
                                    "SETUP \"SERVICE,MEDIA SIZE,LENGTH,1200\"",
                                    "SETUP \"SERVICE,MEDIA TYPE,LABEL (w GAPS)\"",
                                    "SETUP \"SERVICE,PERFORMANCE,NORMAL\"",
                                    "SETUP \"CONTRAST,5\"",
                                    "SETUP \"SER-COM,UART1,BAUDRATE,9600\"",
                                    "SETUP \"SER-COM,UART1,PARITY,NONE\"",
                                    "SETUP \"SER-COM,UART1,STOPBITS,1\"",
                                    "SETUP \"SER-COM,UART1,CHAR LENGTH,8\"",
                                    "SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,DISABLE\"",
                                    "SETUP \"SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM "
                                    "HOST,DISABLE\"",
                                    "SETUP \"SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO "
                                    "HOST,DISABLE\"",
                                    "SETUP \"SER-COM,UART1,NEW LINE,CR/LF\"",
                                    "PRINT VERSION$(1)",
                                }));
    EXPECT_EQ(g0.GetSetup().lssAdjust, 23);
    EXPECT_EQ(Profile("Parity"), "None");
    EXPECT_EQ(Profile("DataBits"), "8");
    EXPECT_EQ(Profile("StopBits"), "1");
    EXPECT_EQ(Kernel().parity, PCU_PARITY_NONE);
}

// Reset Printer of the main window on a Brakenholm printer: the printer object restores the
// factory setup and the operator hears the outcome.
TEST_F(BrakSend, ResetPrinterCommandRestoresTheSetupAndSaysSo) {
    MakePrinter(38);
    session.printer = std::move(printer);
    port->Answer("run \"setup w\"", "Ok\r\nOk\r\n");
    Desk desk(session, prompt);
    EXPECT_TRUE(ResetPrinter(desk).ok());
    EXPECT_NE(port->Wire().find("run \"setup r rom:.setup.saved\""), std::string::npos);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().caption, "Notice");
    EXPECT_EQ(prompt.shown.back().text,
              "Your printer has been successfully reset to its default state.");

    MakePrinter(26);  // keeps no factory setup
    session.printer = std::move(printer);
    EXPECT_EQ(ResetPrinter(desk).status, OpStatus::NotSupported);
    EXPECT_EQ(port->Wire(), "");
    EXPECT_EQ(prompt.shown.back().caption, "Warning");
}

}  // namespace
}  // namespace tarvo::app
