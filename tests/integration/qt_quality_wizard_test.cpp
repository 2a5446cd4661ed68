// The print quality wizard's window against a simulated printer, started from the Print Quality
// page as an operator starts it: a test label prints, Send to printer leaves the chosen
// sensitivity and darkness on the printer, and Finish puts them into the page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "desk/startup.h"
#include "qt/dialogs.h"
#include "qt/page_widget.h"
#include "qt/quality_wizard_dialog.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"

namespace tarvo::app {
namespace {

template <typename Widget>
Widget& On(qt::PageWidget* page, const char* id) {
    auto* widget = qobject_cast<Widget*>(page->control(id));
    if (widget == nullptr)
        throw std::runtime_error(std::string("no control ") + id);
    return *widget;
}

// Runs `step` on the modal window of type `Window` as soon as it is up.
template <typename Window>
void WhenUp(std::function<void(Window&)> step) {
    QTimer::singleShot(0, [step] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            WhenUp<Window>(step);
            return;
        }
        step(*window);
    });
}

class QtQualityWizard : public test::SimTest {
  protected:
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(QtQualityWizard, ARunFromThePrintQualityPageLeavesTheChoiceOnThePrinter) {
    startPrinter();
    printer->setConfigValues('g', {0, 180});
    printer->setConfigValue(14, 0);
    ASSERT_TRUE(InitializeSession(desk));
    std::vector<int> pagesSeen;
    WhenUp<qt::CMediaWizardSheet>([&](qt::CMediaWizardSheet& wizard) {
        auto next = [&] {
            pagesSeen.push_back(wizard.pageWidget()->page().title().back() - '0');
            wizard.nextButton()->click();
        };
        next();  // standard format
        next();  // direct thermal, the speed shown
        const QString number = "440";
        On<QLineEdit>(wizard.pageWidget(), "number").setText(number);
        emit On<QLineEdit>(wizard.pageWidget(), "number").textEdited(number);
        next();
        On<QPushButton>(wizard.pageWidget(), "print").click();
        next();
        On<QSlider>(wizard.pageWidget(), "darkness").setValue(4);
        next();
        EXPECT_FALSE(wizard.nextButton()->isVisible());
        On<QPushButton>(wizard.pageWidget(), "send").click();
        wizard.finishButton()->click();
    });
    WhenUp<qt::SheetDialog>([](qt::SheetDialog& sheet) {
        On<QPushButton>(sheet.pageWidget(1), "wizard").click();
        EXPECT_EQ(On<QSlider>(sheet.pageWidget(1), "darkness").value(), 4);
        sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    qt::RunMediaSheet(nullptr, desk);

    EXPECT_EQ(pagesSeen, (std::vector<int>{1, 2, 7, 8, 9}));
    EXPECT_EQ(printer->configValue(13), 440);
    EXPECT_EQ(printer->configValue(14), 4);
    ASSERT_EQ(printer->printedLabels().size(), 1u);
    EXPECT_EQ(prompt.Notices().back(), "Done!");
    // What the wizard wrote is the configuration's and the printer's: nothing left to send.
    EXPECT_EQ(desk.config.values[13], 440);
    EXPECT_EQ(desk.config.values[14], 4);
    EXPECT_FALSE(session.flags.modified);
}

}  // namespace
}  // namespace tarvo::app
