// The main window driven through its menu entries against the simulated 6220E: Load from
// Printer, Save As, Open and Send to Printer in a row, and Print Report to a log file, with the
// kernel's own questions and save dialog coming through the window's prompt.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <sstream>

#include "qt/host_hooks.h"
#include "qt/main_window.h"
#include "qt/report_dialog.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/report.h"

namespace tarvo::app::qt {
namespace {

using test::ScriptedPrompt;

FileChoice Chosen(const std::string& path) {
    return {FileChoice::Outcome::Chosen, path};
}

// The configuration commands of a .tcf file as the printer receives them: each "<STX>...<ETX>"
// line with its frame removed and "<SI>" as the byte it stands for.
std::vector<std::string> ConfigCommands(const std::string& file) {
    std::vector<std::string> commands;
    std::istringstream lines(file);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string head = "<STX><SI>";
        const std::string tail = "<ETX>";
        if (line.rfind(head, 0) != 0 || line.size() < head.size() + tail.size())
            continue;
        commands.push_back("\x0f" +
                           line.substr(head.size(), line.size() - head.size() - tail.size()));
    }
    return commands;
}

class WindowRoundTrip : public test::SimTest {
  protected:
    void SetUp() override {
        test::SimTest::SetUp();
        startPrinter();
        window = std::make_unique<MainWindow>(desk);
        window->setProblemDialog([] {
            ADD_FAILURE() << "no problem dialog expected";
            return ProblemChoice::Cancel;
        });
        InstallQtHostHooks(window.get(), prompt);
        ASSERT_TRUE(window->startSession());
        ASSERT_TRUE(session.flags.identified);
    }

    void TearDown() override {
        RemoveQtHostHooks();
        window.reset();
        test::SimTest::TearDown();
    }

    // Chooses the menu entry as the operator would.
    void Choose(CommandId id) {
        QAction* action = window->action(id);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << FindCommand(id)->menu;
        action->trigger();
    }

    std::string Path(const std::string& name) const { return env.root() + "/" + name; }

    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
    std::unique_ptr<MainWindow> window;
};

TEST_F(WindowRoundTrip, LoadSaveOpenSendThroughTheMenus) {
    prompt.ExpectQuestion("Load data from attached printer", PromptAnswer::Ok);
    Choose(CommandId::LoadFromPrinter);
    const auto loaded = desk.config.values;

    prompt.ExpectSaveFile(Chosen(Path("first.tcf")));
    Choose(CommandId::SaveAs);
    const std::string first = test::ReadFile(Path("first.tcf"));
    ASSERT_EQ(first.rfind("<ETX>6220E,1.13\r\n", 0), 0u) << first.substr(0, 100);
    const std::vector<std::string> commands = ConfigCommands(first);
    ASSERT_GT(commands.size(), 10u);

    // Values changed in the program are replaced by the file's.
    desk.config.values[5] = loaded[5] == 0 ? 1 : 0;
    prompt.ExpectOpenFile(Chosen(Path("first.tcf")));
    Choose(CommandId::Open);
    auto expected = loaded;
    expected[7] = expected[8] =
        0;  // free memory and the image buffer are the printer's, not the file's
    EXPECT_EQ(desk.config.values, expected);

    // Saving what was opened gives the same file, byte for byte.
    prompt.ExpectSaveFile(Chosen(Path("second.tcf")));
    Choose(CommandId::SaveAs);
    EXPECT_EQ(test::ReadFile(Path("second.tcf")), first);

    // Sending it puts exactly the file's commands on the wire, in the file's order.
    printer->clearTranscript();
    prompt.ExpectQuestion("Send current updates to attached printer?", PromptAnswer::Ok);
    Choose(CommandId::SendToPrinter);
    EXPECT_FALSE(session.flags.modified);
    std::string heard;
    for (const std::string& body : printer->receivedMessages())
        heard += body;
    std::size_t from = 0;
    for (const std::string& command : commands) {
        const std::size_t at = heard.find(command, from);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << command.substr(1);
        from = at + command.size();
    }
    EXPECT_EQ(printer->configValue(5), loaded[5]);
    EXPECT_EQ(window->printerPaneText(), "6220E  1.13");
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{}) << "nothing went wrong";
}

// The send's question lists its change; Undo Last Send, a menu entry of its own, sends the
// printer's earlier value back.
TEST_F(WindowRoundTrip, SendTellsItsChangesAndTheUndoTakesThemBack) {
    constexpr int kDarkness = 14;
    desk.config.values[kDarkness] = 5;
    prompt.ExpectQuestion("Send current updates to attached printer?", PromptAnswer::Ok);
    Choose(CommandId::SendToPrinter);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_NE(prompt.shown.front().text.find("Changes:\n  darkness               0 -> 5\n"),
              std::string::npos)
        << prompt.shown.front().text;
    EXPECT_EQ(printer->configValue(kDarkness), 5);
    prompt.ExpectQuestion("held before the last send", PromptAnswer::Ok);
    Choose(CommandId::UndoLastSend);
    EXPECT_EQ(printer->configValue(kDarkness), 0);
    EXPECT_EQ(desk.config.values[kDarkness], 0);
}

TEST_F(WindowRoundTrip, PrintReportToALogFileAsksThroughThePrompt) {
    auto answerDialog = [](int sections) {
        QTimer::singleShot(0, [sections] {
            auto* dialog = qobject_cast<ReportDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->sections(), PCU_REPORT_ALL) << "every section ticked at first";
            EXPECT_FALSE(dialog->toFile());
            dialog->setSections(sections);
            dialog->setToFile(true);
            dialog->accept();
        });
    };
    answerDialog(PCU_REPORT_COMM | PCU_REPORT_CONFIG);
    prompt.ExpectSaveFile(Chosen(Path("report.log")));
    Choose(CommandId::PrintReport);
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_EQ(prompt.fileRequests[0].initialName, "report.log");
    EXPECT_EQ(prompt.fileRequests[0].defaultExtension, "log");
    const std::string report = test::ReadFile(Path("report.log"));
    EXPECT_NE(report.find("Tarvo Configuration Report"), std::string::npos);
    EXPECT_NE(report.find("Memory size"), std::string::npos);

    // A log file that cannot be created: the kernel's message comes through the prompt and
    // nothing is left behind.
    answerDialog(PCU_REPORT_COMM);
    prompt.ExpectSaveFile(Chosen(Path("no-such-dir/report.log")));
    Choose(CommandId::PrintReport);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().caption, "Error");
    EXPECT_EQ(prompt.shown.back().text, "Unable to open selected Log file");
    EXPECT_FALSE(std::filesystem::exists(Path("no-such-dir")));
}

}  // namespace
}  // namespace tarvo::app::qt
