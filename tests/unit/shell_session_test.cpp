// Reading the program's settings into the session, and the printer object a model gets.
#include <gtest/gtest.h>

#include <fstream>

#include "brakenholm/brak_printer.h"
#include "shell/app_session.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

class ShellSession : public ::testing::Test {
  protected:
    test::TestEnv env;
    AppSession session;
    test::ScriptedPrompt prompt;
};

TEST_F(ShellSession, MissingValuesReadAsTheFirstRunDefaults) {
    EXPECT_EQ(ReadSettings(session, prompt), kSettingsRead);
    EXPECT_EQ(session.port, PCU_PORT_COM1);
    EXPECT_EQ(session.model, PROP_DEFAULT_MODEL);
    EXPECT_EQ(session.baud, 9600);
    EXPECT_EQ(session.parity, PCU_PARITY_EVEN);
    EXPECT_EQ(session.dataBits, 7);
    EXPECT_EQ(session.stopBits, 1);
    EXPECT_EQ(session.protocol, PCU_PROTOCOL_XONXOFF);
    EXPECT_TRUE(session.autoDefault);
    EXPECT_FALSE(session.metric);
    EXPECT_TRUE(session.startupGuide);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ShellSession, StoredValuesAreRead) {
    env.setProfile("Port", "COM3");
    env.setProfile("Printer", "TQ8e");
    env.setProfile("Baud", "57600");
    env.setProfile("Measurements", "Metric");
    env.setProfile("Parity", "sPaCe");
    env.setProfile("DataBits", "8");
    env.setProfile("StopBits", "2");
    env.setProfile("Protocol", "RTS/CTS");
    env.setProfile("Settings", "Manual");
    env.setProfile("ViewStartup", "0");
    ASSERT_EQ(ReadSettings(session, prompt), kSettingsRead);
    EXPECT_EQ(session.port, PCU_PORT_COM3);
    EXPECT_EQ(session.model, 40);
    EXPECT_EQ(session.modelName, "TQ8e");
    EXPECT_EQ(session.baud, 57600);
    EXPECT_TRUE(session.metric);
    EXPECT_EQ(session.parity, PCU_PARITY_SPACE);
    EXPECT_EQ(session.dataBits, 8);
    EXPECT_EQ(session.stopBits, 2);
    EXPECT_EQ(session.protocol, PCU_PROTOCOL_RTSCTS);
    EXPECT_FALSE(session.autoDefault);
    EXPECT_FALSE(session.startupGuide);
    env.setProfile("Protocol", "Standard");
    ASSERT_EQ(ReadSettings(session, prompt), kSettingsRead);
    EXPECT_TRUE(session.standardProtocol());
}

TEST_F(ShellSession, ADamagedValueTakesItsDefaultAndTheReadingGoesOn) {
    env.setProfile("Port", "COM2");
    env.setProfile("Printer", "NoSuchModel");
    env.setProfile("Baud", "4800");
    env.setProfile("Measurements", "Metric");
    env.setProfile("Protocol", "Standard");
    env.setProfile("ViewStartup", "0");
    session.model = 7;
    EXPECT_EQ(ReadSettings(session, prompt), kSettingsMessageShown);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Warning");
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
    EXPECT_NE(prompt.shown[0].text.find("selected printer"), std::string::npos);
    EXPECT_EQ(session.port, PCU_PORT_COM2);
    EXPECT_EQ(session.model, PROP_DEFAULT_MODEL) << "the bad printer reads as DEFAULT";
    EXPECT_EQ(session.modelName, "DEFAULT");
    EXPECT_EQ(session.baud, 4800) << "fields after the bad one are still read";
    EXPECT_TRUE(session.metric);
    EXPECT_TRUE(session.standardProtocol());
    EXPECT_FALSE(session.startupGuide);
    EXPECT_EQ(ReadSetting(setting::kPrinter, ""), "NoSuchModel")
        << "the stored value is left to mend";

    env.setProfile("Printer", "730");
    for (const char* baud : {"4801", "96OO", "", "-9600", "115200000"}) {
        env.setProfile("Baud", baud[0] ? baud : " ");
        session.baud = 1;
        EXPECT_EQ(ReadSettings(session, prompt), kSettingsMessageShown) << baud;
        EXPECT_NE(prompt.shown.back().text.find("baud rate"), std::string::npos);
        EXPECT_EQ(session.baud, 9600) << baud;
    }
}

TEST_F(ShellSession, EveryDamagedValueGetsItsOwnMessage) {
    env.setProfile("Port", "COM9");
    env.setProfile("Printer", "??");
    env.setProfile("Baud", "fast");
    env.setProfile("Parity", "SOMETIMES");
    env.setProfile("DataBits", "9");
    env.setProfile("StopBits", "x");
    session.parity = PCU_PARITY_NONE;
    session.dataBits = 0;
    session.stopBits = 0;
    EXPECT_EQ(ReadSettings(session, prompt), kSettingsMessageShown);
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_NE(prompt.shown[0].text.find("port selection"), std::string::npos);
    EXPECT_NE(prompt.shown[1].text.find("selected printer"), std::string::npos);
    EXPECT_NE(prompt.shown[2].text.find("baud rate"), std::string::npos);
    EXPECT_EQ(session.port, PCU_PORT_COM1);
    EXPECT_EQ(session.baud, 9600);
    EXPECT_EQ(session.parity, PCU_PARITY_EVEN);
    EXPECT_EQ(session.dataBits, 7);
    EXPECT_EQ(session.stopBits, 1);
}

TEST_F(ShellSession, AProfileThatIsNotTextLosesNothingAndReadsAsDefaults) {
    std::string garbage("\x00\xff\xfe[[[\n=\n\x01\x02Port\n", 15);
    garbage += std::string(5000, '\xff');
    {
        std::ofstream out(env.profilePath(), std::ios::binary | std::ios::trunc);
        out << garbage;
    }
    session.port = PCU_PORT_LPT2;
    session.baud = 1;
    ReadSettings(session, prompt);
    EXPECT_EQ(session.port, PCU_PORT_COM1);
    EXPECT_EQ(session.model, PROP_DEFAULT_MODEL);
    EXPECT_EQ(session.baud, 9600);
    EXPECT_EQ(test::ReadFile(env.profilePath()), garbage) << "reading never rewrites the file";
}

TEST_F(ShellSession, EachModelGetsThePrinterObjectOfItsFamily) {
    session.kernelHandle = PCUCfgInit();
    EXPECT_FALSE(session.printer->IsScriptFamily()) << "a new session holds the neutral printer";
    EXPECT_EQ(AsBrakPrinter(session.printer.get()), nullptr);
    for (int model : {0, 24, 25, 41}) {
        const auto p = MakePrinter(session, prompt, model);
        EXPECT_FALSE(p->IsScriptFamily()) << model;
    }
    for (int model : {26, 27, 33, 40}) {
        auto p = MakePrinter(session, prompt, model);
        ASSERT_TRUE(p->IsScriptFamily()) << model;
        CBrakPrinter* brak = AsBrakPrinter(p.get());
        ASSERT_NE(brak, nullptr);
        EXPECT_EQ(brak->Model(), model);
        EXPECT_EQ(brak->PrinterHandle(), session.kernelHandle);
    }
    EXPECT_EQ(PortName(PCU_PORT_LPT3), "LPT3");
    EXPECT_EQ(PortName(7), "");
}

}  // namespace
}  // namespace tarvo::app
