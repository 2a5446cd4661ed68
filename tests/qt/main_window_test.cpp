// The main window over the core: menus and toolbar from the command table, enable states from
// its rules, the status panes, start-up against the simulated 6220E, the splash and placement.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <utility>
#include <vector>

#include "brakenholm/brak_printer.h"
#include "qt/main_window.h"
#include "qt/qt_prompt.h"
#include "qt/splash.h"
#include "qt/window_placement.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/test_env.h"
#include "tarvo/models.h"

namespace tarvo::app::qt {
namespace {

using test::ScriptedPrompt;

class WindowTest : public ::testing::Test {
  protected:
    test::TestEnv env;
    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

// The window builds its menus from the command table and takes its states from the rules; the
// table and the rules are the core's tests. Here: that what the operator sees arrives.
TEST_F(WindowTest, MenusToolbarAndStatesReachTheWindow) {
    MainWindow window(desk);
    const QAction* load = window.action(CommandId::LoadFromPrinter);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->statusTip(), "Load configuration settings from current printer");
    EXPECT_TRUE(window.toolbar()->actions().contains(window.action(CommandId::SaveAs)));
    EXPECT_FALSE(window.toolbar()->actions().contains(window.action(CommandId::Metric)));
    EXPECT_EQ(window.menuBar()->actions().front()->text(), "File");
    // The nested entry sits in its submenu.
    const QAction* metric = window.action(CommandId::Metric);
    ASSERT_FALSE(metric->associatedObjects().isEmpty());
    const auto* parent = qobject_cast<const QMenu*>(metric->associatedObjects().front());
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->title(), "Measurements");

    EXPECT_FALSE(window.action(CommandId::TestPrint)->isEnabled()) << "nothing attached";
    session.model = propGetPrinterID("6220E");
    session.flags.identified = true;
    session.flags.online = true;
    session.metric = true;
    window.refreshCommands();
    EXPECT_TRUE(window.action(CommandId::TestPrint)->isEnabled());
    EXPECT_TRUE(window.action(CommandId::Metric)->isChecked());
    EXPECT_FALSE(window.action(CommandId::UsUnits)->isChecked());
    session.printer = MakePrinter(session, prompt, 29);  // Brakenholm setup generation 1
    window.refreshCommands();
    EXPECT_FALSE(window.action(CommandId::ResetPrinter)->isEnabled()) << "generation 1";

    // A disabled command does nothing when reached another way (a shortcut, a test): enabled,
    // Test Print would tell that the Brakenholm road is not built yet.
    session.flags.identified = false;
    session.flags.online = false;
    window.refreshCommands();
    ASSERT_FALSE(window.action(CommandId::TestPrint)->isEnabled());
    window.runCommand(CommandId::TestPrint);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WindowTest, ViewSwitchesStoreTheirSettings) {
    MainWindow window(desk);
    window.show();
    ASSERT_TRUE(session.startupGuide);
    EXPECT_TRUE(window.startupGuide()->isVisible());
    window.runCommand(CommandId::StartupGuide);
    EXPECT_FALSE(window.startupGuide()->isVisible());
    EXPECT_EQ(ReadSetting(setting::kViewStartup, "?"), "0");
    EXPECT_FALSE(window.action(CommandId::StartupGuide)->isChecked());

    window.runCommand(CommandId::Metric);
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "Metric");
    EXPECT_TRUE(window.action(CommandId::Metric)->isChecked());
    window.runCommand(CommandId::UsUnits);
    EXPECT_EQ(ReadSetting(setting::kMeasurements, "?"), "English");

    window.runCommand(CommandId::MainToolbar);
    EXPECT_TRUE(window.toolbar()->isHidden());
    EXPECT_FALSE(window.action(CommandId::MainToolbar)->isChecked());
}

