// The desktop core's rules that need no printer: first-run defaults, the baud rule, the value
// boundary, keeping values in a new model's domain, the command table and its enable rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "brakenholm/brak_printer.h"
#include "desk/command_table.h"
#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/printer_commands.h"
#include "desk/startup.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"

namespace tarvo::app {
namespace {

class LanRules : public ::testing::Test {
  protected:
    test::TestEnv env;
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(LanRules, FirstRunWritesEveryDefaultOnce) {
    std::filesystem::remove(env.profilePath());
    ASSERT_TRUE(WriteFirstRunDefaults(1));
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "Metric");
    EXPECT_EQ(ReadSetting(setting::kPort, "?"), "COM1");
    EXPECT_EQ(ReadSetting(setting::kPrinter, "?"), "DEFAULT");
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "9600");
    EXPECT_EQ(ReadSetting(setting::kParity, "?"), "Even");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "XON/XOFF");
    EXPECT_EQ(ReadSetting(setting::kFamily, "?"), "Lanmere");
    EXPECT_EQ(ReadSetting(setting::kDefaultEnabled, "?"), "OFF");
    EXPECT_EQ(ReadSetting(setting::kViewStartup, "?"), "1");
    EXPECT_EQ(ReadSetting(setting::kPreamble, "?"), "?") << "empty reads as the fallback";
    const std::string file = test::ReadFile(env.profilePath());
    EXPECT_NE(file.find("Settings=AutoDefault"), std::string::npos);
    EXPECT_NE(file.find("Language=English"), std::string::npos);

    WriteSetting(setting::kPort, "COM3");
    EXPECT_FALSE(WriteFirstRunDefaults(2)) << "an existing profile is left alone";
    EXPECT_EQ(ReadSetting(setting::kPort, "?"), "COM3");

    std::filesystem::remove(env.profilePath());
    ASSERT_TRUE(WriteFirstRunDefaults(2));
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "English");
    EXPECT_STREQ(MeasurementsDefault(1), "Metric");
    const int system = SystemMeasurementSystem();
    EXPECT_TRUE(system == 1 || system == 2);
}

TEST_F(LanRules, BaudRule) {
    EXPECT_TRUE(BaudAllowed(57600, 4));   // 5240
    EXPECT_FALSE(BaudAllowed(57600, 2));  // 5200C/D
    EXPECT_TRUE(BaudAllowed(38400, 2));
    EXPECT_FALSE(BaudAllowed(115200, 4));
    EXPECT_TRUE(BaudAllowed(115200, 18));  // 6220E
    EXPECT_TRUE(BaudAllowed(115200, 6));   // 6220
    EXPECT_FALSE(BaudAllowed(38400, 0));
    for (int model = 0; model < PROP_TABLE_MODELS; ++model)
        EXPECT_EQ(BaudAllowed(600, model), model >= 8 && model <= 11) << model;

    session.model = 2;
    WriteSetting(setting::kBaud, "57600");
    EXPECT_TRUE(EnforceBaudRule(desk));
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "9600");
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_EQ(prompt.Notices()[0],
              "Current baud setting: 57600\nis invalid for this printer --\nchanged to: 9600");
    EXPECT_FALSE(EnforceBaudRule(desk));
}

int TopSpeed(int model) {
    int mask = 0;
    propGetCfgSetting(model, 3, &mask, nullptr);
    for (int step = 20; step >= 0; --step) {
        if ((mask >> step) & 1)
            return 20 + 5 * step;
    }
    return 0;
}

