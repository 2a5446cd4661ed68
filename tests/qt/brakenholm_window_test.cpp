// The main window with a simulated TQ8e attached: start-up shows the Brakenholm model, the
// guide and the commands follow the Brakenholm rules, the Lanmere-only roads send nothing, and
// Connect > AutoConnect identifies and loads after its search.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>

#include "brakenholm/brak_printer.h"
#include "desk/connection_search.h"
#include "qt/main_window.h"
#include "qt/modal_answer.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo::app::qt {
namespace {

constexpr int kTq8e = 40;
constexpr int kQelPrintQualityTopic = 131184;

class BrakenholmWindow : public tarvo::test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        StartTq8e({});
    }

    // A TQ8e on `line`, with the profile as `--simulate TQ8e` leaves it: the line and the
    // family named, the model not yet.
    void StartTq8e(const sim::LineSettings& line) {
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = kTq8e;
        o.line = line;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
    }

    QPushButton* GuideButtonFor(MainWindow& window, int topic) {
        for (auto* button : window.startupGuide()->findChildren<QPushButton*>()) {
            if (button->property("helpTopic").toInt() == topic)
                return button;
        }
        return nullptr;
    }

    AppSession session;
    tarvo::test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(BrakenholmWindow, StartUpCarriesTheBrakenholmModelAndItsRules) {
    // A fresh profile names no line: the printer's listing then brings the host's line settings
    // in line, and the settings are read again halfway through the identification.
    for (const char* key : {"Baud", "Parity", "DataBits", "StopBits"})
        env.setProfile(key, "");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    MainWindow window(desk);
    window.setProblemDialog([] {
        ADD_FAILURE() << "no problem dialog expected";
        return ProblemChoice::Cancel;
    });
    ASSERT_TRUE(window.startSession());
    EXPECT_EQ(window.printerPaneText().toStdString(), "TQ8e  1.13");
    EXPECT_EQ(session.model, kTq8e);
    EXPECT_EQ(ReadSetting(setting::kPrinter, "?"), "TQ8e");
    EXPECT_EQ(ReadSetting(setting::kFamily, "?"), "Brakenholm");
    const auto* brak = AsBrakPrinter(session.printer.get());
    ASSERT_NE(brak, nullptr);
    EXPECT_EQ(brak->Model(), kTq8e);

    QPushButton* qelGuide = GuideButtonFor(window, kQelPrintQualityTopic);
    ASSERT_NE(qelGuide, nullptr);
    EXPECT_TRUE(qelGuide->isHidden());
    EXPECT_FALSE(GuideButtonFor(window, 10004)->isHidden());
    EXPECT_FALSE(window.action(CommandId::SetToDefault)->isEnabled());
    EXPECT_FALSE(window.action(CommandId::MediaHandling)->isEnabled());
    EXPECT_TRUE(window.action(CommandId::Reboot)->isEnabled());
}

TEST_F(BrakenholmWindow, CommunicationsIsNotAvailableYetAndSendsNothing) {
    MainWindow window(desk);
    ASSERT_TRUE(window.startSession());
    printer->clearTranscript();
    const std::pair<CommandId, const char*> unbuilt[] = {
        {CommandId::Communications, "Communications is not available yet."},
    };
    for (const auto& [id, text] : unbuilt) {
        ASSERT_TRUE(window.action(id)->isEnabled()) << text;
        prompt.shown.clear();
        window.runCommand(id);
        ASSERT_EQ(prompt.shown.size(), 1u) << text;
        EXPECT_EQ(prompt.shown[0].text, text);
    }
    EXPECT_EQ(tarvo::test::HostSent(*printer), "") << "no QEL frame, no boot-loader sequence";
}

// Chooses `group` in the printer-group dialog and presses OK.
test::ModalAnswer ChooseGroup(PrinterGroup group) {
    return test::ModalAnswer(
        QString::fromStdString(GroupDialogTexts().caption), [group](QWidget* dialog) {
            const auto radios = dialog->findChildren<QRadioButton*>();
            ASSERT_EQ(radios.size(), 3);
            radios[static_cast<int>(group)]->setChecked(true);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
}

// Closes the search window when it shows that the search failed (it stays up until then).
test::ModalAnswer CloseFailedSearch() {
    return test::ModalAnswer(QString::fromStdString(SearchFailureText().title),
                             [](QWidget* search) { static_cast<QDialog*>(search)->reject(); });
}

TEST_F(BrakenholmWindow, AutoConnectIdentifiesAndSwitchesFamilyAfterTheSearch) {
    // A line the search tries (the simulator's default 7E1 is none of them); the program
    // believes in a Lanmere 6220E on another line.
    StartTq8e({19200, 8, 'N', 2, sim::Protocol::XonXoff});
    env.setProfile("Family", "Lanmere");
    env.setProfile("Printer", "6220E");
    env.setProfile("Baud", "38400");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    ReadSettings(session, prompt);
    ASSERT_EQ(session.modelName, "6220E");
    MainWindow window(desk);
    const test::ModalAnswer group = ChooseGroup(PrinterGroup::Brakenholm);
    const test::ModalAnswer failure = CloseFailedSearch();
    window.runCommand(CommandId::AutoConnect);
    ASSERT_TRUE(group.answered());
    ASSERT_FALSE(failure.answered()) << "the search did not find the printer";

    EXPECT_TRUE(session.flags.identified);
    EXPECT_EQ(session.model, kTq8e);
    EXPECT_EQ(window.printerPaneText().toStdString(), "TQ8e  1.13");
    EXPECT_EQ(ReadSetting(setting::kFamily, "?"), "Brakenholm");
    EXPECT_EQ(ReadSetting(setting::kBaud, "?"), "19200");
    EXPECT_EQ(ReadSetting(setting::kDataBits, "?"), "8");
    const auto* brak = AsBrakPrinter(session.printer.get());
    ASSERT_NE(brak, nullptr);
    EXPECT_EQ(brak->Model(), kTq8e) << "the printer object follows the model the printer named";
    EXPECT_TRUE(GuideButtonFor(window, kQelPrintQualityTopic)->isHidden());
}

TEST_F(BrakenholmWindow, AutoConnectThatFindsNothingChangesNothing) {
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    env.setProfile("Family", "Lanmere");
    env.setProfile("Printer", "6220E");
    ReadSettings(session, prompt);
    session.flags.identified = session.flags.online = true;
    MainWindow window(desk);
    const test::ModalAnswer group = ChooseGroup(PrinterGroup::Brakenholm);
    const test::ModalAnswer failure = CloseFailedSearch();
    window.runCommand(CommandId::AutoConnect);
    ASSERT_TRUE(failure.answered());

    EXPECT_EQ(session.modelName, "6220E");
    EXPECT_FALSE(session.printer->IsScriptFamily()) << "no Brakenholm object under a Lanmere model";
    EXPECT_EQ(ReadSetting(setting::kFamily, "?"), "Lanmere");
}

}  // namespace
}  // namespace tarvo::app::qt
