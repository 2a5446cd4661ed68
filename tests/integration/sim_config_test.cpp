// What a simulated Lanmere printer keeps, seen from the wire: its configuration (the reply to
// <ESC>p and the commands that change it), its stored objects (listings, deletions, memory),
// its shell user, and the state file that carries all of it between runs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "integration/sim_host.h"
#include "tarvo/base/notation.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

using namespace wire;

class SimConfigTest : public SimHostTest {
  protected:
    // Sends one frame whose body is written in the notation ("<SI>d-05").
    std::string askSpelled(const std::string& body) {
        std::string bytes = body;
        EXPECT_TRUE(ExpandMnemonics(bytes));
        return RenderMnemonics(ask(Frame(bytes)));
    }
    std::string configuration() { return askSpelled("<ESC>p"); }
};

Options Model(int model, const std::string& firmware = "1.13") {
    Options options;
    options.model = model;
    options.firmware = firmware;
    return options;
}

// A new 6220E (model 18, firmware 1.13), as it answers <ESC>p.
const std::string kNew6220E =
    "<SI>b000;<SI>C1;<SI>c0;<SI>D0000;<SI>d000;<SI>e1;<SI>F0020;<SI>f000;<SI>g0,420;<SI>H0;"
    "<SI>h0,0;<SI>I03;<SI>i0;<SI>L1000;<SI>l0;<SI>N060;<SI>P3,1,0,0,0;<SI>p0,0;<SI>R1;<SI>r0;"
    "<SI>S30;<SI>s0;<SI>T1;<SI>t0;<SI>U0,0,0,0;<SI>W0813;<SI>Z0;<SYN>0000;<SOH><DLE><NUL>;"
    "<EOT><DLE><NUL>;<ESC>k;<ESC><SYN>0000;<ETX>";

// --- The reply to <ESC>p ---

TEST_F(SimConfigTest, NewPrinterAnswersItsModelsDefaultsInTheReplyForm) {
    Options options = Model(18);
    options.preamble = '#';
    options.postamble = '$';
    start(options);
    EXPECT_EQ(configuration(), "#" + kNew6220E + "$");
    EXPECT_EQ(sim->configValue(13), 420);
    EXPECT_EQ(sim->configValues('g'), (std::vector<ConfigValue>{0, 420}));
    EXPECT_EQ(sim->configValues('P'), (std::vector<ConfigValue>{3, 1, 0, 0, 0}));
    EXPECT_EQ(sim->configValues('Q'), std::vector<ConfigValue>{});
    // Settings a printer does not keep, and the figures it keeps elsewhere.
    EXPECT_EQ(sim->configValue(0), 18);
    EXPECT_EQ(sim->configValue(7), 987);
    EXPECT_EQ(sim->configValue(8), 512);
    for (int setting : {1, 16, 40, 43, -1})
        EXPECT_EQ(sim->configValue(setting), std::nullopt) << setting;
}

TEST_F(SimConfigTest, ReplyCarriesTheCommandsOfTheModelAndFirmware) {
    // Letters beyond those every model carries (C c D d F f g H I i L l N P R r S s T t U Z).
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "1.13", ""},   // 5200A
        {4, "1.4.0", ""},  // 5240: h from firmware 1.4.1 on
        {4, "1.4.1", "<SI>h"},
        {11, "1.13", "<SI>A<SI>a<SI>O<SI>W"},
        {18, "2.4.1", "<SI>b<SI>e<SI>h<SI>p<SI>z<SI>v<SI>W"},
        {24, "2.10", "<SI>e<SI>h<SI>z"},
    };
    const std::string optional = "AabehOpzvW";
    for (const auto& [model, firmware, letters] : cases) {
        start(Model(model, firmware));
        const std::string reply = configuration();
        std::string present;
        for (char letter : optional) {
            if (reply.find(std::string("<SI>") + letter) != std::string::npos)
                present += std::string("<SI>") + letter;
        }
        EXPECT_EQ(present, letters) << ModelName(model) << " " << firmware;
        EXPECT_EQ(reply.substr(reply.size() - 5), "<ETX>");
        host.reset();
        sim.reset();
    }
}

