// The `tarvo` and `tarvo-printersim` programs end to end, as a user runs them.
#include <gtest/gtest.h>

#include <signal.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/background.h"
#include "support/cli_run.h"
#include "support/test_env.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliTest : public ::testing::Test {
  protected:
    Outcome run(const std::string& program, const std::string& args) {
        return test::RunProgram(env, program, args);
    }
    Outcome tarvo(const std::string& args) { return run("tarvo", args); }

    test::TestEnv env;
};

TEST_F(CliTest, SimulatedPrinterAnswersAPing) {
    const Outcome r = tarvo("--simulate 6220E ping");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The printer on COM1 answered.\n");
}

TEST_F(CliTest, SendPrintsTheReplyInMnemonics) {
    const Outcome r = tarvo("--simulate-fresh --simulate 5200A send '<ESC>M1'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "059877,1.13\n");
}

TEST_F(CliTest, IdentifyNamesTheSimulatedPrinter) {
    const Outcome r = tarvo("--simulate-fresh --simulate TQ5e-QEL identify");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Model:          TQ5e-QEL\n"
              "Program number: 871210\n"
              "Firmware:       1.13\n");
}

TEST_F(CliTest, IdentifyAsksAScriptPrinterForItsVersionsClockAndMemory) {
    const Outcome r = tarvo("--simulate-fresh --simulate TQ8e identify");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(
        r.out.starts_with("Model:          TQ8e\n"
                          "Program number: CG300308\n"
                          "Firmware:       1.13\n"
                          "Clock:          20"))
        << r.out;
    EXPECT_NE(r.out.find("\nStorage free:   1048576\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nHeap free:      "), std::string::npos) << r.out;
}

TEST_F(CliTest, AutoconnectReportsEachTrialAndTheSettingsFound) {
    const Outcome r = tarvo("--simulate 6220E autoconnect");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("Trying COM1")),
              "Trying COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, Standard\n"
              "Trying COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, XON/XOFF\n"
              "Found a printer on COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, "
              "XON/XOFF.\n" +
                  r.out.substr(r.out.find("Stored in ")));
    EXPECT_TRUE(r.out.starts_with("Trying LPT1 (parallel)\n")) << r.out;
}

TEST_F(CliTest, InterruptedAutoconnectLeavesTheProfileAlone) {
    const std::string link = env.root() + "/printer";
    test::Background printer("tarvo-printersim",
                             {"--model", "6220E", "--baud", "38400", "--data-bits", "8", "--parity",
                              "N", "--protocol", "standard", "--link", link});
    ASSERT_NE(printer.line().value_or("").find("6220E"), std::string::npos);
    env.setProfile("Device.COM1", link);
    for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"}) {
        env.setProfile(std::string("Device.") + port, "none");
    }
    const std::string before = test::ReadFile(env.profilePath());

    test::Background search("tarvo", {"autoconnect"});
    std::optional<std::string> line;
    while ((line = search.line()) && line->find("Trying COM1") == std::string::npos) {
    }
    ASSERT_TRUE(line);
    search.signal(SIGINT);
    std::string rest;
    while ((line = search.line()))
        rest += *line + "\n";
    EXPECT_EQ(search.wait(), 130);
    EXPECT_TRUE(rest.ends_with("Cancelled; the profile is unchanged.\n")) << rest;
    EXPECT_EQ(test::ReadFile(env.profilePath()), before);
}

