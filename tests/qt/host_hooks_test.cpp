// The kernel's host hooks as the desktop program installs them: the progress window of a
// transfer, and waits that keep the window's timers running.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "gaugebar.h"
#include "qt/host_hooks.h"
#include "services/report/report_cups.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"
#include "tarvo/port.h"
#include "tarvo/report.h"

namespace tarvo::app::qt {
namespace {

class QtHostHooks : public ::testing::Test {
  protected:
    void SetUp() override { InstallQtHostHooks(&owner, prompt); }
    void TearDown() override { RemoveQtHostHooks(); }

    QProgressDialog* Progress() const { return owner.findChild<QProgressDialog*>(); }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    QWidget owner;
};

TEST_F(QtHostHooks, ATransferShowsAModalProgressDialogUntilItEnds) {
    InitProgressBar("Sending fonts", 0, 200);
    QProgressDialog* dialog = Progress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), "Sending fonts");
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->maximum(), 200);
    EXPECT_EQ(dialog->value(), 0);
    RunProgressBar(150);
    EXPECT_EQ(dialog->value(), 150);
    RunProgressBar(500);
    EXPECT_EQ(dialog->value(), 200) << "clamped to the range";
    DeleteProgressBar();
    EXPECT_EQ(Progress(), nullptr);
    RunProgressBar(10);  // after the end: nothing to move, nothing to crash

    // An unknown total gives a busy bar; a second transfer replaces the first window.
    InitProgressBar("Reading", 5, 5);
    ASSERT_NE(Progress(), nullptr);
    EXPECT_EQ(Progress()->maximum(), 0);
    InitProgressBar("Writing", 0, 10);
    EXPECT_EQ(owner.findChildren<QProgressDialog*>().size(), 1);
    EXPECT_EQ(Progress()->labelText(), "Writing");
    DeleteProgressBar();
}

TEST_F(QtHostHooks, AKernelWaitRunsTheWindowsTimers) {
    // (Input from the window system is held back during the wait as well; the offscreen
    // platform has no public way to queue such input, so that half is not tested here.)
    bool ticked = false;
    QTimer::singleShot(0, [&ticked] { ticked = true; });
    PCUWait(60);  // the real clock pumps between its slices
    EXPECT_TRUE(ticked);
}

// A print queue in which the operator presses the cancel window's Cancel while the first page
// goes out, as a click during the job would.
class CancellingSpooler final : public report::PrintSpooler {
  public:
    explicit CancellingSpooler(Qt::WindowModality* seen) : seen_(seen) {}
    bool openDefaultDestination() override { return true; }
    bool startJob(const char*) override { return true; }
    bool write(std::string_view) override {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box != nullptr && box->isVisible() && box->button(QMessageBox::Cancel)) {
                *seen_ = box->windowModality();
                box->button(QMessageBox::Cancel)->click();
            }
        }
        return true;
    }
    bool finishJob() override { return true; }
    void cancelJob() override {}
    std::string destinationName() const override { return "stand-in"; }

  private:
    Qt::WindowModality* seen_;
};

TEST_F(QtHostHooks, ThePrintJobsCancelWindowHoldsTheInputAndItsCancelEndsTheJob) {
    // The window must be application-modal: the waits let input through while it is open, and
    // that input may reach nothing but its Cancel button.
    static Qt::WindowModality seen = Qt::NonModal;
    report::SetSpoolerFactory([]() -> std::unique_ptr<report::PrintSpooler> {
        return std::make_unique<CancellingSpooler>(&seen);
    });
    const char* pages[] = {"page one", "page two"};
    const int status = PCUPrintTextPages("Job", "Print Log", pages, 2);
    report::SetSpoolerFactory(nullptr);
    EXPECT_EQ(status, PCU_ERR_PRINT_CANCELLED);
    EXPECT_EQ(seen, Qt::ApplicationModal);
}

}  // namespace
}  // namespace tarvo::app::qt
