// The Brakenholm configuration sheet and start-up program dialog on a simulated TQ8e: the
// directory lists and deletes, the clock page runs its timer only while shown and sets the
// printer's date, and a started program closes the window.
#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "brakenholm/brak_printer.h"
#include "qt/brak_cfg_sheet.h"
#include "qt/main_window.h"
#include "qt/modal_answer.h"
#include "support/cli_run.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo::app::qt {
namespace {

using namespace std::chrono;

class BrakCfgSheetTest : public tarvo::test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = 40;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        std::string error;
        for (const char* name : {"HELLO.PRG", "LOGO.PCX"})
            ASSERT_TRUE(printer->addFile({"c:", name, 100}, &error)) << error;
        window = std::make_unique<MainWindow>(desk);
        ASSERT_TRUE(window->startSession());
        brak = AsBrakPrinter(session.printer.get());
        ASSERT_NE(brak, nullptr);
    }

    AppSession session;
    tarvo::test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
    std::unique_ptr<MainWindow> window;
    CBrakPrinter* brak = nullptr;
};

TEST_F(BrakCfgSheetTest, DirectoryListsAndDeletesAfterAsking) {
    CBrakCfgDir page(desk, *brak);
    page.devices()->setCurrentItem(page.devices()->topLevelItem(0));  // c:
    EXPECT_EQ(page.count()->text(), "2 object(s)");
    page.files()->topLevelItem(0)->setSelected(true);  // HELLO.PRG
    prompt.ExpectQuestion("Are you sure you want to delete \n'c:HELLO.PRG'?", PromptAnswer::No);
    QMetaObject::invokeMethod(page.findChild<QPushButton*>(), "click");
    EXPECT_EQ(printer->files("c:").size(), 2u) << "No deletes nothing";
    prompt.ExpectQuestion("Are you sure", PromptAnswer::Yes);
    QMetaObject::invokeMethod(page.findChild<QPushButton*>(), "click");
    ASSERT_EQ(printer->files("c:").size(), 1u);
    EXPECT_EQ(page.count()->text(), "1 object(s)") << "listed again";
}

TEST_F(BrakCfgSheetTest, ClockRunsWhileShownAndSetsTheDate) {
    std::string error;
    ASSERT_TRUE(printer->setClock(sys_days{2030y / 1 / 2} + 10h, &error));
    CBrakCfgDateTime page(desk, *brak);
    page.show();
    EXPECT_TRUE(page.timer()->isActive());
    EXPECT_EQ(page.shown()->text().left(10), "2030-01-02");
    page.calendar()->setSelectedDate(QDate(2031, 2, 3));
    page.setDate();
    EXPECT_EQ(year_month_day(floor<days>(printer->clock())), 2031y / 2 / 3);
    EXPECT_EQ(page.shown()->text().left(10), "2031-02-03") << "read back";
    page.hide();
    EXPECT_FALSE(page.timer()->isActive());
}

TEST_F(BrakCfgSheetTest, StartedProgramClosesTheWindow) {
    window->show();
    test::ModalAnswer answer("Select Startup Program", [](QWidget* dialog) {
        dialog->findChildren<QRadioButton*>()[1]->setChecked(true);  // Labelkit
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window->runCommand(CommandId::SelectStartupProg);
    ASSERT_TRUE(answer.answered());
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(printer->transcriptText().find("RUN \"rom:lblshtxt.prg\""), std::string::npos);
}

TEST(BrakCfgSheetProgram, ShowSavesTheConfigurationOfASimulatedTq8e) {
    tarvo::test::TestEnv env;
    const std::string shot = env.root() + "/configuration.png";
    const auto run = tarvo::test::RunProgram(
        env, "tarvo32", "--simulate TQ8e --screenshot " + shot + " --show configuration");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("cancelled"), std::string::npos) << "the sheet is no extra dialog";
    EXPECT_GT(std::filesystem::file_size(shot), 0u);
}

}  // namespace
}  // namespace tarvo::app::qt
