// The reboot: what goes on the wire, the bounded waits for DSR and for "ok", the operator's
// Cancel, and a printer whose DSR says it is not ready. Waits are counted, not spent.
#include <gtest/gtest.h>

#include <string>

#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

using Reply = test::FakeScriptPort::Reply;

constexpr const char* kRebootSent = "[open][slow]reboot<CR>[close]";
constexpr const char* kPoll = "[open][slow]SYSVAR(18)=2<CR>[wait 250][read][close]";

class BrakReboot : public test::BrakTest {
  protected:
    void SetUp() override { MakePrinter(40); }

    // DSR off from the reboot until `backAtMs` of waiting, on before and after.
    void DsrDropsUntil(int backAtMs) {
        dsrOffUntil_ = backAtMs;
        printer = std::make_unique<CBrakPrinter>(session, prompt, 40, TakePort(), WithDsr());
    }

    // Waiting time spent so far.
    int waited() const { return port->totalWaitMs; }

  private:
    std::unique_ptr<ScriptPort> TakePort() {
        auto fake = std::make_unique<test::FakeScriptPort>();
        port = fake.get();
        return fake;
    }
    BrakPrinterOptions WithDsr() {
        BrakPrinterOptions options;
        options.rebootPolls = 24;
        options.readDsr = [this]() -> std::optional<bool> {
            const bool rebooting = port->Lines().size() > 0 && waited() < dsrOffUntil_;
            return !rebooting;
        };
        return options;
    }
    int dsrOffUntil_ = 0;
};

TEST_F(BrakReboot, OnAPseudoTerminalTheOkPollAloneEndsTheReboot) {
    port->Answer("SYSVAR(18)=2", "Ok\r\n");
    EXPECT_TRUE(printer->Reboot().ok());
    EXPECT_EQ(port->Wire(), std::string(kRebootSent) + "[wait 10000][wait 5000]" + kPoll);
}

TEST_F(BrakReboot, TwelveSecondsOfSilenceThenOkCompletes) {
    DsrDropsUntil(12000);
    port->Answer("SYSVAR(18)=2", "Ok\r\n");
    EXPECT_TRUE(printer->Reboot().ok());
    // DSR is asked every 100 ms while it is off, then the prescribed waits follow.
    EXPECT_EQ(waited(), 12000 + 10000 + 5000 + 250);
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{"reboot", "SYSVAR(18)=2"}));
}

TEST_F(BrakReboot, EndlessSilenceEndsInTheBoundedMessage) {
    port->Answer("SYSVAR(18)=2", "");
    const OpResult r = printer->Reboot();
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    EXPECT_EQ(r.detail, "Printer did not answer after reboot");
    EXPECT_EQ(waited(), 10000 + 3 * (5000 + 250)) << "three polls in the tests";

    DsrDropsUntil(1000000);
    const OpResult noDsr = printer->Reboot();
    EXPECT_EQ(noDsr.detail, "Printer did not answer after reboot");
    EXPECT_EQ(waited(), 30000) << "DSR is waited for 30 s";
    EXPECT_EQ(port->Commands(), std::vector<std::string>{"reboot"}) << "no poll without DSR";
}

TEST_F(BrakReboot, CancelEndsTheWaitWithinASlice) {
    port->Answer("SYSVAR(18)=2", "");
    RebootControl control;
    control.cancelled = [this] { return waited() >= 7000; };
    const OpResult r = printer->Reboot(control);
    EXPECT_EQ(r.status, OpStatus::Cancelled);
    EXPECT_EQ(waited(), 7000);
    EXPECT_EQ(port->Commands(), std::vector<std::string>{"reboot"});
}

TEST_F(BrakReboot, DsrKnownOffSendsNothing) {
    BrakPrinterOptions options;
    options.readDsr = [] { return std::optional<bool>(false); };
    auto fake = std::make_unique<test::FakeScriptPort>();
    port = fake.get();
    CBrakPrinter offline(session, prompt, 40, std::move(fake), options);
    const OpResult r = offline.Reboot();
    EXPECT_EQ(r.status, OpStatus::Refused);
    EXPECT_NE(r.detail.find("not ready"), std::string::npos) << r.detail;
    EXPECT_EQ(port->Wire(), "");
}

TEST_F(BrakReboot, AKindChangeSkipsThePoll) {
    EXPECT_TRUE(printer->Reboot(RebootControl{false, {}}).ok());
    EXPECT_EQ(port->Wire(), kRebootSent);
}

}  // namespace
}  // namespace tarvo::app
