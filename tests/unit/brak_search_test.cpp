// The search for a Brakenholm printer: the order of trials, the cancel check before each, what
// a found printer writes to the settings, and the kernel's auto-connect callback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/brak_fixture.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

struct RecordingObserver final : SearchObserver {
    void Trial(const commState& t) override {
        const char parity = t.parity == PCU_PARITY_MARK ? 'm' : 'n';
        trials.push_back(std::to_string(t.baud) + "," + parity + "," + std::to_string(t.dataBits) +
                         "," + std::to_string(t.stopBits));
    }
    void Found(const commState& f) override { found.push_back(f); }
    void NotFound() override { ++notFound; }
    bool CancelRequested() override { return ++asked > cancelAfter; }

    std::vector<std::string> trials;
    std::vector<commState> found;
    int notFound = 0;
    int asked = 0;
    int cancelAfter = 1 << 30;
};

const std::string kListing =
    "SER-COM,UART1,BAUDRATE,57600\r\n"
    "SER-COM,UART1,CHAR LENGTH,7\r\n"
    "SER-COM,UART1,PARITY,EVEN\r\n"
    "SER-COM,UART1,STOPBITS,2\r\n"
    "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,DISABLE\r\n"
    "MEDIA,MEDIA TYPE,TICKET (w MARK)\r\n";

class BrakSearch : public test::BrakTest {
  protected:
    void SetUp() override {
        session.port = PCU_PORT_COM2;
        MakePrinter(40);
    }
};

TEST_F(BrakSearch, EveryRateAndFormatFourTimesOver) {
    RecordingObserver observer;
    const OpResult r = printer->SearchPrinter(observer);
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    ASSERT_EQ(observer.trials.size(), 80u);
    const std::vector<std::string> firstPass(observer.trials.begin(), observer.trials.begin() + 20);
    EXPECT_EQ(firstPass.front(), "9600,m,8,2");
    EXPECT_EQ(firstPass[1], "9600,n,8,2");
    EXPECT_EQ(firstPass[4], "19200,m,8,2");
    EXPECT_EQ(firstPass.back(), "115200,n,7,1");
    EXPECT_EQ(std::vector<std::string>(observer.trials.begin() + 60, observer.trials.end()),
              firstPass);
    EXPECT_EQ(observer.notFound, 1);
    EXPECT_TRUE(observer.found.empty());
    EXPECT_TRUE(port->Wire().starts_with(
        "[open 9600,m,8,2]<DC1>SYSVAR(18)=3<CR><LF>[read][close][open 9600,n,8,2]"))
        << port->Wire().substr(0, 120);
    EXPECT_FALSE(session.scriptReply);
}

TEST_F(BrakSearch, CancelIsAskedBeforeEveryTrial) {
    RecordingObserver observer;
    observer.cancelAfter = 3;
    EXPECT_EQ(printer->SearchPrinter(observer).status, OpStatus::Cancelled);
    EXPECT_EQ(observer.trials.size(), 3u);
    EXPECT_EQ(port->opens, 3);
    EXPECT_EQ(observer.notFound, 0) << "a cancelled search reports nothing further";
    EXPECT_TRUE(session.flags.searchStopped);

    RecordingObserver atOnce;
    atOnce.cancelAfter = 0;
    port->ClearRecord();
    EXPECT_EQ(printer->SearchPrinter(atOnce).status, OpStatus::Cancelled);
    EXPECT_EQ(port->Wire(), "");
}

TEST_F(BrakSearch, FoundPrinterWritesItsSettingsAndTheSessionFollows) {
    port->Answer("SYSVAR(18)=3", "\xcfk\r\n", "57600,n,7,2");  // "OK" once bit 7 goes
    port->Answer("SETUP WRITE \"UART1:\"", kListing, "57600,n,7,2");
    RecordingObserver observer;
    const OpResult r = printer->SearchPrinter(observer);
    EXPECT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(observer.trials.size(), 15u);
    EXPECT_EQ(observer.trials.back(), "57600,n,7,2");
    EXPECT_NE(port->Wire().find("[open 57600,n,7,2]<DC1>SYSVAR(18)=3<CR><LF>[read]"
                                "<DC1>SETUP WRITE \"UART1:\"<CR><LF><DC1>[read][close]"),
              std::string::npos);
    EXPECT_EQ(Profile("Family"), "Brakenholm");
    EXPECT_EQ(Profile("Port"), "COM2");
    EXPECT_EQ(Profile("Baud"), "57600");
    EXPECT_EQ(Profile("Parity"), "Even");
    EXPECT_EQ(Profile("DataBits"), "7");
    EXPECT_EQ(Profile("StopBits"), "2");
    EXPECT_EQ(Profile("Protocol"), "RTS/CTS");
    EXPECT_TRUE(session.scriptReply);
    EXPECT_EQ(session.baud, 57600);
    EXPECT_EQ(session.protocol, PCU_PROTOCOL_RTSCTS);
    ASSERT_EQ(observer.found.size(), 1u);
    EXPECT_EQ(observer.found[0].baud, 57600);
    EXPECT_EQ(observer.found[0].port, PCU_PORT_COM2);
    EXPECT_EQ(printer->GetSetup().mediaType, 1) << "the listing keeps its case";
}

TEST_F(BrakSearch, OkWithoutAListingIsNotAPrinter) {
    port->Answer("SYSVAR(18)=3", "OK\r\n", "9600,m,8,2");
    port->Answer("SETUP WRITE \"UART1:\"", "OK\r\nnothing useful\r\n", "9600,m,8,2");
    RecordingObserver observer;
    EXPECT_EQ(printer->SearchPrinter(observer).status, OpStatus::NoAnswer);
    EXPECT_EQ(Profile("Baud"), "");
}

TEST_F(BrakSearch, KernelAutoConnectMessagesReachTheObserver) {
    RecordingObserver observer;
    observer.cancelAfter = 1;
    const PCUNotify notify = MakeKernelNotify(observer);
    commState trial{};
    trial.baud = 19200;
    trial.parity = PCU_PARITY_NONE;
    trial.dataBits = 8;
    trial.stopBits = 1;
    notify.notify(notify.user, PCU_MSG_AUTOCONNECT_TRIAL, 0, &trial);
    EXPECT_EQ(trial.cancelRequest, 0);
    notify.notify(notify.user, PCU_MSG_AUTOCONNECT_TRIAL, 0, &trial);
    EXPECT_NE(trial.cancelRequest, 0) << "the cancel request goes back through the trial";
    notify.notify(notify.user, PCU_MSG_AUTOCONNECT_FOUND, 0, &trial);
    notify.notify(notify.user, PCU_MSG_AUTOCONNECT_NONE, 0, nullptr);
    notify.notify(notify.user, PCU_MSG_AUTOCONNECT_TRIAL, 0, nullptr);
    EXPECT_EQ(observer.trials, (std::vector<std::string>{"19200,n,8,1", "19200,n,8,1"}));
    EXPECT_EQ(observer.found.size(), 1u);
    EXPECT_EQ(observer.notFound, 1);
}

}  // namespace
}  // namespace tarvo::app