TEST_F(LanRules, KeepingValuesReplacesWhatTheNewModelCannotTake) {
    // Two models where the second's top speed is below the first's.
    int fast = -1;
    int slow = -1;
    for (int a = 0; a < PROP_DEFAULT_MODEL && fast < 0; ++a) {
        for (int b = 0; b < PROP_DEFAULT_MODEL; ++b) {
            if (propGetCfgDataType(a, 3) == PROP_KIND_LIST &&
                propGetCfgDataType(b, 3) == PROP_KIND_LIST && TopSpeed(b) > 0 &&
                TopSpeed(a) > TopSpeed(b)) {
                fast = a;
                slow = b;
                break;
            }
        }
    }
    ASSERT_GE(fast, 0);
    LoadModelDefaults(desk, fast);
    desk.config.values[3] = TopSpeed(fast);
    // A range value far outside any domain goes back to the new model's default.
    int range = -1;
    for (int i = 9; i < PROP_SETTING_COUNT && range < 0; ++i) {
        if (i != 6 && propGetCfgDataType(slow, i) == PROP_KIND_RANGE)
            range = i;
    }
    ASSERT_GE(range, 0);
    desk.config.values[static_cast<std::size_t>(range)] = 1000000;
    const auto before = desk.config.values;

    EXPECT_GE(KeepValuesInDomain(desk, slow), 1);
    EXPECT_EQ(desk.config.values[3], TopSpeed(slow)) << fast << " -> " << slow;
    int def = 0;
    ASSERT_EQ(propGetCfgDefault(slow, range, &def), 1);
    EXPECT_EQ(desk.config.values[static_cast<std::size_t>(range)], def);
    // Range values inside the new domain stay.
    std::vector<int> inside;
    for (int i = 0; i < PROP_SETTING_COUNT; ++i) {
        const int v = before[static_cast<std::size_t>(i)];
        int lo = 0;
        int hi = 0;
        if (propGetCfgDataType(slow, i) == PROP_KIND_RANGE &&
            propGetCfgSetting(slow, i, &lo, &hi) && v >= lo && v <= hi) {
            inside.push_back(i);
        }
    }
    ASSERT_FALSE(inside.empty());
    for (const int i : inside)
        EXPECT_EQ(desk.config.values[static_cast<std::size_t>(i)],
                  before[static_cast<std::size_t>(i)])
            << i;
    const auto once = desk.config.values;
    KeepValuesInDomain(desk, slow);
    EXPECT_EQ(desk.config.values, once) << "a second pass changes nothing";

    // A second speed on the ladder that the model allows stays (a plain bit test of the value
    // would have thrown it away).
    int mask = 0;
    ASSERT_EQ(propGetCfgDataType(slow, 40), PROP_KIND_LIST);
    ASSERT_TRUE(propGetCfgSetting(slow, 40, &mask, nullptr));
    ASSERT_EQ(mask & 1, 1) << "20 is on the model's ladder";
    desk.config.values[40] = 20;
    KeepValuesInDomain(desk, slow);
    EXPECT_EQ(desk.config.values[40], 20);
}

TEST_F(LanRules, CommandTableTexts) {
    EXPECT_EQ(CommandPrompt(CommandId::LoadFromPrinter),
              "Load configuration settings from current printer");
    EXPECT_EQ(CommandToolTip(CommandId::LoadFromPrinter), "Load Cfg from Printer");
    EXPECT_EQ(CommandToolTip(CommandId::SaveAs), "Save Cfg File");
    EXPECT_EQ(CommandToolTip(CommandId::AutoConnect), "Auto connect");
    EXPECT_EQ(CommandPrompt(CommandId::PrintReport), "");
    EXPECT_EQ(static_cast<int>(CommandId::Diagnostics), 240);
    EXPECT_EQ(FindCommand(static_cast<CommandId>(12345)), nullptr);
    EXPECT_FALSE(CommandEnabled(static_cast<CommandId>(12345), session));
}

TEST_F(LanRules, EnableRulesForALanmerePrinter) {
    using C = CommandId;
    session.model = 18;  // 6220E
    session.port = PCU_PORT_COM2;
    for (const CommandInfo& c : Commands()) {
        const bool needsOnline = c.id == C::PrintReport || c.id == C::TestPrint ||
                                 c.id == C::Diagnostics || c.id == C::ResetPrinter ||
                                 c.id == C::Reboot || c.id == C::SelectStartupProg;
        EXPECT_EQ(CommandEnabled(c.id, session), !needsOnline) << c.menu;
    }
    session.flags.online = true;
    EXPECT_TRUE(CommandEnabled(C::TestPrint, session));
    EXPECT_FALSE(CommandEnabled(C::ResetPrinter, session)) << "not identified";
    session.flags.identified = true;
    EXPECT_TRUE(CommandEnabled(C::ResetPrinter, session));
    EXPECT_FALSE(CommandEnabled(C::Reboot, session));
    EXPECT_FALSE(CommandEnabled(C::SelectStartupProg, session));
    session.port = PCU_PORT_LPT1;
    EXPECT_FALSE(CommandEnabled(C::ChangeFirmware, session));
    session.port = PCU_PORT_COM4;
    session.model = 2;  // 5200C/D has no firmware download
    EXPECT_FALSE(CommandEnabled(C::ChangeFirmware, session));
    session.model = 7;
    EXPECT_TRUE(CommandEnabled(C::ChangeFirmware, session));

    session.metric = true;
    EXPECT_EQ(CommandChecked(C::Metric, session, true), true);
    EXPECT_EQ(CommandChecked(C::UsUnits, session, true), false);
    EXPECT_EQ(CommandChecked(C::MainToolbar, session, false), false);
    EXPECT_EQ(CommandChecked(C::Open, session, true), std::nullopt);
}

