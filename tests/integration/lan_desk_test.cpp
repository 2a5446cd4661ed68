// The desktop core's start-up and main commands against a simulated Lanmere printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/lan_strings.h"
#include "desk/printer_commands.h"
#include "desk/startup.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/context.h"
#include "tarvo/services.h"

namespace tarvo::app {
namespace {

using test::ScriptedPrompt;

class LanDesk : public test::SimTest {
  protected:
    // Starts the 6220E and runs the start-up sequence against it.
    void StartIdentified(const sim::Options& options = {}) {
        startPrinter(options);
        ASSERT_TRUE(InitializeSession(desk));
        ASSERT_TRUE(session.flags.identified);
    }

    std::string Path(const std::string& name) const { return env.root() + "/" + name; }

    static FileChoice Chosen(const std::string& path) {
        return {FileChoice::Outcome::Chosen, path};
    }

    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(LanDesk, StartUpWithoutAPrinterEndsOnDefault) {
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    env.setProfile("Printer", "6220E");
    env.setProfile("Baud", "115200");
    prompt.ExpectQuestion("could not communicate", PromptAnswer::Retry);
    prompt.ExpectQuestion("could not communicate", PromptAnswer::Cancel);
    ASSERT_TRUE(InitializeSession(desk));
    EXPECT_EQ(session.model, PROP_DEFAULT_MODEL);
    EXPECT_EQ(session.modelName, "DEFAULT");
    EXPECT_EQ(session.firmwareVersion, "Unavailable");
    EXPECT_FALSE(session.flags.identified);
    EXPECT_FALSE(session.flags.online);
    EXPECT_TRUE(session.flags.configNotRetrieved);
    for (int i = 0; i < PROP_SETTING_COUNT; ++i) {
        int def = 0;
        propGetCfgDefault(PROP_DEFAULT_MODEL, i, &def);
        EXPECT_EQ(desk.config.values[static_cast<std::size_t>(i)], def) << i;
    }
    const auto notices = prompt.Notices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back(), text::StringText(text::kUsingDefaults));
    EXPECT_EQ(prompt.shown.back().caption, "Notice");
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Information);
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "115200") << "no baud rule for DEFAULT";
    EXPECT_EQ(prompt.statuses.back(), "For Help, press F1");
    EXPECT_EQ(prompt.busyDepth, 0);

    // Load from Printer with nothing attached: 61214 and nothing changes.
    const auto values = desk.config.values;
    prompt.ExpectQuestion("Load data from attached printer", PromptAnswer::Ok);
    EXPECT_EQ(LoadFromPrinter(desk).status, OpStatus::NoAnswer);
    EXPECT_EQ(prompt.Notices().back(), text::StringText(text::kLoadFailed));
    EXPECT_EQ(desk.config.values, values);
    EXPECT_TRUE(session.flags.configNotRetrieved);
}

TEST_F(LanDesk, IdentificationLoadsThePrintersConfiguration) {
    startPrinter();
    ASSERT_TRUE(printer->setConfigValue(28, '#'));
    env.setProfile("Preamble", "");
    ASSERT_TRUE(InitializeSession(desk));
    EXPECT_EQ(session.model, 18);
    EXPECT_EQ(session.modelName, "6220E");
    EXPECT_EQ(session.firmwareVersion, "1.13");
    EXPECT_TRUE(session.flags.identified);
    EXPECT_TRUE(session.flags.online);
    EXPECT_FALSE(session.flags.configNotRetrieved);
    EXPECT_FALSE(session.printer->IsScriptFamily());
    EXPECT_EQ(ReadSetting(setting::kPrinter, "?"), "6220E");
    EXPECT_TRUE(prompt.Notices().empty());
    // The printer's values (less those the kernel derives from memory figures), with the emulation
    // in the program's order and the preamble from the settings.
    for (int i = 3; i < PROP_SETTING_COUNT; ++i) {
        const auto v = printer->configValue(i);
        if (v && i != 6 && i != 7 && i != 8 && i != 28 && i != 29 && i != 42)
            EXPECT_EQ(desk.config.values[static_cast<std::size_t>(i)], *v) << i;
    }
    EXPECT_EQ(desk.config.values[2], EmulationFromKernel(*printer->configValue(2)));
    EXPECT_EQ(desk.config.values[28], 0);
}

