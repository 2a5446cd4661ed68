// What a Linux user reaches for first, through the built programs: versions, help, manual
// pages and shell completion.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/cli_run.h"
#include "support/sim_fixture.h"

namespace tarvo {
namespace {

using test::Outcome;

class LinuxConventionsTest : public test::SimTest {
  protected:
    Outcome run(const std::string& program, const std::string& args) {
        return test::RunProgram(env, program, args);
    }
};

TEST_F(LinuxConventionsTest, EveryProgramPrintsItsVersion) {
    for (const char* program : {"tarvo", "tarvo32", "tarvo-printersim"}) {
        const Outcome o = run(program, "--version");
        EXPECT_EQ(o.status, 0) << program << ": " << o.err;
        EXPECT_EQ(o.out.rfind(std::string(program) + " 0.", 0), 0u) << o.out;
        EXPECT_EQ(o.out.back(), '\n');
    }
}

TEST_F(LinuxConventionsTest, HelpCommandShowsACommandsHelp) {
    const Outcome help = run("tarvo", "help config");
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out, run("tarvo", "config --help").out);
    const Outcome unknown = run("tarvo", "help nosuch");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command 'nosuch'"), std::string::npos) << unknown.err;
}

// The manual pages are built from the programs' help and read as a user reads them.
TEST_F(LinuxConventionsTest, ManualPagesRender) {
    for (const char* program : {"tarvo", "tarvo32", "tarvo-printersim"}) {
        const std::string page = test::ProgramPath(std::string("../man/") + program + ".1");
        const Outcome man = test::RunShell(env, "MANPAGER=cat MANWIDTH=100 man -l " + page);
        EXPECT_EQ(man.status, 0) << program << ": " << man.err;
        EXPECT_NE(man.out.find("--version"), std::string::npos) << man.out;
    }
    EXPECT_NE(test::RunShell(env, "MANPAGER=cat man -l " + test::ProgramPath("../man/tarvo.1"))
                  .out.find("autoconnect"),
              std::string::npos);
}

// The completion script, loaded into bash, offers what the program knows for the typed word.
TEST_F(LinuxConventionsTest, CompletionOffersCommandsOptionsAndNames) {
    const std::string script = std::string(TARVO_SOURCE_DIR) + "/cli/completion/tarvo.bash";
    const auto complete = [&](const std::string& program, const std::string& words, int index) {
        return test::RunShell(env, "bash -c 'source " + script + "; COMP_WORDS=(" +
                                       test::ProgramPath(program) + " " + words +
                                       "); COMP_CWORD=" + std::to_string(index) +
                                       "; _tarvo_complete; printf \"%s\\n\" \"${COMPREPLY[@]}\"'")
            .out;
    };
    struct Case {
        const char* program;
        const char* words;
        int index;
        const char* offered;
    };
    for (const Case& c : {
             Case{"tarvo", "con", 1, "config\n"},
             Case{"tarvo", "--simulate 6220", 2, "6220\n6220E\n"},
             Case{"tarvo", "--port L", 2, "LPT1\nLPT2\nLPT3\n"},
             Case{"tarvo", "--simulate 6220E config se", 4, "set\n"},
             Case{"tarvo", "config set darkn", 3, "darkness=\n"},
             Case{"tarvo", "help ident", 2, "identify\n"},
             Case{"tarvo", "config pull x.tcf --w", 4, "--with-objects\n"},
             Case{"tarvo-printersim", "--protocol st", 2, "standard\n"},
             Case{"tarvo-printersim", "--pa", 1, "--parity\n--pace\n"},
             Case{"tarvo32", "--simulate TQ8", 2, "TQ8e-QEL\nTQ8e\n"},
             Case{"tarvo32", "--screenshot f.png --show med", 4, "media\nmedia-handling\n"},
         }) {
        EXPECT_EQ(complete(c.program, c.words, c.index), c.offered) << c.program << " " << c.words;
    }
}

// Every listing written as JSON parses, against a printer of each family.
TEST_F(LinuxConventionsTest, EveryJsonOutputParses) {
    sim::Options lanmere;
    lanmere.line.protocol = sim::Protocol::Standard;
    startPrinter(lanmere);
    const std::string profile = "--profile " + env.profilePath() + " --json ";
    struct Case {
        const char* args;
        const char* key;  // a key the document has, or empty for an array
    };
    for (const Case& c :
         {Case{"models", ""}, Case{"ports", "devices"}, Case{"fonts", ""},
          Case{"identify", "programNumber"}, Case{"config show", "settings"},
          Case{"objects list", "graphics"}, Case{"service", "G"}, Case{"memory-check", "freeKb"}}) {
        const Outcome o = run("tarvo", profile + c.args);
        ASSERT_EQ(o.status, 0) << c.args << ": " << o.err;
        const auto document = nlohmann::json::parse(o.out, nullptr, false);
        ASSERT_FALSE(document.is_discarded()) << c.args << ": " << o.out;
        if (*c.key == '\0')
            EXPECT_TRUE(document.is_array()) << c.args;
        else
            EXPECT_TRUE(document.contains(c.key)) << c.args << ": " << o.out;
    }
    EXPECT_EQ(nlohmann::json::parse(run("tarvo", profile + "models").out)[6]["name"], "6220");

    sim::Options brakenholm;
    brakenholm.family = sim::Family::Brakenholm;
    brakenholm.model = 40;  // TQ8e
    brakenholm.line.dataBits = 8;
    brakenholm.line.parity = 'N';
    startPrinter(brakenholm);
    env.setProfile("Family", "Brakenholm");
    for (const char* args : {"identify", "setup show", "files list"}) {
        const Outcome o = run("tarvo", profile + args);
        ASSERT_EQ(o.status, 0) << args << ": " << o.err;
        EXPECT_FALSE(nlohmann::json::parse(o.out, nullptr, false).is_discarded()) << o.out;
    }

    const Outcome refused = run("tarvo", profile + "ping");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("ping shows nothing to write as JSON"), std::string::npos);
}