TEST_F(SimConfigTest, UnknownValuesAndControlCharactersInTheReply) {
    Options options = Model(18);
    options.line = {600, 8, 'M', 1, Protocol::RtsCts};  // no codes for these in <SI>P
    start(options);
    ASSERT_TRUE(sim->setConfigValue(14, std::nullopt));
    ASSERT_TRUE(sim->setConfigValues('g', {std::nullopt, 180}));
    ASSERT_TRUE(sim->setConfigValue(28, 0x13));  // <DC3> would stop an XON/XOFF host
    ASSERT_TRUE(sim->setConfigValue(29, '#'));
    ASSERT_TRUE(sim->setConfigValue(22, 1));
    ASSERT_TRUE(sim->setConfigValue(24, 1));
    const std::string reply = configuration();
    EXPECT_NE(reply.find("<SI>d?;"), std::string::npos) << reply;
    EXPECT_NE(reply.find("<SI>g?,180;"), std::string::npos) << reply;
    EXPECT_NE(reply.find("<SI>P?,?,1,2,0;"), std::string::npos) << reply;
    EXPECT_NE(reply.find("<SOH><DLE><DC3>;<EOT>#;<ESC>k;<ESC>j;<ESC>e;<ESC><SYN>0000;<ETX>"),
              std::string::npos)
        << reply;

    std::string error;
    EXPECT_FALSE(sim->setConfigValue(28, std::nullopt, &error)) << "no way to say it";
    EXPECT_NE(error.find("cannot be unknown"), std::string::npos) << error;
    EXPECT_FALSE(sim->setConfigValue(16, 1, &error));
    EXPECT_FALSE(sim->setConfigValue(14, 11, &error));
    EXPECT_EQ(error, "setting 14: 11 is outside -10..10");
    EXPECT_FALSE(sim->setConfigValues('g', {1}, &error));
    EXPECT_FALSE(sim->setConfigValues('P', {3, 1, 0, 0, 1}, &error));
    EXPECT_FALSE(sim->setConfigValues('U', {1, 2}, &error));
    EXPECT_TRUE(sim->setConfigValues('U', {1, 2, 3, 4, 5}));
    EXPECT_NE(configuration().find("<SI>U1,2,3,4,5;"), std::string::npos);
    EXPECT_EQ(sim->configValue(14), std::nullopt) << "refusals changed nothing";
}

// --- Configuration commands from the host ---

TEST_F(SimConfigTest, ConfigurationTextChangesExactlyWhatItNamesAndTheModelOffers) {
    start(Model(6));  // a 6220: no media type, memory size or z value to set
    const std::string before = configuration();
    EXPECT_EQ(askSpelled("R"), "");
    // The host's configuration text, its semicolons dropped on the way to a printer.
    EXPECT_EQ(askSpelled("<SI>b010<SI>C0<SI>c1<SI>D0012<SI>d-05<SI>e0<SI>F0030<SI>f-02"
                         "<SI>g1,500<SI>h1,0<SI>I05<SI>i1<SI>L0800<SI>l2<SI>N100<SI>p1,2<SI>z1"
                         "<SI>R0<SI>S50<SI>T2<SI>t1<SI>W0700<SYN>0020<SOH>#<EOT>$<ESC>k<ESC>j"
                         "<ESC>e<ESC><SYN>0150"),
              "");
    EXPECT_EQ(configuration(),
              "<SI>b010;<SI>C0;<SI>c1;<SI>D0012;<SI>d-05;<SI>e0;<SI>F0030;<SI>f-02;<SI>g0,500;"
              "<SI>H0;<SI>h1,0;<SI>I05;<SI>i1;<SI>L0800;<SI>l2;<SI>N060;<SI>P3,1,0,0,0;"
              "<SI>p1,2;<SI>R0;<SI>r0;<SI>S50;<SI>s0;<SI>T2;<SI>t1;<SI>U0,0,0,0;<SI>W0700;"
              "<SI>Z0;<SYN>0020;<SOH>#;<EOT>$;<ESC>k;<ESC>j;<ESC>e;<ESC><SYN>0150;<ETX>");
    EXPECT_NE(before, configuration());
    EXPECT_EQ(sim->configValue(41), 0) << "z is not offered before firmware 2.4.1";

    // The same commands one to a line, as a configuration file sends them, and with zero
    // frame characters.
    for (const char* command : {"<SI>d003;", "<SOH><NUL>", "<EOT><NUL>", "<ESC>k;"})
        askSpelled(command);
    EXPECT_EQ(sim->configValue(14), 3);
    EXPECT_EQ(sim->configValue(28), 0);
    EXPECT_EQ(sim->configValue(29), 0);
    EXPECT_EQ(sim->configValue(22), 0);
    EXPECT_EQ(sim->configValue(24), 0);
}