TEST_F(LanDesk, SendLoadSaveOpenRoundTrip) {
    StartIdentified();
    int index = -1;
    int changed = 0;
    for (int i = 9; i <= 27 && index < 0; ++i) {
        int lo = 0;
        int hi = 0;
        if (propGetCfgDataType(18, i) == PROP_KIND_RANGE && propGetCfgSetting(18, i, &lo, &hi) &&
            hi > lo && printer->configValue(i)) {
            index = i;
            changed = *printer->configValue(i) == lo ? lo + 1 : lo;
        }
    }
    ASSERT_GE(index, 0);
    const auto i = static_cast<std::size_t>(index);
    desk.config.values[i] = changed;
    session.flags.modified = true;

    prompt.ExpectQuestion("Send current updates to attached printer?", PromptAnswer::Ok);
    const OpResult sent = SendToPrinter(desk);
    ASSERT_TRUE(sent.ok()) << Describe(sent);
    EXPECT_EQ(printer->configValue(index), changed);
    EXPECT_FALSE(session.flags.modified);
    EXPECT_EQ(desk.config.values[i], changed) << "read back from the printer";
    EXPECT_EQ(desk.config.values[0], 18);

    prompt.ExpectQuestion("Load data from attached printer", PromptAnswer::Ok);
    ASSERT_TRUE(LoadFromPrinter(desk).ok());
    EXPECT_EQ(desk.config.values[i], changed);
    const auto loaded = desk.config.values;

    // Save under another extension: 61218 and the chooser again.
    prompt.ExpectSaveFile(Chosen(Path("cfg.txt")));
    prompt.ExpectSaveFile(Chosen(Path("cfg.tcf")));
    ASSERT_TRUE(SaveConfigAs(desk).ok());
    EXPECT_EQ(prompt.Notices().back(), text::StringText(text::kSaveExtension));
    EXPECT_FALSE(std::filesystem::exists(Path("cfg.txt")));
    const std::string saved = test::ReadFile(Path("cfg.tcf"));
    EXPECT_EQ(saved.rfind("<ETX>6220E,1.13", 0), 0u) << saved.substr(0, 200);
    ASSERT_EQ(prompt.fileRequests.size(), 2u);
    EXPECT_EQ(prompt.fileRequests[0].filter, " Tarvo Config (*.tcf)|*.tcf||");
    EXPECT_TRUE(prompt.fileRequests[0].confirmOverwrite);

    // Change the values, then open the file: another extension brings the chooser back with
    // no message, and the file's values come back.
    desk.config.values[i] = changed == 0 ? 1 : 0;
    const std::size_t noticesBefore = prompt.Notices().size();
    std::ofstream(Path("cfg.TXT")) << "whatever";
    prompt.ExpectOpenFile(Chosen(Path("cfg.TXT")));
    prompt.ExpectOpenFile(Chosen(Path("cfg.tcf")));
    ASSERT_TRUE(OpenConfigFile(desk).ok());
    EXPECT_EQ(prompt.Notices().size(), noticesBefore);
    EXPECT_EQ(desk.config.values[i], loaded[i]);
    EXPECT_EQ(session.model, 18);
    EXPECT_EQ(session.firmwareVersion, "1.13");

    // Sending what was opened puts the same value in the printer.
    ASSERT_TRUE(printer->setConfigValue(index, changed == 0 ? 1 : 0));
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    ASSERT_TRUE(SendToPrinter(desk).ok());
    EXPECT_EQ(printer->configValue(index), changed);
}

TEST_F(LanDesk, ADamagedConfigFileChangesNothing) {
    StartIdentified();
    const auto values = desk.config.values;
    std::ofstream(Path("bad.tcf")) << "\x03"
                                   << "NoSuchModel,1.0\r\n<STX>R<ETX>\r\n";
    prompt.ExpectOpenFile(Chosen(Path("bad.tcf")));
    prompt.ExpectOpenFile({FileChoice::Outcome::Cancelled, {}});
    EXPECT_EQ(OpenConfigFile(desk).status, OpStatus::Cancelled);
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_EQ(prompt.shown.back().caption, "Warning");
    EXPECT_EQ(desk.config.values, values);
    EXPECT_EQ(session.model, 18);

    // The kernel context still holds the session's values: saving writes them.
    prompt.ExpectSaveFile(Chosen(Path("after.tcf")));
    ASSERT_TRUE(SaveConfigAs(desk).ok());
    EXPECT_NE(test::ReadFile(Path("after.tcf")).find("6220E"), std::string::npos);

    // A failing chooser is reported.
    prompt.ExpectOpenFile({FileChoice::Outcome::Failed, {}});
    EXPECT_EQ(OpenConfigFile(desk).status, OpStatus::Failed);
    EXPECT_EQ(prompt.Notices().back(), "Unable to access Open File dialog box");
}