// "-" is standard output for pull and the report, standard input for push.
TEST_F(LinuxConventionsTest, DashMeansTheStandardStreams) {
    sim::Options o;
    o.line.protocol = sim::Protocol::Standard;
    startPrinter(o);
    const std::string profile = "--profile " + env.profilePath() + " ";
    const Outcome pulled = run("tarvo", profile + "config pull -");
    ASSERT_EQ(pulled.status, 0) << pulled.err;
    EXPECT_EQ(pulled.out.rfind("<ETX>6220E,", 0), 0u) << pulled.out;
    EXPECT_NE(pulled.err.find("to standard output."), std::string::npos) << pulled.err;

    const Outcome pushed = test::RunProgram(env, "tarvo", profile + "config push -", pulled.out);
    EXPECT_EQ(pushed.status, 0) << pushed.err;
    EXPECT_NE(pushed.out.find("Changes from standard input:"), std::string::npos) << pushed.out;

    const Outcome report = run("tarvo", profile + "report --sections comm --log -");
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("Communication Settings"), std::string::npos) << report.out;
    EXPECT_EQ(run("tarvo", profile + "config pull - --with-objects").status, 2);
}

// Two files that differ in darkness differ in that one line; a file against the printer that
// has since changed shows the change; equal files exit 0.
TEST_F(LinuxConventionsTest, ConfigDiffShowsWhatDiffers) {
    sim::Options o;
    o.line.protocol = sim::Protocol::Standard;
    startPrinter(o);
    const std::string profile = "--profile " + env.profilePath() + " ";
    const std::string a = env.root() + "/a.tcf", b = env.root() + "/b.tcf";
    ASSERT_EQ(run("tarvo", profile + "config pull " + a).status, 0);
    ASSERT_EQ(run("tarvo", profile + "--yes config set darkness=5").status, 0);
    ASSERT_EQ(run("tarvo", profile + "config pull " + b).status, 0);

    const Outcome differ = run("tarvo", profile + "config diff " + a + " " + b);
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_EQ(differ.out, "  darkness               0 -> 5\n");
    const Outcome same = run("tarvo", profile + "config diff " + b + " " + b);
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    const Outcome printer = run("tarvo", profile + "config diff " + a);
    EXPECT_EQ(printer.status, 1) << printer.err;
    EXPECT_EQ(printer.out, "  darkness               0 -> 5\n");

    const auto json =
        nlohmann::json::parse(run("tarvo", profile + "--json config diff " + a + " " + b).out);
    EXPECT_EQ(json["equal"], false);
    EXPECT_EQ(json["settings"][0]["name"], "darkness");
    EXPECT_EQ(json["settings"][0]["b"]["value"], 5);
    EXPECT_EQ(run("tarvo", profile + "config diff " + a + " /nonexistent.tcf").status, 2);
}