TEST_F(SimConfigTest, BadCommandsChangeNothingAndTheNextOneStillCounts) {
    start(Model(18));
    const std::pair<const char*, int> refused[] = {
        {"<SI>d11", 14},    {"<SI>d", 14},    {"<SI>dx", 14},     {"<SI>d?", 14},
        {"<SI>d+1", 14},    {"<SI>d1,2", 14}, {"<SI>L0099", 15},  {"<SI>g0,1000", 13},
        {"<SI>g5", 13},     {"<SI>S33", 3},   {"<SI>T3", 12},     {"<SI>C7", 2},
        {"<SI>A5", 30},     {"<SI>N100", 6},  {"<SYN>10000", 27}, {"<ESC><SYN>-1", 26},
        {"<SI>Q1<SI>", 14}, {"<SI>z1", 41},
    };
    for (const auto& [command, setting] : refused) {
        const ConfigValue before = sim->configValue(setting);
        askSpelled(command);
        EXPECT_EQ(sim->configValue(setting), before) << command;
    }
    EXPECT_EQ(configuration(), kNew6220E) << "nothing at all changed";
    askSpelled("<SI>d11<SI>d-3;<SI>g0,999");
    EXPECT_EQ(sim->configValue(14), -3);
    EXPECT_EQ(sim->configValue(13), 999);
    EXPECT_EQ(sim->receivedMessages().size(), std::size(refused) + 2);
}

TEST_F(SimConfigTest, SerialCommandSwitchesTheLineOnceTheMessageIsDone) {
    start(Model(12));  // the 9221 keeps the serial flag
    EXPECT_EQ(askSpelled("<SI>P6,0,1,2,1<ESC>m"), "1024,987") << "still the old line";
    const LineSettings switched{57600, 8, 'N', 1, Protocol::Standard};
    const LineSettings now = sim->line();
    EXPECT_EQ(std::tie(now.baud, now.dataBits, now.parity, now.stopBits, now.protocol),
              std::tie(switched.baud, switched.dataBits, switched.parity, switched.stopBits,
                       switched.protocol));
    EXPECT_EQ(ask(kAskMemory), "") << "a host on the old settings is noise now";
    host->note(NoteFor(switched));
    EXPECT_EQ(ask(kAskMemory), kAck + "1024,987");
    EXPECT_EQ(sim->configValue(39), 1);
    EXPECT_EQ(sim->configValues('P'), (std::vector<ConfigValue>{6, 0, 1, 2, 1}));

    for (const char* bad : {"<SI>P8,0,1,2,0", "<SI>P3,3,0,0,0", "<SI>P3,1,2,0,0", "<SI>P3,1,0,1,0",
                            "<SI>P3,1,0", "<SI>P3,1,0,0,2"}) {
        ask(Frame(std::string(bad).replace(0, 4, "\x0f")));
        EXPECT_EQ(sim->line().baud, 57600u) << bad;
    }
    EXPECT_EQ(sim->configValue(39), 1);
    ask(Frame("\x0fP4,1,0,0"));  // four numbers keep the flag
    EXPECT_EQ(sim->line().baud, 19200u);
    EXPECT_EQ(sim->line().protocol, Protocol::XonXoff);
    EXPECT_EQ(sim->configValue(39), 1);

    host.reset();
    sim.reset();
    start(Model(18));
    askSpelled("<SI>P3,1,0,0,1");
    EXPECT_EQ(sim->configValue(39), 0) << "a 6220E has no serial flag to set";
}

// --- Memory, image buffer and options ---

