// The connection and test print dialogs as widgets, on the offscreen platform: the operator's
// clicks are made by timers while the dialogs run modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "desk/desk.h"
#include "qt/dialogs.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"

// The font configuration library keeps its caches for the life of the process; that is not a
// leak of this program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tarvo::app {
namespace {

// One application object for all tests, deleted before the process ends.
class QtEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[20] = "qt_lan_dialogs_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs `step` on the modal dialog as soon as one is up.
void OnModal(std::function<void(QDialog&)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            OnModal(step);
            return;
        }
        step(*dialog);
    });
}

class QtLanDialogs : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"})
            env.setProfile(std::string("Device.") + port, "none");
        startPrinter();
        session.kernelHandle = ctx;
    }
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(QtLanDialogs, TestPrintForAG5QelListsItsSymbologiesAndMetricSizes) {
    session.model = 15;
    session.modelName = "G5-QEL";
    session.metric = true;
    int symbologies = -1;
    QString sizeTitle;
    OnModal([&](QDialog& dialog) {
        for (auto* box : dialog.findChildren<QComboBox*>())
            if (box->count() > 0 && box->itemText(0).startsWith("Code 39"))
                symbologies = box->count();
        for (auto* group : dialog.findChildren<QGroupBox*>())
            if (group->title().startsWith("Label Size"))
                sizeTitle = group->title();
        dialog.reject();
    });
    qt::RunTestPrintDialog(nullptr, desk);
    EXPECT_EQ(symbologies, 19);
    EXPECT_EQ(sizeTitle, "Label Size (cm)");
}

TEST_F(QtLanDialogs, LanmereGroupSearchFindsThePrinter) {
    printer->setLine({19200, 8, 'N', 1, sim::Protocol::Standard});
    OnModal([](QDialog& dialog) {
        for (auto* radio : dialog.findChildren<QRadioButton*>())
            if (radio->text().startsWith("Lanmere"))
                radio->setChecked(true);
        dialog.accept();
    });
    EXPECT_TRUE(qt::RunPrinterGroupDialog(nullptr, desk, -1));
    EXPECT_TRUE(session.flags.autoConnectSucceeded);
    EXPECT_EQ(session.baud, 19200);
}

TEST_F(QtLanDialogs, CancellingTheGroupDialogGivesUp) {
    OnModal([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(qt::RunConnectionTest(nullptr, desk));
    EXPECT_TRUE(session.flags.giveUp);
}

}  // namespace
}  // namespace tarvo::app