TEST_F(LinuxConventionsTest, AQuietSearchSaysOnlyWhatItFound) {
    const Outcome search = run("tarvo", "--simulate 6220E autoconnect --quiet");
    EXPECT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out.find("Trying"), std::string::npos) << search.out;
    EXPECT_EQ(search.out.rfind("Found a printer on COM1", 0), 0u) << search.out;
}

// A USB-serial adapter that no COM port names is searched through a COM port with nothing
// behind it, and that port keeps the adapter once the printer answered there.
TEST_F(LinuxConventionsTest, SearchReachesAnAdapterNoPortNames) {
    startPrinter();
    const std::string sysroot = env.root() + "/sysroot";
    std::filesystem::create_directories(sysroot + "/dev");
    std::filesystem::create_symlink(printer->devicePath(), sysroot + "/dev/ttyUSB0");
    env.setProfile("Device.COM1", env.root() + "/gone");
    env.setProfile("Device.COM2", "none");
    for (const char* port : {"Device.COM3", "Device.COM4"})
        env.setProfile(port, printer->devicePath());  // named on purpose: never taken away
    const std::string tarvo = "TARVO_SYSROOT=" + sysroot + " " + test::ProgramPath("tarvo") +
                              " --profile " + env.profilePath() + " ";
    const Outcome search = test::RunShell(env, tarvo + "autoconnect");
    EXPECT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out.find("Searching " + sysroot + "/dev/ttyUSB0"), std::string::npos)
        << "COM3 names the same device already:\n"
        << search.out;

    env.setProfile("Device.COM3", "none");
    env.setProfile("Device.COM4", "none");
    const Outcome found = test::RunShell(env, tarvo + "autoconnect --quiet");
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out.rfind("Found a printer on COM1", 0), 0u) << found.out;
    EXPECT_EQ(run("tarvo", "--profile " + env.profilePath() + " profile get Device.COM1").out,
              sysroot + "/dev/ttyUSB0\n");
    EXPECT_EQ(run("tarvo", "--profile " + env.profilePath() + " profile get Device.COM2").out,
              "none\n");
}

// A device path on the command line reaches the printer without the profile naming it, and
// leaves the profile as it was.
TEST_F(LinuxConventionsTest, DevicePathTalksToThePrinterThere) {
    startPrinter();
    env.setProfile("Device.COM1", "none");
    const std::string profile = "--profile " + env.profilePath();
    const Outcome ping = run("tarvo", profile + " --device " + printer->devicePath() + " ping");
    EXPECT_EQ(ping.status, 0) << ping.err;
    EXPECT_EQ(run("tarvo", profile + " profile get Device.COM1").out, "none\n");
}

TEST_F(LinuxConventionsTest, DeviceErrorsNameThePathAndTheSystemsText) {
    const Outcome missing = run("tarvo", "--device /dev/nosuch-ttyUSB9 ping");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("/dev/nosuch-ttyUSB9): No such file or directory"),
              std::string::npos)
        << missing.err;

    // A device this user may not open; the superuser may open anything, so the test then runs
    // the program as nobody.
    const std::string locked = env.root() + "/ttyLOCKED";
    std::ofstream(locked).flush();
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    // The test's own profile is out of nobody's reach too, so that run starts from none.
    const std::string asUser = ::geteuid() == 0 ? "TARVO_PROFILE=/nonexistent/tarvo32.ini setpriv "
                                                  "--reuid=65534 --regid=65534 --clear-groups "
                                                : "";
    const Outcome denied =
        test::RunShell(env, asUser + test::ProgramPath("tarvo") + " --device " + locked + " ping");
    EXPECT_EQ(denied.status, 1);
    EXPECT_NE(denied.err.find(locked + "): Permission denied"), std::string::npos) << denied.err;
    EXPECT_NE(denied.err.find("dialout"), std::string::npos) << denied.err;

    EXPECT_EQ(run("tarvo", "--device /dev/ttyUSB0 --simulate 6220E ping").status, 2);

    // A profile the user may not read is named, not a crash.
    if (::geteuid() == 0) {
        const Outcome unreadable =
            test::RunShell(env, "setpriv --reuid=65534 --regid=65534 --clear-groups " +
                                    test::ProgramPath("tarvo") + " --profile " + env.profilePath() +
                                    " --device " + locked + " ping");
        EXPECT_EQ(unreadable.status, 1);
        EXPECT_NE(unreadable.err.find("cannot copy the profile"), std::string::npos)
            << unreadable.err;
    }
}

}  // namespace
}  // namespace tarvo