TEST_F(SimConfigTest, MemoryImageBufferAndInstalledOption) {
    Options options = Model(0);  // the 5200A's image buffer is in the host's table
    options.installedOption = 3;
    start(options);
    EXPECT_EQ(askSpelled("<ESC>m1"), "1024,256");
    EXPECT_EQ(askSpelled("<ESC>O"), "3");
    EXPECT_EQ(askSpelled("<ESC>m<ESC>m1<ESC>O"), "1024,9871024,2563");
    host.reset();
    sim.reset();
    start(Model(17));  // 5200E (400dpi): asked, and a fine head needs the larger buffer
    EXPECT_EQ(askSpelled("<ESC>m1"), "1024,1024");
    EXPECT_EQ(askSpelled("<ESC>O"), "0");
    Options bad = Model(18);
    bad.installedOption = 5;
    std::string error;
    EXPECT_FALSE(PrinterSim(bad).start(&error));
    EXPECT_EQ(error, "the installed option is a number from 0 to 4");
}

// --- Objects ---

void StoreSamples(PrinterSim& printer) {
    ASSERT_TRUE(printer.addObject(ObjectKind::Font, {27, "Logo font", "400", 2048}));
    ASSERT_TRUE(printer.addObject(ObjectKind::Graphic, {1, "Logo", "", 1500}));
    ASSERT_TRUE(printer.addObject(ObjectKind::Format, {7, "Invoice", "", 100}));
    ASSERT_TRUE(printer.addObject(ObjectKind::Format, {1, "Shipping", "F2", 2048}));
}

// The listings' lines, frames and order are pinned from the host's side in directory_read_test.
TEST_F(SimConfigTest, ListingsAreAnsweredByModelsWithADirectoryOnly) {
    start(Model(18));
    StoreSamples(*sim);
    EXPECT_EQ(ask(Frame("\x1bu")), "1,Logo,0,1500\r\n");
    EXPECT_EQ(ask(Frame("\x1by")), "") << "an empty directory lists nothing";
    EXPECT_EQ(ask(kAskMemory), "1024,980") << "2 + 2 + 1 + 2 KB taken";
    host.reset();
    sim.reset();
    start(Model(0));  // the 5200A answers no listing at all
    EXPECT_EQ(ask(Frame("\x1bv") + Frame("\x1bx")), "");
}

TEST_F(SimConfigTest, DeletionsTakeEffectInProgramModeOnlyAndGiveMemoryBack) {
    start(Model(18));
    StoreSamples(*sim);
    ask(Frame("T27;") + Frame("E1;R"));
    EXPECT_EQ(sim->objects(ObjectKind::Font).size(), 1u) << "not in program mode";
    // As the host's deletion loops send them: one command to a frame.
    for (const char* body :
         {"\x1bP", "T27;", "T0;", "R", "\x1bP", "E7;R", "\x1bP", "G1,New;", "G01;", "s5;", "R"}) {
        EXPECT_EQ(ask(Frame(body)), "") << body;
    }
    EXPECT_TRUE(sim->objects(ObjectKind::Font).empty());
    EXPECT_TRUE(sim->objects(ObjectKind::Graphic).empty());
    EXPECT_EQ(sim->objects(ObjectKind::Format),
              (std::vector<StoredObject>{{1, "Shipping", "F2", 2048}}));
    EXPECT_EQ(sim->memoryFreeKb(), 985u);
    EXPECT_EQ(ask(Frame("\x1bv")).substr(0, 16), "0,7x9 std,200,0\r") << "resident fonts stay";
    ask(Frame("E1;"));
    EXPECT_EQ(sim->objects(ObjectKind::Format).size(), 1u) << "R left program mode";
    ask(Frame("\x1bPE01;R"));
    EXPECT_TRUE(sim->objects(ObjectKind::Format).empty());
    EXPECT_EQ(sim->memoryFreeKb(), 987u);
}

