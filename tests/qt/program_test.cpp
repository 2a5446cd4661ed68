// tarvo32 itself, started as a user starts it (on Qt's offscreen platform): what its status bar
// and its start-up dialogs show.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

#include "desk/connection_search.h"
#include "support/cli_run.h"
#include "support/test_env.h"

namespace tarvo::app::qt {
namespace {

using tarvo::test::RunProgram;

// Texts as the program's dialog report writes them: runs of white space as one blank.
std::string Simplified(const std::string& text) {
    return QString::fromStdString(text).simplified().toStdString();
}

// The program's own lines on standard error (Qt may add warnings of its platform).
std::string OwnLines(const std::string& err) {
    std::string own;
    for (const QString& line : QString::fromStdString(err).split('\n')) {
        if (line.startsWith("tarvo32: "))
            own += line.toStdString() + '\n';
    }
    return own;
}

TEST(Tarvo32Program, ASimulatedTq8eShowsItsModelInTheStatusBar) {
    tarvo::test::TestEnv env;
    const std::string shot = env.root() + "/tq8e.png";
    const auto run = RunProgram(env, "tarvo32", "--simulate TQ8e --screenshot " + shot);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "prompt: For Help, press F1\nprinter: TQ8e  1.13\nport: COM1\n");
    EXPECT_EQ(OwnLines(run.err), "") << "no dialog at start-up";
    EXPECT_GT(std::filesystem::file_size(shot), 0u);
}

TEST(Tarvo32Program, TheConfigurationPagesOpenByName) {
    for (const char* page : {"communications", "command-file"}) {
        tarvo::test::TestEnv env;
        const std::string shot = env.root() + "/" + page + ".png";
        const auto run =
            RunProgram(env, "tarvo32", "--simulate 6220E --screenshot " + shot + " --show " + page);
        ASSERT_EQ(run.status, 0) << page << ": " << run.err;
        EXPECT_EQ(OwnLines(run.err), "") << page;
        EXPECT_GT(std::filesystem::file_size(shot), 0u) << page;
    }
}

TEST(Tarvo32Program, WithoutAPrinterTheProblemDialogNamesWhatToCheck) {
    tarvo::test::TestEnv env;
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    const std::string shot = env.root() + "/none.png";
    const auto run = RunProgram(env, "tarvo32", "--screenshot " + shot);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("printer: DEFAULT  Unavailable\n"), std::string::npos) << run.out;
    // The problem dialog (cancelled), then the notice that the defaults are used.
    const std::string problem = "tarvo32: dialog " + env.root() + "/none-1.png cancelled: Tarvo: ";
    const std::string err = OwnLines(run.err);
    ASSERT_EQ(err.rfind(problem, 0), 0u) << run.err;
    const ProblemDialogText& text = ProblemDialogTexts();
    EXPECT_NE(err.find(text.heading + " " + text.intro), std::string::npos) << err;
    for (const std::string& cause : text.causes)
        EXPECT_NE(err.find(Simplified(cause)), std::string::npos) << cause;
    EXPECT_NE(err.find("/none-2.png cancelled: Notice: Using default configuration"),
              std::string::npos)
        << err;
    EXPECT_GT(std::filesystem::file_size(env.root() + "/none-1.png"), 0u);
}

TEST(Tarvo32Program, ShowSavesThePrinterConfigurationOfASimulated6220e) {
    tarvo::test::TestEnv env;
    const std::string shot = env.root() + "/printer.png";
    const auto run =
        RunProgram(env, "tarvo32", "--simulate 6220E --screenshot " + shot + " --show printer");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(OwnLines(run.err), "") << "the page itself is no extra dialog";
    EXPECT_EQ(run.out, "prompt: For Help, press F1\nprinter: 6220E  1.13\nport: COM1\n");
    EXPECT_GT(std::filesystem::file_size(shot), 0u);
}

TEST(Tarvo32Program, ShowSavesAPageOfTheQualityWizard) {
    tarvo::test::TestEnv env;
    for (const char* page : {"quality-wizard", "quality-wizard:8"}) {
        const std::string shot = env.root() + "/wizard.png";
        const auto run =
            RunProgram(env, "tarvo32", "--simulate 6220E --screenshot " + shot + " --show " + page);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(OwnLines(run.err), "") << "the wizard itself is no extra dialog";
        EXPECT_GT(std::filesystem::file_size(shot), 0u);
        std::filesystem::remove(shot);
    }
    EXPECT_EQ(RunProgram(env, "tarvo32", "--screenshot x.png --show quality-wizard:19").status, 2);
}

TEST(Tarvo32Program, ShowSavesThePagesOfTheBrakenholmQualityWizard) {
    tarvo::test::TestEnv env;
    env.setEnv("TARVO_HOME", TARVO_SOURCE_DIR "/data");
    for (const char* page : {"quality-wizard", "quality-wizard:3", "quality-wizard:6"}) {
        const std::string shot = env.root() + "/wizard.png";
        const auto run =
            RunProgram(env, "tarvo32", "--simulate TQ8e --screenshot " + shot + " --show " + page);
        ASSERT_EQ(run.status, 0) << page << ": " << run.err;
        EXPECT_EQ(OwnLines(run.err), "") << page;
        EXPECT_GT(std::filesystem::file_size(shot), 0u) << page;
        std::filesystem::remove(shot);
    }
    const auto beyond =
        RunProgram(env, "tarvo32",
                   "--simulate TQ8e --screenshot " + env.root() + "/x.png --show quality-wizard:7");
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("page quality-wizard is not offered for the TQ8e"), std::string::npos)
        << beyond.err;
}

TEST(Tarvo32Program, AnUnknownPageNamesTheKnownOnes) {
    tarvo::test::TestEnv env;
    const auto run = RunProgram(env, "tarvo32", "--screenshot x.png --show nosuch");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown page 'nosuch'; the pages are printer, "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(", firmware"), std::string::npos) << run.err;
}

TEST(Tarvo32Program, OptionsAreReadAsALinuxProgramReadsThem) {
    tarvo::test::TestEnv env;
    const std::string shot = env.root() + "/s.png";
    const struct {
        std::string args;
        int status;
        const char* said;  // in standard output for status 0, in the error otherwise
    } cases[] = {
        {"--bogus", 2, "tarvo32: unknown option '--bogus' (see tarvo32 --help)"},
        {"--simulate", 2, "--simulate needs a model name (e.g. 6220E)"},
        {"--show printer", 2, "--show needs --screenshot FILE"},
        {"-platform offscreen --version", 0, "tarvo32 "},  // Qt's own option is left to Qt
        {"--simulate=6220E --screenshot=" + shot, 0, "printer: 6220E "},
    };
    for (const auto& c : cases) {
        const auto run = RunProgram(env, "tarvo32", c.args);
        EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.said), std::string::npos)
            << c.args << ": " << run.out << run.err;
    }
}

}  // namespace
}  // namespace tarvo::app::qt