TEST_F(CliTest, ModelsListsAllFortyTwo) {
    const Outcome r = tarvo("models");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 43);
    EXPECT_NE(
        r.out.find(
            "18  6220E            Lanmere            203   2.0 3.0 4.0 5.0 6.0 7.0 8.0 10.0\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("40  TQ8e             Brakenholm"), std::string::npos);
}

// A simulated printer on the Standard protocol, remembered across runs in this test's state
// directory: each command acknowledges quickly, without the XON/XOFF greeting's waits.
class CliPrinterTest : public CliTest {
  protected:
    void SetUp() override { env.setProfile("Protocol", "Standard"); }
    Outcome on(const std::string& model, const std::string& args) {
        return tarvo("--profile " + env.profilePath() + " --simulate " + model + " " + args);
    }
};

TEST_F(CliPrinterTest, ConfigSetIsKeptByThePrinterAcrossRuns) {
    const Outcome set = on("6220E --simulate-fresh --yes", "config set darkness=5 label-width=3in");
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out,
              "Changes:\n"
              "  darkness               0 -> 5\n"
              "  label-width            4.00 in (813 dots) -> 3.00 in (610 dots)\n"
              "Sent.\n");
    const Outcome show = on("6220E", "config show");
    EXPECT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find("\n  darkness               5\n"), std::string::npos) << show.out;
    const auto json = nlohmann::json::parse(on("6220E", "config show --json").out);
    EXPECT_EQ(json["settings"]["darkness"], (nlohmann::json{{"value", 5}, {"shown", "5"}}));
}

TEST_F(CliPrinterTest, ConfigSetRefusesWhatTheModelOrThePrinterCannotTake) {
    const std::pair<const char*, const char*> cases[] = {
        {"darkness=11", "tarvo: error: darkness allows -10 to 10\n"},
        {"emulation=400dpi",
         "tarvo: error: emulation allows 200 dpi (5 mil), 100 dpi (10 mil), 66 dpi (15 mil)\n"},
        {"memory-free=5", "tarvo: error: cannot set memory-free: "},
        {"colour=red", "tarvo: error: no setting named 'colour' (see tarvo config show)\n"},
        {"darkness", "tarvo: error: 'darkness' is not NAME=VALUE\n"},
    };
    for (const auto& [arg, message] : cases) {
        const Outcome r = on("6220E --yes", std::string("config set ") + arg);
        EXPECT_NE(r.status, 0) << arg;
        EXPECT_TRUE(r.err.starts_with(message)) << arg << ": " << r.err;
    }
}

TEST_F(CliPrinterTest, PulledConfigurationIsPushedBackUnchanged) {
    const std::string file = env.root() + "/printer.tcf";
    const Outcome pull = on("6220E --simulate-fresh", "config pull " + file);
    ASSERT_EQ(pull.status, 0) << pull.err;
    EXPECT_TRUE(test::ReadFile(file).starts_with("<ETX>6220E,1.13\r\n<STX>R<ETX>\r\n"))
        << test::ReadFile(file);
    const Outcome push = on("6220E --yes", "config push " + file);
    EXPECT_EQ(push.status, 0) << push.err;
    EXPECT_EQ(push.out, "Changes from " + file + ":\n  (none)\nSent.\n");
}

TEST_F(CliPrinterTest, ObjectsAndUsers) {
    const Outcome fonts = on("6220E --simulate-fresh", "objects list fonts");
    EXPECT_EQ(fonts.status, 0) << fonts.err;
    EXPECT_TRUE(fonts.out.starts_with("fonts (24):\n")) << fonts.out;
    const Outcome who = on("TQ8e-QEL --simulate-fresh", "user whoami");
    EXPECT_EQ(who.status, 0) << who.err;
    EXPECT_EQ(who.out, "user\n");
    EXPECT_EQ(on("TQ8e-QEL", "user su admin secret").status, 2) << "no passwords as arguments";
}

// A simulated Tallyscript printer: the raw port runs XON/XOFF, as these printers do.
class CliScriptPrinterTest : public CliPrinterTest {
  protected:
    void SetUp() override { env.setProfile("Protocol", "XON/XOFF"); }
};

TEST_F(CliScriptPrinterTest, SetupSetIsKeptByTheScriptPrinterAcrossRuns) {
    const Outcome set = on("TQ8e --simulate-fresh --yes", "setup set width=1000");
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "  width                1000\n");
    const Outcome show = on("TQ8e", "setup show");
    EXPECT_EQ(show.status, 0) << show.err;
    EXPECT_TRUE(show.out.starts_with("Model TQ8e, setup tree 7.12\n")) << show.out;
    EXPECT_NE(show.out.find("\n  width                1000\n"), std::string::npos) << show.out;
}

