// CBrakPrinter over the kernel's raw port against the simulated Tallyscript printer, for what
// the simulator answers today: the verbosity switch and PRINT VERSION$(n). Everything else it
// hears in silence, which exercises the roads of a printer that does not answer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "brakenholm/brak_printer.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

class BrakSimTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;  // TQ8e
        o.firmware = "V7.12.3";
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        BrakPrinterOptions options;
        options.localTime = [] {
            std::tm t{};
            t.tm_year = 124;
            t.tm_mon = 0;
            t.tm_mday = 2;
            t.tm_hour = 3;
            t.tm_min = 4;
            t.tm_sec = 5;
            return t;
        };
        brak = std::make_unique<CBrakPrinter>(session, prompt, 40, MakeRawScriptPort(ctx), options);
    }
    void TearDown() override {
        brak.reset();
        SimTest::TearDown();
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CBrakPrinter> brak;
};

TEST_F(BrakSimTest, SetupLineReachesThePrinterAfterItsPause) {
    const auto before = clock->elapsed();
    EXPECT_TRUE(brak->SendSetupLine("SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"").ok());
    EXPECT_EQ(test::HostSent(*printer), "SYSVAR(18)=0<CR>SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"<CR>");
    EXPECT_EQ(printer->receivedMessages(),
              (std::vector<std::string>{"SYSVAR(18)=0", "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\""}));
    EXPECT_GE(clock->elapsed() - before, std::chrono::milliseconds(200));
}

TEST_F(BrakSimTest, QueriesGetThePrintersAnswers) {
    EXPECT_EQ(brak->QueryLine("PRINT VERSION$(1)").text, "TQ8e\r\n");
    EXPECT_EQ(brak->QueryLine("PRINT VERSION$(0)").text, "V7.12.3\r\n");
    const QueryReply dots = brak->QueryLine("PRINT SYSVAR(21)");
    EXPECT_TRUE(dots.ok());
    EXPECT_EQ(dots.text, "8\r\n") << "print head dots per millimetre";
    EXPECT_FALSE(brak->WhoAmI());
}

TEST_F(BrakSimTest, IdentityWithABrokenClockSetsTheClock) {
    printer->setClockHardwareError(true);
    const OpResult r = brak->ReadPrinterIdentity();
    EXPECT_TRUE(r.ok()) << Describe(r);
    EXPECT_TRUE(session.scriptReply);
    EXPECT_EQ(brak->Identity().version1, "TQ8e");
    EXPECT_EQ(brak->Identity().version0, "V7.12.3");
    EXPECT_FALSE(brak->Identity().version2.empty());
    EXPECT_EQ(brak->Identity().printerDate, "20240102") << "a clock in error is set";
    const std::vector<std::string> heard = printer->receivedMessages();
    EXPECT_NE(std::find(heard.begin(), heard.end(), "DATE$=\"240102\""), heard.end());
    EXPECT_NE(std::find(heard.begin(), heard.end(), "TIME$=\"030405\""), heard.end());
    EXPECT_EQ(brak->GetSetup().width, 1216) << "the listing was read into the record";
}

TEST_F(BrakSimTest, WholeSetupAtThePrintersOwnLineSettings) {
    BrakSetup s;
    s.baud = 0;
    s.parity = 0;  // EVEN, as the printer's line runs
    s.charLength = 7;
    s.stopBits = 1;
    s.xonXoffFromHost = true;
    s.xonXoffToHost = true;
    s.newLine = 0;
    s.width = 1216;
    s.length = 1824;
    s.mediaType = 0;
    s.contrast = 5;
    brak->SetSetup(s);
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    const OpResult r = brak->SendAllSetup();
    EXPECT_TRUE(r.ok()) << Describe(r) << "\n" << printer->transcriptText();
    const std::vector<std::string> heard = printer->receivedMessages();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), "PRINT VERSION$(1)") << "the printer was asked whether it answers";
    const auto width =
        std::find(heard.begin(), heard.end(), "SETUP \"MEDIA,MEDIA SIZE,WIDTH,1216\"");
    const auto baud =
        std::find(heard.begin(), heard.end(), "SETUP \"SER-COM,UART1,BAUDRATE,9600\"");
    ASSERT_NE(width, heard.end());
    ASSERT_NE(baud, heard.end());
    EXPECT_LT(width, baud) << "line settings last";
}

TEST_F(BrakSimTest, SearchThatFindsNoAnswerTriesEverythingAndChangesNothing) {
    struct Count final : SearchObserver {
        void Trial(const commState&) override { ++trials; }
        void Found(const commState&) override { ++found; }
        void NotFound() override { ++notFound; }
        bool CancelRequested() override { return false; }
        int trials = 0, found = 0, notFound = 0;
    } observer;
    EXPECT_EQ(brak->SearchPrinter(observer).status, OpStatus::NoAnswer);
    EXPECT_EQ(observer.trials, 80);
    EXPECT_EQ(observer.notFound, 1);
    char baud[16];
    PCUGetProfileString(nullptr, "Baud", "", baud, sizeof baud, 0);
    EXPECT_STREQ(baud, "9600");
}

TEST_F(BrakSimTest, MissingDeviceFailsToOpen) {
    env.setProfile("Device.COM1", "none");
    EXPECT_EQ(brak->SendSetupLine("PRINT 1").status, TxStatus::OpenFailed);
    EXPECT_EQ(brak->QueryLine("PRINT 1").status, TxStatus::OpenFailed);
    EXPECT_EQ(brak->ReadSetupListing().status, TxStatus::OpenFailed);
}

}  // namespace
}  // namespace tarvo::app