TEST_F(LanRules, EnableRulesForABrakenholmPrinter) {
    using C = CommandId;
    session.model = 40;  // TQ8e
    session.port = PCU_PORT_COM1;
    // Printer objects of models of setup generations 0 to 3.
    const std::pair<int, int> generations[] = {{28, 0}, {29, 1}, {33, 2}, {40, 3}};
    for (const auto& [model, generation] : generations) {
        session.printer = MakePrinter(session, prompt, model);
        ASSERT_EQ(AsBrakPrinter(session.printer.get())->SetupGeneration(), generation);
        session.flags.identified = session.flags.online = false;
        EXPECT_FALSE(CommandEnabled(C::MediaHandling, session));
        EXPECT_FALSE(CommandEnabled(C::CommandFile, session));
        EXPECT_FALSE(CommandEnabled(C::SetToDefault, session));
        EXPECT_FALSE(CommandEnabled(C::Reboot, session));
        EXPECT_FALSE(CommandEnabled(C::ChangeFirmware, session)) << "offline";
        EXPECT_TRUE(CommandEnabled(C::SendToPrinter, session));
        session.flags.identified = session.flags.online = true;
        EXPECT_TRUE(CommandEnabled(C::Reboot, session));
        EXPECT_TRUE(CommandEnabled(C::ChangeFirmware, session));
        EXPECT_EQ(CommandEnabled(C::ResetPrinter, session), generation != 1) << generation;
        EXPECT_EQ(CommandEnabled(C::SelectStartupProg, session), generation != 0) << generation;
    }
    session.model = 30;  // 780: below the firmware range
    EXPECT_FALSE(CommandEnabled(C::ChangeFirmware, session));
}

TEST_F(LanRules, SwitchesAreStored) {
    SetMeasurements(desk, true);
    EXPECT_TRUE(session.metric);
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "Metric");
    SetMeasurements(desk, false);
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "English");
    EXPECT_FALSE(ToggleStartupGuide(desk));
    EXPECT_EQ(ReadSetting(setting::kViewStartup, "?"), "0");
    EXPECT_TRUE(ToggleStartupGuide(desk));
    EXPECT_EQ(ReadSetting(setting::kViewStartup, "?"), "1");
}

TEST_F(LanRules, ExitAsksOnlyWhenModified) {
    EXPECT_TRUE(MayClose(desk));
    session.flags.modified = true;
    prompt.ExpectQuestion("save your changes", PromptAnswer::Cancel);
    EXPECT_FALSE(MayClose(desk));
    prompt.ExpectQuestion("save your changes", PromptAnswer::No);
    EXPECT_TRUE(MayClose(desk));
}

TEST_F(LanRules, AboutFigures) {
    const AboutFigures f = ReadAboutFigures();
    EXPECT_NE(f.memory.find(" KB"), std::string::npos);
    EXPECT_NE(f.freeSpace.find(" KB Free on /"), std::string::npos);
}

TEST_F(LanRules, ConfigExtension) {
    EXPECT_TRUE(HasConfigExtension("/a/b.tcf"));
    EXPECT_TRUE(HasConfigExtension("B.TCF"));
    EXPECT_FALSE(HasConfigExtension("b.tcf.txt"));
    EXPECT_FALSE(HasConfigExtension("tcf"));
    EXPECT_FALSE(HasConfigExtension("/a.tcf/b"));
}

}  // namespace
}  // namespace tarvo::app