TEST_F(LanDesk, APrinterThatLowersTheImageBandRequestIsReported) {
    sim::Options options;
    options.imageBandLimit = 4;
    StartIdentified(options);
    desk.config.values[5] = 8;
    session.flags.modified = true;
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    ASSERT_TRUE(SendToPrinter(desk).ok());
    ASSERT_FALSE(prompt.Notices().empty());
    EXPECT_EQ(prompt.Notices().back(),
              "Printer memory constraints -- image band request changed from 8 to 4.");
    EXPECT_EQ(desk.config.values[5], 4) << "the program shows what the printer took";
    EXPECT_EQ(printer->configValue(5), 4);

    // A request the printer can hold is taken without a word.
    desk.config.values[5] = 3;
    const std::size_t notices = prompt.Notices().size();
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    ASSERT_TRUE(SendToPrinter(desk).ok());
    EXPECT_EQ(prompt.Notices().size(), notices);
}

TEST_F(LanDesk, SendAfterSetToDefaultAsksTheOtherQuestion) {
    StartIdentified();
    prompt.ExpectQuestion("Set configuration data to the default state", PromptAnswer::Ok);
    ASSERT_TRUE(SetToDefault(desk).ok());
    EXPECT_TRUE(session.flags.configNotRetrieved);
    EXPECT_EQ(prompt.shown.back().defaultAnswer, PromptAnswer::Cancel);
    printer->clearTranscript();
    prompt.ExpectQuestion(text::StringText(text::kAskSendNotRetrieved), PromptAnswer::Cancel);
    EXPECT_EQ(SendToPrinter(desk).status, OpStatus::Cancelled);
    EXPECT_TRUE(printer->receivedMessages().empty()) << "nothing sent after Cancel";
    EXPECT_EQ(prompt.shown.back().caption, "Tarvo");
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Question);
}

TEST_F(LanDesk, APrinterThatDisappearsBeforeSendLosesNothing) {
    StartIdentified();
    session.flags.modified = true;
    const auto values = desk.config.values;
    printer->stop();
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    EXPECT_EQ(SendToPrinter(desk).status, OpStatus::NoAnswer);
    EXPECT_EQ(prompt.Notices().back(), text::StringText(text::kSendFailed));
    EXPECT_TRUE(session.flags.modified);
    EXPECT_EQ(desk.config.values, values);

    // The exit question's Send keeps the program open when the send failed.
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    EXPECT_FALSE(MayClose(desk, [] { return ExitChoice::SendToPrinter; }));
    prompt.ExpectSaveFile({FileChoice::Outcome::Cancelled, {}});
    EXPECT_FALSE(MayClose(desk, [] { return ExitChoice::SaveToFile; }));
    EXPECT_TRUE(MayClose(desk, [] { return ExitChoice::ExitOnly; }));
}

TEST_F(LanDesk, SelectPrinterAppliesTheCommunicationDefaults) {
    StartIdentified();
    // "Manual" line settings: only the stored rate is held to the new model.
    env.setProfile("Baud", "57600");
    prompt.ExpectQuestion("You have selected an Quorvane model 5200C/D", PromptAnswer::Yes);
    ASSERT_TRUE(SelectPrinter(desk, 2, true).ok());
    EXPECT_EQ(prompt.Notices().back(), Format(text::StringText(text::kBaudChanged), "57600"));
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "9600");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "XON/XOFF") << "the rest is left alone";
    EXPECT_EQ(session.baud, 9600);

    // "Set to Printer Default": the model's default line replaces the stored one.
    env.setProfile("DefaultEnabled", "ON");
    env.setProfile("Port", "COM3");
    env.setProfile("Baud", "19200");
    env.setProfile("Parity", "None");
    env.setProfile("DataBits", "8");
    const std::size_t notices = prompt.Notices().size();
    prompt.ExpectQuestion("You have selected an Quorvane model 5200C/D", PromptAnswer::Yes);
    ASSERT_TRUE(SelectPrinter(desk, 2, false).ok());
    EXPECT_EQ(ReadSetting(setting::kPort, "?"), "COM1");
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "9600");
    EXPECT_EQ(ReadSetting(setting::kParity, "?"), "Even");
    EXPECT_EQ(ReadSetting(setting::kDataBits, "?"), "7");
    EXPECT_EQ(ReadSetting(setting::kStopBits, "?"), "1");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "Standard");
    EXPECT_EQ(session.port, PCU_PORT_COM1);
    EXPECT_TRUE(session.standardProtocol());
    commState comm{};
    PCUGetCommState(desk.ctx(), &comm);
    EXPECT_EQ(comm.protocol, PCU_PROTOCOL_STANDARD) << "the kernel's line follows";
    EXPECT_EQ(prompt.Notices().size(), notices);
}

