// The Port Settings page against a simulated 6220: the printer and the program move to a new
// line together, or the program stays where the printer answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "desk/startup.h"
#include "lanmere/com_pages.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/session.h"

namespace tarvo::app::lanmere {
namespace {

class ComPagesOnAPrinter : public test::SimTest {
  protected:
    void Start(const sim::Faults& faults = {}) {
        sim::Options o;
        o.model = 6;  // 6220
        o.faults = faults;
        startPrinter(o);
        ASSERT_TRUE(InitializeSession(desk));
    }
    // Chooses 38400 baud, no parity, 8 data bits and the Standard protocol, then OK.
    int ChooseFastLineAndAccept() {
        CComSheet sheet(desk);
        sheet.Load();
        PageModel& port = *sheet.pages()[1];
        const auto& rates = port.field("rate").choices;
        port.Choose("rate", static_cast<int>(std::find(rates.begin(), rates.end(), "38400") -
                                             rates.begin()));
        port.Choose("parity", 2);
        port.Choose("data", 1);
        port.Choose("protocol", 1);
        prompt.ExpectQuestion("Update printer with new communication parameters now?",
                              PromptAnswer::Yes);
        return sheet.Accept(prompt);
    }
    bool Heard(const std::string& message) const {
        const auto all = printer->receivedMessages();
        return std::find(all.begin(), all.end(), message) != all.end();
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(ComPagesOnAPrinter, ThePrinterAndTheProgramMoveTogether) {
    Start();
    ASSERT_EQ(ChooseFastLineAndAccept(), -1);
    EXPECT_TRUE(Heard("\x0fP5,0,1,2,0"));
    EXPECT_EQ(printer->line().baud, 38400u);
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "38400");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "Standard");
    EXPECT_EQ(session.baud, 38400);
    EXPECT_EQ(session.parity, PCU_PARITY_NONE);
    EXPECT_EQ(PCUPing(desk.ctx()), 1);
    EXPECT_TRUE(prompt.Notices().empty());
}

TEST_F(ComPagesOnAPrinter, APrinterThatFallsSilentLeavesTheProgramOnTheOldLine) {
    sim::Faults silent;
    silent.silentAfterMessage = "\x0fP5,0,1,2,0";
    Start(silent);
    ASSERT_EQ(ChooseFastLineAndAccept(), -1);
    ASSERT_FALSE(prompt.Notices().empty());
    EXPECT_NE(prompt.Notices().back().find("The printer did not answer on COM1 38400 baud"),
              std::string::npos)
        << prompt.Notices().back();
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "9600");
    EXPECT_EQ(session.baud, 9600);
    EXPECT_EQ(session.parity, PCU_PARITY_EVEN);
}

}  // namespace
}  // namespace tarvo::app::lanmere