TEST_F(WindowTest, SplashGoesAtAKeyOrAClickAnywhereAndBeforeAModalDialog) {
    MainWindow window(desk);
    window.show();
    const std::pair<const char*, std::function<void(SplashWindow*)>> events[] = {
        {"key on the splash", [](SplashWindow* splash) { QTest::keyClick(splash, Qt::Key_Space); }},
        {"key on the main window",
         [&window](SplashWindow*) { QTest::keyClick(&window, Qt::Key_A); }},
        {"click on the main window",
         [&window](SplashWindow*) { QTest::mouseClick(&window, Qt::LeftButton); }},
        {"a modal dialog opening",
         [&window](SplashWindow*) {
             QDialog dialog(&window);
             dialog.setModal(true);
             dialog.show();
         }},
    };
    for (const auto& [what, event] : events) {
        QPointer<SplashWindow> splash = new SplashWindow;
        splash->show();
        event(splash.data());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull()) << what;
    }
}

TEST_F(WindowTest, PlacementDefaultsAndRoundTrip) {
    EXPECT_EQ(DefaultPlacement(QSize(1024, 768)), QRect(304, 192, 415, 384));
    EXPECT_EQ(DefaultPlacement(QSize(1920, 1080)), QRect(735, 270, 450, 540));
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(PullOntoScreen(QRect(2000, 900, 400, 300), screen, QSize(32, 32)),
              QRect(992, 736, 400, 300));
    EXPECT_EQ(PullOntoScreen(QRect(-50, -10, 400, 300), screen, QSize(32, 32)),
              QRect(0, 0, 400, 300));

    {
        MainWindow window(desk);
        window.setGeometry(100, 120, 500, 400);
        ASSERT_TRUE(SavePlacement(window));
    }
    EXPECT_EQ(ReadSetting("Left", "?"), "100");
    EXPECT_EQ(ReadSetting("Top", "?"), "120");
    EXPECT_EQ(ReadSetting("Right", "?"), "600");
    EXPECT_EQ(ReadSetting("Bottom", "?"), "520");
    EXPECT_EQ(ReadSetting("Status", "?"), "1");
    MainWindow again(desk);
    EXPECT_EQ(again.size(), QSize(500, 400));
}

TEST_F(WindowTest, PromptSeamAndFilters) {
    QtPrompt qtPrompt(nullptr);
    qtPrompt.queueAnswer(PromptAnswer::Retry);
    Question q;
    q.caption = "Caption";
    q.text = "Text";
    EXPECT_EQ(qtPrompt.Ask(q), PromptAnswer::Retry);
    EXPECT_EQ(qtPrompt.lastQuestion().caption, "Caption");
    qtPrompt.queueFile({FileChoice::Outcome::Chosen, "/tmp/x.tcf"});
    const FileChoice chosen = qtPrompt.ChooseSaveFile({});
    EXPECT_EQ(chosen.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(chosen.path, "/tmp/x.tcf");
    qtPrompt.BeginBusy();
    qtPrompt.BeginBusy();
    qtPrompt.EndBusy();
    qtPrompt.EndBusy();
    qtPrompt.EndBusy();  // one too many is ignored
    EXPECT_EQ(qtPrompt.busyDepth(), 0);

    EXPECT_EQ(DialogFilter(" Tarvo Config (*.tcf)|*.tcf||"), "Tarvo Config (*.tcf)");
    EXPECT_EQ(DialogFilter("Log files (*.log)|*.log|Text (*.txt)|*.txt|"),
              "Log files (*.log);;Text (*.txt)");
    EXPECT_EQ(DialogFilter(""), "");
}

// Start-up with and without a printer is played through the core (lan_desk_test), the real
// program (program_test) and the window's menus (window_roundtrip_test).
class WindowStartUp : public test::SimTest {
  protected:
    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(WindowStartUp, SplashClosesWhenTheWindowIsReady) {
    startPrinter();
    MainWindow window(desk);
    QPointer<SplashWindow> splash = new SplashWindow;
    QObject::connect(&window, &MainWindow::sessionReady, splash.data(), &QWidget::close);
    splash->show();
    ASSERT_TRUE(window.startSession());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace tarvo::app::qt