TEST_F(LanDesk, SelectPrinterKeepsOrResetsTheValues) {
    StartIdentified();
    // The attached 6220E is another model than the chosen 5200C/D: No changes nothing.
    prompt.ExpectQuestion("You have selected an Quorvane model 5200C/D", PromptAnswer::No);
    EXPECT_EQ(SelectPrinter(desk, 2, true).status, OpStatus::Cancelled);
    EXPECT_EQ(session.model, 18);
    EXPECT_TRUE(session.flags.online);

    int mask = 0;
    propGetCfgSetting(2, 3, &mask, nullptr);
    desk.config.values[3] = 120;  // above anything the 5200C/D allows
    prompt.ExpectQuestion("connected to an Quorvane model 6220E", PromptAnswer::Yes);
    ASSERT_TRUE(SelectPrinter(desk, 2, true).ok());
    EXPECT_EQ(session.model, 2);
    EXPECT_EQ(ReadSetting(setting::kPrinter, "?"), "5200C/D");
    EXPECT_EQ(ReadSetting(setting::kFamily, "?"), "Lanmere");
    int top = 0;
    for (int step = 20; step >= 0; --step) {
        if ((mask >> step) & 1) {
            top = 20 + 5 * step;
            break;
        }
    }
    EXPECT_EQ(desk.config.values[3], top);

    // DEFAULT never asks the printer; Reset to default takes the model's defaults.
    printer->clearTranscript();
    ASSERT_TRUE(SelectPrinter(desk, PROP_DEFAULT_MODEL, false).ok());
    EXPECT_TRUE(printer->receivedMessages().empty());
    EXPECT_TRUE(session.flags.configNotRetrieved);
    int def = 0;
    propGetCfgDefault(PROP_DEFAULT_MODEL, 3, &def);
    EXPECT_EQ(desk.config.values[3], def);
    EXPECT_EQ(SelectPrinter(desk, 41, false).status, OpStatus::Refused);
}

TEST_F(LanDesk, ResetPrinterComesBackOrGivesUpAfterSixtySeconds) {
    StartIdentified();
    ASSERT_TRUE(ResetPrinter(desk).ok());
    EXPECT_EQ(prompt.Notices().back(),
              "Your printer has been successfully reset to its default state.");

    // Reset, and the printer never answers again: the poll ends after 60 s of ticks.
    sim::Faults faults;
    ASSERT_EQ(PCUResetPrinter(desk.ctx()), PCU_OK);
    faults.silent = true;
    printer->setFaults(faults);
    ResetPoll poll(desk);
    int ticks = 0;
    while (poll.Tick() == ResetPoll::State::Waiting)
        ASSERT_LT(++ticks, 1000);
    EXPECT_EQ(ticks + 1, ResetPoll::kLimitMs / ResetPoll::kTickMs);
    EXPECT_EQ(poll.state(), ResetPoll::State::GaveUp);
    EXPECT_EQ(prompt.Notices().back(), "Could not connect to printer after reset.");
    EXPECT_EQ(poll.Tick(), ResetPoll::State::GaveUp) << "a finished poll stays finished";

    // With the printer silent the reset itself fails with 61327.
    EXPECT_EQ(ResetPrinter(desk).status, OpStatus::Failed);
    EXPECT_EQ(prompt.Notices().back(), text::StringText(text::kResetFailed));
}

}  // namespace
}  // namespace tarvo::app
