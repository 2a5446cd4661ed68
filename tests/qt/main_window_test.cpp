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
#include <set>
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
    // Every action's state against the rules for the session as it is now.
    void ExpectStatesFollowRules(MainWindow& window) {
        window.refreshCommands();
        for (const CommandInfo& info : Commands()) {
            const QAction* action = window.action(info.id);
            ASSERT_NE(action, nullptr) << info.menu;
            EXPECT_EQ(action->isEnabled(), CommandEnabled(info.id, session)) << info.menu;
            const auto checked = CommandChecked(info.id, session, !window.toolbar()->isHidden());
            EXPECT_EQ(action->isCheckable(), checked.has_value()) << info.menu;
            EXPECT_EQ(action->isChecked(), checked.value_or(false)) << info.menu;
        }
    }

    test::TestEnv env;
    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(WindowTest, MenusAndToolbarComeFromTheCommandTable) {
    MainWindow window(desk);
    QStringList expectedMenus;
    std::vector<CommandId> withToolTips;
    for (const CommandInfo& info : Commands()) {
        const QStringList path = QString::fromLatin1(info.menu).split(" > ");
        if (!expectedMenus.contains(path.front()))
            expectedMenus << path.front();
        if (!CommandToolTip(info.id).empty())
            withToolTips.push_back(info.id);
        const QAction* action = window.action(info.id);
        ASSERT_NE(action, nullptr) << info.menu;
        EXPECT_EQ(action->text(), path.back());
        EXPECT_EQ(action->statusTip().toStdString(), CommandPrompt(info.id));
    }
    // The toolbar holds exactly the commands with a tool-tip, in menu order.
    const QList<QAction*> tools = window.toolbar()->actions();
    ASSERT_EQ(tools.size(), static_cast<qsizetype>(withToolTips.size()));
    for (std::size_t i = 0; i < withToolTips.size(); ++i) {
        EXPECT_EQ(tools[static_cast<qsizetype>(i)], window.action(withToolTips[i]));
        EXPECT_EQ(tools[static_cast<qsizetype>(i)]->toolTip().toStdString(),
                  CommandToolTip(withToolTips[i]));
    }
    QStringList menus;
    for (const QAction* top : window.menuBar()->actions())
        menus << top->text();
    EXPECT_EQ(menus, expectedMenus);
    // The nested entry sits in its submenu.
    const QAction* metric = window.action(CommandId::Metric);
    ASSERT_FALSE(metric->associatedObjects().isEmpty());
    const auto* parent = qobject_cast<const QMenu*>(metric->associatedObjects().front());
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->title(), "Measurements");
}

TEST_F(WindowTest, EnableStatesFollowTheRulesForBothFamilies) {
    MainWindow window(desk);
    ExpectStatesFollowRules(window);  // DEFAULT, nothing attached

    session.model = propGetPrinterID("6220E");
    session.modelName = "6220E";
    session.flags.identified = true;
    session.flags.online = true;
    session.metric = true;
    ExpectStatesFollowRules(window);
    EXPECT_TRUE(window.action(CommandId::LoadFromPrinter)->isEnabled());
    EXPECT_TRUE(window.action(CommandId::Metric)->isChecked());
    EXPECT_FALSE(window.action(CommandId::UsUnits)->isChecked());

    for (int model : {28, 29, 33}) {  // Brakenholm setup generations 0, 1 and 2
        session.printer = MakePrinter(session, prompt, model);
        ExpectStatesFollowRules(window);
    }
    // A disabled command does nothing when reached another way (a shortcut, a test): enabled,
    // Test Print would tell that the Brakenholm road is not built yet.
    session.flags.identified = false;
    session.flags.online = false;
    window.refreshCommands();
    ASSERT_FALSE(CommandEnabled(CommandId::TestPrint, session));
    window.runCommand(CommandId::TestPrint);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WindowTest, CommandsThatAreNotBuiltYetSaySo) {
    MainWindow window(desk);
    ASSERT_TRUE(CommandEnabled(CommandId::Communications, session));
    window.runCommand(CommandId::Communications);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Communications is not available yet.");
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

class WindowStartUp : public test::SimTest {
  protected:
    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(WindowStartUp, WithoutAPrinterThePanesShowDefaultAndUnavailable) {
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    MainWindow window(desk);
    int problems = 0;
    window.setProblemDialog([&problems] {
        ++problems;
        return ProblemChoice::Cancel;
    });
    ASSERT_TRUE(window.startSession());
    ASSERT_FALSE(prompt.Notices().empty());
    EXPECT_EQ(prompt.shown.back().caption, "Notice");  // working with the defaults
    EXPECT_EQ(problems, 1);
    EXPECT_FALSE(session.flags.identified);
    EXPECT_EQ(window.printerPaneText(), "DEFAULT  Unavailable");
    EXPECT_EQ(window.portPaneText(), "COM1");
    for (const CommandInfo& info : Commands())
        EXPECT_EQ(window.action(info.id)->isEnabled(), CommandEnabled(info.id, session))
            << info.menu;
}

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

TEST_F(WindowStartUp, IdentifiesTheSimulatedPrinterAndLoadsItsConfiguration) {
    startPrinter();
    ASSERT_TRUE(printer->setConfigValue(5, 3));
    MainWindow window(desk);
    window.setProblemDialog([] {
        ADD_FAILURE() << "no problem dialog expected";
        return ProblemChoice::Cancel;
    });
    ASSERT_TRUE(window.startSession());
    EXPECT_TRUE(session.flags.identified);
    EXPECT_EQ(session.modelName, "6220E");
    EXPECT_FALSE(session.flags.configNotRetrieved);
    EXPECT_EQ(desk.config.values[5], 3);
    EXPECT_EQ(window.printerPaneText(), "6220E  1.13");
    for (const CommandInfo& info : Commands())
        EXPECT_EQ(window.action(info.id)->isEnabled(), CommandEnabled(info.id, session))
            << info.menu;
    EXPECT_TRUE(window.action(CommandId::LoadFromPrinter)->isEnabled());
}

}  // namespace
}  // namespace tarvo::app::qt
