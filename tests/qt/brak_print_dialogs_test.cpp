// Print Report and Test Print from the main window with a simulated TQ8e: the dialogs the
// operator sees, a symbology printed from the dialog's list, and the report saved to the log
// file the operator chose.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>

#include "qt/brak_print_dialogs.h"
#include "qt/main_window.h"
#include "qt/modal_answer.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo::app::qt {
namespace {

using test::ButtonNamed;

class BrakPrintDialogs : public tarvo::test::SimTest {
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
    }

    AppSession session;
    tarvo::test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(BrakPrintDialogs, TestPrintPrintsTheSymbologyChosenInItsList) {
    MainWindow window(desk);
    ASSERT_TRUE(window.startSession());
    const std::vector<std::string> setupBefore = printer->setupListing();
    bool fontsListed = false;
    test::ModalAnswer answer("Test Print", [&](QWidget* dialog) {
        auto* dlg = static_cast<CBrakTestPrintDlg*>(dialog);
        const auto combos = dialog->findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 4);
        fontsListed = combos[1]->findText("Swiss 721 Bold BT") >= 0;
        dialog->findChildren<QRadioButton*>()[3]->click();
        combos[3]->setCurrentIndex(combos[3]->findText("Code 128"));
        EXPECT_EQ(dlg->choice().name, "CODE128");
        ButtonNamed(dialog, "&Print")->click();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
    });
    window.runCommand(CommandId::TestPrint);
    ASSERT_TRUE(answer.answered());
    EXPECT_TRUE(fontsListed) << "the font list comes from the printer's FONTS listing";
    ASSERT_EQ(printer->printedLabels().size(), 1u);
    EXPECT_EQ(printer->printedLabels()[0].rfind("label: BT \"CODE128\"", 0), 0u);
    EXPECT_EQ(printer->setupListing(), setupBefore);
    EXPECT_TRUE(prompt.Notices().empty());
}

TEST_F(BrakPrintDialogs, TheReportGoesToTheChosenLogFile) {
    MainWindow window(desk);
    ASSERT_TRUE(window.startSession());
    const std::string log = env.root() + "/Tarvo.log";
    prompt.ExpectSaveFile({FileChoice::Outcome::Chosen, log});
    test::ModalAnswer answer("Print Report", [&](QWidget* dialog) {
        auto* dlg = static_cast<CBrakReportDlg*>(dialog);
        dlg->setSections(0);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        EXPECT_TRUE(dialog->isVisible()) << "no section: the dialog stays";
        dlg->setSections(kBrakReportFonts);
        dialog->findChildren<QRadioButton*>()[1]->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window.runCommand(CommandId::PrintReport);
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(
        prompt.Notices(),
        (std::vector<std::string>{"You must select at least one Print Item in order to print."}));
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_EQ(prompt.fileRequests[0].filter, " Text file (*.*)|*.log||");
    EXPECT_EQ(prompt.fileRequests[0].initialName, "Tarvo.log");
    const std::string text = tarvo::test::ReadFile(log);
    EXPECT_NE(text.find("\r\n*** Installed Fonts\r\n    Swiss 721 BT\r\n"), std::string::npos)
        << text;
}

TEST(BrakPrintLogDlg, NoPrintQueueMeansNoPrinting) {
    EXPECT_FALSE(CBrakPrintLogDlg("Unknown", 1, nullptr).printingEnabled());
    EXPECT_TRUE(CBrakPrintLogDlg("labels", 2, nullptr).printingEnabled());
}

}  // namespace
}  // namespace tarvo::app::qt
