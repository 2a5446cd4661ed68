// The Communications Setup pages without a printer: the status characters the Printer page
// takes, the rates and the rules of the Port Settings page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "desk/desk.h"
#include "lanmere/com_pages.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"
#include "tarvo/base/port_names.h"

namespace tarvo::app::lanmere {
namespace {

TEST(ComPrinterPage, StatusCharactersTakeOnePrintableCharacterOrACode) {
    struct Case {
        const char* typed;
        bool xonXoff;
        int code;  // -1: refused
    };
    const Case cases[] = {
        {"#", true, 35},       {"0x1B - <ESC>", true, 27}, {"0x1b", true, 27},
        {"0x00", true, 0},     {"0xFF", true, 255},        {"0x02", false, -1},
        {"0x03", false, -1},   {"0x10", false, -1},        {"0x11", true, -1},
        {"0x11", false, 0x11}, {"0x13", true, -1},         {"0x100", false, -1},
        {";", false, -1},      {"<", false, -1},           {"ab", false, -1},
        {"", false, -1},       {"0x1B - <SOH>", true, -1}, {"0x", true, -1},
    };
    for (const Case& c : cases) {
        std::string why;
        const auto code = ReadStatusCharacter(c.typed, c.xonXoff, &why);
        EXPECT_EQ(code.value_or(-1), c.code) << c.typed;
        EXPECT_EQ(why.empty(), c.code >= 0) << c.typed << ": " << why;
    }
    EXPECT_EQ(StatusCharacterText(27), "0x1B - <ESC>");
    EXPECT_EQ(StatusCharacterText(35), "#");
}

class ComPortPage : public ::testing::Test {
  protected:
    void Use(int model) {
        ReadSettings(session, prompt);
        session.model = model;
        session.firmwareVersion = "9.9";
        for (int i = 0; i < PROP_SETTING_COUNT; ++i)
            propGetCfgDefault(model, i, &desk.config.values[static_cast<std::size_t>(i)]);
    }
    const Field& F(const PageModel& page, const char* id) { return page.field(id); }

    test::TestEnv env;
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(ComPortPage, RatesFollowTheModel) {
    struct Case {
        int model;
        const char* lowest;
        const char* highest;
        bool lpt;
    };
    const Case cases[] = {{4, "1200", "57600", false},   // 5240
                          {10, "110", "19200", false},   // 6000
                          {6, "1200", "115200", true},   // 6220
                          {2, "1200", "38400", false}};  // 5200C/D
    for (const Case& c : cases) {
        Use(c.model);
        CComPortSetting page(desk);
        page.Load();
        EXPECT_EQ(F(page, "rate").choices.front(), c.lowest) << c.model;
        EXPECT_EQ(F(page, "rate").choices.back(), c.highest) << c.model;
        EXPECT_EQ(F(page, "port").choices.size(), c.lpt ? 7u : 4u) << c.model;
    }
}

// Nothing answers on the line here, so the chosen line is stored as the operator names it, and
// the program asks in vain who answers there.
TEST_F(ComPortPage, SevenDataBitsWithoutParityBecomeEightWhereThePrinterSaysSo) {
    for (const auto& [model, stored] : {std::pair{1, "8"}, std::pair{3, "7"}}) {  // 5200B, 5600
        Use(model);
        CComPortSetting page(desk);
        page.Load();
        page.Choose("parity", 2);
        page.Choose("data", 0);
        const std::size_t notices = prompt.Notices().size();
        prompt.ExpectQuestion("could not communicate with the printer", PromptAnswer::Cancel);
        page.Save();
        EXPECT_EQ(prompt.Notices().size() - notices, model == 1 ? 1u : 0u) << model;
        EXPECT_EQ(ReadSetting(setting::kDataBits, "?"), stored) << model;
        EXPECT_EQ(ReadSetting(setting::kParity, "?"), "None") << model;
    }
}

// The devices offered for a port, from a made-up /dev and /sys/class/tty: stable names first,
// then USB and ACM devices, and only the ttyS ports a UART stands behind.
TEST_F(ComPortPage, TheDevicesOfferedAreThoseOfTheMachine) {
    namespace fs = std::filesystem;
    const DeviceRoots roots{env.root() + "/dev", env.root() + "/sys"};
    for (const char* dir : {"/dev/serial/by-id", "/dev/usb", "/sys/ttyS0", "/sys/ttyS1"})
        fs::create_directories(env.root() + dir);
    for (const char* node :
         {"/dev/serial/by-id/usb-Printer_A-if00", "/dev/ttyUSB0", "/dev/ttyACM1", "/dev/ttyS0",
          "/dev/ttyS1", "/dev/ttySAC0", "/dev/tty0", "/dev/lp0", "/dev/usb/lp1"})
        std::ofstream(env.root() + node);
    std::ofstream(env.root() + "/sys/ttyS0/type") << "4\n";  // a 16550A
    std::ofstream(env.root() + "/sys/ttyS1/type") << "0\n";  // no UART
    const std::string dev = env.root() + "/dev";
    EXPECT_EQ(SerialDevicesFound(roots),
              (std::vector<std::string>{dev + "/serial/by-id/usb-Printer_A-if00", dev + "/ttyUSB0",
                                        dev + "/ttyACM1", dev + "/ttyS0"}));
    EXPECT_EQ(ParallelDevicesFound(roots),
              (std::vector<std::string>{dev + "/lp0", dev + "/usb/lp1"}));
}

TEST_F(ComPortPage, AParallelPortTakesNoLineSettings) {
    Use(18);  // 6220E
    CComPortSetting page(desk);
    page.Load();
    page.Choose("port", 4);
    EXPECT_FALSE(F(page, "rate").enabled);
    EXPECT_FALSE(F(page, "protocol").enabled);
    page.Save();
    EXPECT_EQ(ReadSetting(setting::kPort, "?"), "LPT1");
    EXPECT_EQ(ReadSetting(setting::kProtocol, "?"), "XON/XOFF");
    EXPECT_EQ(session.port, PCU_PORT_LPT1);
}

// The timing box is the profile's Timing value, which the kernel reads at every reply; ticking
// it moves no line.
TEST_F(ComPortPage, ThePrescribedWaitsAreKeptWhenTicked) {
    Use(18);
    for (const auto& [tick, stored] : {std::pair{1, "Prescribed"}, std::pair{0, "Adaptive"}}) {
        CComPortSetting page(desk);
        page.Load();
        EXPECT_EQ(F(page, "prescribed").value, 1 - tick);
        page.SetValue("prescribed", tick);
        page.Save();
        EXPECT_EQ(ReadSetting(setting::kTiming, "?"), stored);
    }
    EXPECT_TRUE(prompt.shown.empty()) << "nothing was asked: the line stays";
}

}  // namespace
}  // namespace tarvo::app::lanmere
