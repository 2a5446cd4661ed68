// The Port Settings page against a simulated printer: the printer and the program move to a new
// line together, or the program stays where the printer answers; afterwards the program asks who
// answers, and offers to load only when no edit would be lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "desk/startup.h"
#include "lanmere/com_pages.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/base/port_names.h"
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
    // Chooses 38400 baud, no parity, 8 data bits and the Standard protocol, then OK; a load
    // offered after the move is accepted.
    enum class After { Nothing, LoadOffered, PrinterPageEdited };
    int ChooseFastLineAndAccept(After after) {
        const bool alsoEditThePrinterPage = after == After::PrinterPageEdited;
        CComSheet sheet(desk);
        sheet.Load();
        if (alsoEditThePrinterPage)
            sheet.pages()[0]->SetValue("media", 1);
        PageModel& port = *sheet.pages()[1];
        const auto& rates = port.field("rate").choices;
        port.Choose("rate", static_cast<int>(std::find(rates.begin(), rates.end(), "38400") -
                                             rates.begin()));
        port.Choose("parity", 2);
        port.Choose("data", 1);
        port.Choose("protocol", 1);
        prompt.ExpectQuestion("Update printer with new communication parameters now?",
                              PromptAnswer::Yes);
        if (after == After::LoadOffered)
            prompt.ExpectQuestion("Load data from attached printer", PromptAnswer::Ok);
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

// Another name for the device the printer's line is on, so that the page sees another device.
std::string OtherNameOfTheDevice(const std::string& root) {
    const std::string link = root + "/printer-link";
    std::filesystem::create_symlink(ReadSetting(PortDeviceKey(PCU_PORT_COM1), ""), link);
    return link;
}

TEST_F(ComPagesOnAPrinter, ThePrinterAndTheProgramMoveTogether) {
    Start();
    ASSERT_EQ(ChooseFastLineAndAccept(After::LoadOffered), -1);
    EXPECT_TRUE(Heard("\x0fP5,0,1,2,0"));
    EXPECT_EQ(printer->line().baud, 38400u);
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "38400");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "Standard");
    EXPECT_EQ(session.baud, 38400);
    EXPECT_EQ(session.parity, PCU_PARITY_NONE);
    EXPECT_EQ(PCUPing(desk.ctx()), 1);
    EXPECT_TRUE(prompt.Notices().empty());
    EXPECT_TRUE(session.flags.online);
}

TEST_F(ComPagesOnAPrinter, AnEditOfTheSameOkSurvivesTheMoveAndNoLoadIsOffered) {
    Start();
    ASSERT_EQ(desk.config.values[22], 0);
    ASSERT_EQ(ChooseFastLineAndAccept(After::PrinterPageEdited), -1);
    EXPECT_EQ(printer->line().baud, 38400u);
    EXPECT_EQ(desk.config.values[22], 1);
    EXPECT_TRUE(session.flags.modified);
    EXPECT_TRUE(session.flags.identified);
}

// The printer behind another device is asked who it is: its exact name, not the first table
// name found in its answer (a 6220E is no 6220).
TEST_F(ComPagesOnAPrinter, AnotherDeviceIsAskedWhoItIs) {
    sim::Options o;
    o.model = 18;  // 6220E
    startPrinter(o);
    ASSERT_TRUE(InitializeSession(desk));
    session.model = 6;
    session.modelName = "6220";
    CComSheet sheet(desk);
    sheet.Load();
    sheet.pages()[1]->SetText("device", OtherNameOfTheDevice(env.root()));
    prompt.ExpectQuestion("Load data from attached printer", PromptAnswer::Cancel);
    ASSERT_EQ(sheet.Accept(prompt), -1);
    EXPECT_EQ(session.modelName, "6220E");
    EXPECT_EQ(session.model, 18);
    EXPECT_EQ(ReadSetting(setting::kPrinter, "?"), "6220E");
}

// A device that answers with a program number no table knows: OK takes DEFAULT, Cancel works
// offline with the model as it was.
TEST_F(ComPagesOnAPrinter, AnUnrecognizedPrinterGivesDefaultOrOffline) {
    for (const PromptAnswer answer : {PromptAnswer::Ok, PromptAnswer::Cancel}) {
        Start();
        sim::Options unknown;
        unknown.model = 6;
        unknown.programNumber = "999999";
        startPrinter(unknown);
        CComSheet sheet(desk);
        sheet.Load();
        std::filesystem::remove(env.root() + "/printer-link");
        sheet.pages()[1]->SetText("device", OtherNameOfTheDevice(env.root()));
        prompt.ExpectQuestion("Unrecognized printer. Do you wish to use the default settings?",
                              answer);
        ASSERT_EQ(sheet.Accept(prompt), -1);
        const bool ok = answer == PromptAnswer::Ok;
        EXPECT_EQ(session.modelName, ok ? "DEFAULT" : "6220");
        EXPECT_EQ(session.flags.online, ok);
        EXPECT_FALSE(session.flags.identified);
    }
}

TEST_F(ComPagesOnAPrinter, APrinterThatFallsSilentLeavesTheProgramOnTheOldLine) {
    sim::Faults silent;
    silent.silentAfterMessage = "\x0fP5,0,1,2,0";
    Start(silent);
    ASSERT_EQ(ChooseFastLineAndAccept(After::Nothing), -1);
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