TEST_F(CliScriptPrinterTest, SetupFileSavesAndLoadsBack) {
    const std::string file = env.root() + "/setup.txt";
    const Outcome save = on("730 --simulate-fresh", "setup save " + file);
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_TRUE(test::ReadFile(file).starts_with("SER-COM,UART1,BAUDRATE,9600\r\n") ||
                test::ReadFile(file).starts_with("SER-COM,UART1,BAUDRATE,9600\n"))
        << test::ReadFile(file);
    const Outcome load = on("730 --yes", "setup load " + file + " --send");
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_TRUE(load.out.ends_with("Sent the setup from " + file + ".\n")) << load.out;
}

TEST_F(CliScriptPrinterTest, SetupSetRefusesWhatCannotReachThePrinter) {
    const Outcome r = on("TQ8e --simulate-fresh --yes", "setup set head-resistance=900");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("tarvo: error: cannot set head-resistance: ")) << r.err;
    const Outcome unknown = on("TQ8e --yes", "setup set colour=red");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "tarvo: error: no setting named 'colour' (see tarvo setup show)\n");
    const Outcome lanmere = on("6220E", "setup show");
    EXPECT_EQ(lanmere.status, 1);
    EXPECT_EQ(lanmere.err,
              "tarvo: error: the printer on COM1 (6220E) is not a Brakenholm printer\n");
}

TEST_F(CliScriptPrinterTest, ScriptPrinterIsFoundAtAnotherRate) {
    env.setProfile("Baud", "115200");
    env.setProfile("Parity", "None");
    env.setProfile("Family", "Brakenholm");
    const Outcome r = on("TQ5e --simulate-fresh", "autoconnect");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("Trying COM1 ")) << r.out;
    EXPECT_NE(r.out.find("Found a printer on COM1 115200 baud"), std::string::npos) << r.out;
}

TEST_F(CliTest, PingOfNothingFailsWithStatusOne) {
    env.setProfile("Device.COM1", env.root() + "/no-device");
    const Outcome r = tarvo("ping");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarvo: error: cannot open COM1 (" + env.root() +
                         "/no-device): No such file or directory\n");
}

TEST_F(CliTest, ProfileValuesRoundTrip) {
    EXPECT_EQ(tarvo("profile set Baud 19200").status, 0);
    const Outcome got = tarvo("profile get baud");
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "19200\n");
    const Outcome missing = tarvo("profile get NoSuchKey");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tarvo: error: no value 'NoSuchKey' in the profile\n");
    const std::string other = env.root() + "/other.ini";
    EXPECT_EQ(tarvo("--profile " + other + " profile set Port COM2").status, 0);
    EXPECT_NE(test::ReadFile(other).find("Port=COM2"), std::string::npos);
}

TEST_F(CliTest, PortsListsTheSevenLogicalPorts) {
    env.setProfile("Device.COM2", "/dev/ttyUSB7");
    env.setProfile("Device.LPT3", "none");
    const Outcome r = tarvo("ports");
    EXPECT_EQ(r.status, 0);
    for (const char* name : {"COM1", "COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"}) {
        EXPECT_NE(r.out.find(std::string("  ") + name + " "), std::string::npos) << name;
    }
    EXPECT_NE(r.out.find("/dev/ttyUSB7"), std::string::npos);
    EXPECT_NE(r.out.find("(not mapped)"), std::string::npos);
}

TEST_F(CliTest, UsageErrorsAreOneLineWithStatusTwo) {
    for (const char* args : {"frobnicate", "--bogus ping", "--port COM9 ping", "ping extra",
                             "--simulate NoSuchModel ping", "--simulate"}) {
        const Outcome r = tarvo(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_TRUE(r.err.starts_with("tarvo: error: ")) << args << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

TEST_F(CliTest, EveryCommandHasHelp) {
    EXPECT_EQ(tarvo("--help").status, 0);
    for (const char* command : {"ping", "ports", "profile", "send", "models", "identify",
                                "autoconnect", "config", "objects", "user"}) {
        const Outcome r = tarvo(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_TRUE(r.out.starts_with("usage: tarvo")) << command;
    }
    EXPECT_EQ(run("tarvo-printersim", "--help").status, 0);
}

}  // namespace
}  // namespace tarvo