TEST_F(SimConfigTest, StoringObjectsRefusesWhatThePrinterCannotHold) {
    Options options = Model(18);
    options.memoryFreeKb = 10;
    start(options);
    std::string error;
    const std::pair<StoredObject, const char*> refused[] = {
        {{5, "", "200", 1}, "font number 5 is taken by a resident font"},
        {{27, "a,b", "", 1}, "without a comma"},
        {{27, " lead", "", 1}, "blank"},
        {{27, std::string(33, 'x'), "", 1}, "0 to 32"},
        {{27, "", "TT", 1}, "a font type is a number"},
        {{27, "", "", 11 * 1024}, "not enough printer memory: 11 KB needed, 10 KB free"},
        {{65536, "", "", 1}, "0 to 65535"},
    };
    for (const auto& [object, reason] : refused) {
        EXPECT_FALSE(sim->addObject(ObjectKind::Font, object, &error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_FALSE(sim->addObject(ObjectKind::Page, {1, "", "a,b", 1}, &error));
    EXPECT_TRUE(sim->addObject(ObjectKind::Page, {1, "", "", 10 * 1024}));
    EXPECT_EQ(sim->memoryFreeKb(), 0u);
    EXPECT_TRUE(sim->addObject(ObjectKind::Page, {1, "", "", 1025})) << "a replacement";
    EXPECT_EQ(sim->memoryFreeKb(), 8u);
    EXPECT_FALSE(sim->deleteObject(ObjectKind::Page, 2));
    EXPECT_TRUE(sim->deleteObject(ObjectKind::Page, 1));
    EXPECT_EQ(sim->memoryFreeKb(), 10u);

    sim->stop();
    EXPECT_FALSE(sim->addObject(ObjectKind::Page, {1, "", "", 1}, &error));
    EXPECT_EQ(error, "the printer is not running");
    PrinterSim script(BrakenholmOptions());
    ASSERT_TRUE(script.start(&error));
    EXPECT_FALSE(script.setConfigValue(14, 1, &error));
    EXPECT_EQ(error, "a Brakenholm printer keeps no configuration or objects");
}

// --- The shell ---

TEST_F(SimConfigTest, ShellReportsItsNetworkInterface) {
    const std::tuple<int, std::optional<std::string>, const char*> cases[] = {
        {23, std::nullopt, "IFNAME=eth0"},
        {23, "wlan1", "IFNAME=wlan1"},
        {14, "", "IFNAME="},
        {18, std::nullopt, ""},
    };
    for (const auto& [model, interface, reply] : cases) {
        Options options = Model(model);
        options.networkInterface = interface;
        start(options);
        EXPECT_EQ(ask(Frame("\x1b.x,echo IFNAME=$SETENV_OS{IFNAME}")), reply) << ModelName(model);
        EXPECT_EQ(ask(Frame("\x1b.x,echo a $SETENV_OS{HOST}b $SETENV_OS{IF")),
                  model == 18 ? "" : "a b $SETENV_OS{IF");
        host.reset();
        sim.reset();
    }
}

TEST_F(SimConfigTest, ShellSwitchesUsersWithTheAdministratorsPassword) {
    Options options = Model(23);
    options.adminPassword = "s3cret";
    options.transcriptPath = path("wire.log");
    start(options);
    const auto askShell = [this](const std::string& line) { return ask(Frame("\x1b.x," + line)); };
    EXPECT_EQ(askShell("whoami"), "user");
    EXPECT_EQ(askShell("su -p wrong admin"), "su: Authentication failure");
    EXPECT_EQ(askShell("su admin"), "su: Authentication failure");
    EXPECT_EQ(askShell("su -p s3cret root"), "su: unknown user root");
    EXPECT_EQ(askShell("su"), "usage: su [-p PASSWORD] NAME");
    EXPECT_EQ(askShell("whoami"), "user");
    // The password goes out in pieces, as a slow line delivers it.
    host->send("\x02\x1b.x,su -p s3");
    settle();
    EXPECT_EQ(ask("cret admin\x03"), "");
    EXPECT_EQ(askShell("whoami"), "admin");
    EXPECT_EQ(sim->shellUser(), "admin");
    EXPECT_EQ(askShell("su user"), "");
    EXPECT_EQ(sim->shellUser(), "user");
    EXPECT_EQ(askShell("su -p anything user"), "") << "the plain user has no password";

    const std::string text = sim->transcriptText();
    EXPECT_EQ(text.find("s3cret"), std::string::npos) << text;
    EXPECT_EQ(text.find("wrong"), std::string::npos) << text;
    EXPECT_NE(text.find("> <STX><ESC>.x,su -p ***** admin<ETX>"), std::string::npos) << text;
    EXPECT_NE(text.find("> <STX><ESC>.x,su -p ****** admin<ETX>"), std::string::npos) << text;
    EXPECT_NE(text.find("su -p ******** user"), std::string::npos) << text;
    const auto received = sim->receivedMessages();
    EXPECT_NE(std::find(received.begin(), received.end(), "\x1b.x,su -p s3cret admin"),
              received.end());
    sim->stop();
    const std::string file = ReadFile(path("wire.log"));
    EXPECT_EQ(file.find("s3cret"), std::string::npos) << file;
    EXPECT_NE(file.find("su -p ****** admin"), std::string::npos) << file;
}

// --- The state file ---

TEST_F(SimConfigTest, StateFileKeepsConfigurationObjectsAndUserAcrossRuns) {
    const std::string state = path("printer.state");
    Options options = Model(23, "2.10");
    options.statePath = state;
    options.objects = {{ObjectKind::Graphic, {4, "Stamp", "", 3000}}};
    start(options);
    askSpelled("<SI>d-05<SOH>#<ESC>j");
    ask(Frame("\x1b.x,su -p admin admin"));
    ASSERT_TRUE(sim->setConfigValue(15, std::nullopt));
    ASSERT_TRUE(sim->addObject(ObjectKind::Font, {29, "Logo font", "400", 2048}));
    ASSERT_TRUE(sim->addObject(ObjectKind::Page, {3, "", "", 10}));
    const std::string reply = configuration();
    const std::string listing = ask(Frame("\x1bv"));
    sim->stop();

    const std::string saved = ReadFile(state);
    for (const char* line :
         {"\nmemory-free-kb = 981\n", "\nshell-user = admin\n", "\nadmin-password = admin\n",
          "\nconfig.darkness = -5\n", "\nconfig.label-length = ?\n", "\nconfig.start-char = 35\n",
          "\nconfig.media-status = 1\n", "\nconfig.U = 0,0,0,0\n",
          "\nfont.29 = Logo font,400,2048\n", "\ngraphic.4 = Stamp,0,3000\n",
          "\npage.3 = ,0,10\n"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
    }

    options.objects.clear();
    options.adminPassword = "other";  // the saved printer keeps its own
    start(options);
    EXPECT_EQ(configuration(), reply);
    EXPECT_EQ(ask(Frame("\x1bv")), listing);
    EXPECT_EQ(ask(Frame("\x1bu")), "4,Stamp,0,3000\r\n");
    EXPECT_EQ(ask(Frame("\x1b.x,whoami")), "admin");
    EXPECT_EQ(sim->memoryFreeKb(), 981u) << "3 + 2 + 1 KB stored";
    ask(Frame("\x1b.x,su user") + Frame("\x1b.x,su -p admin admin"));
    EXPECT_EQ(sim->shellUser(), "admin");
    sim->stop();
    EXPECT_EQ(ReadFile(state), saved) << "back where it was, so the same file";
}

TEST_F(SimConfigTest, OldStateFileLoadsWithTheModelsDefaults) {
    const std::string state = path("printer.state");
    WriteFile(state,
              "model = 6220E\nfirmware = 1.13\nmemory-total-kb = 2048\nmemory-free-kb = 9\n");
    Options options = Model(18);
    options.statePath = state;
    start(options);
    EXPECT_EQ(configuration(), kNew6220E);
    EXPECT_EQ(ask(kAskMemory), "2048,9");
    EXPECT_EQ(ask(Frame("\x1bx")), "");
}

TEST_F(SimConfigTest, ObjectsGivenAsOptionsMustFitTheMemory) {
    std::string error;
    Options overfull = Model(18);
    overfull.memoryFreeKb = 1;
    overfull.objects = {{ObjectKind::Format, {1, "", "", 2000}}};
    EXPECT_FALSE(PrinterSim(overfull).start(&error));
    EXPECT_EQ(error, "cannot store format 1: not enough printer memory: 2 KB needed, 1 KB free");
}

}  // namespace
}  // namespace tarvo::sim
