// The diagnostics dialogs as widgets against simulated printers, on the offscreen platform
// (the application object comes from the executable's environment).
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "desk/desk.h"
#include "qt/diag_dialogs.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"

namespace tarvo::app {
namespace {

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (auto* button : dialog.findChildren<QPushButton*>()) {
        if (button->text().remove('&') == text)
            return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

class QtDiagDialogs : public test::SimTest {
  protected:
    void start(const sim::Options& options) {
        startPrinter(options);
        session.kernelHandle = ctx;
        session.model = options.model;
    }
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(QtDiagDialogs, ReportFillsItsFieldsAndClosingEndsAutoMode) {
    start({});
    qt::CDiagReportDlg dialog(nullptr, desk);
    Button(dialog, "Manual")->click();
    EXPECT_EQ(dialog.fieldText(lanmere::DiagField::Gap), "12");
    // The context is still at the model DEFAULT, which has no label-path sensor.
    EXPECT_EQ(dialog.fieldText(lanmere::DiagField::LabelPath), "");
    EXPECT_EQ(dialog.fieldText(lanmere::DiagField::Supply40V), "");
    EXPECT_EQ(dialog.statusText(), "");
    Button(dialog, "Auto")->click();
    EXPECT_EQ(dialog.statusText(), "AUTO MODE ON");
    Button(dialog, "Auto")->click();
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{"Auto mode is already engaged."});
    dialog.reject();
    EXPECT_EQ(dialog.autoMode().state(), lanmere::DiagAutoMode::State::Off);
}

TEST_F(QtDiagDialogs, BrakenholmDialogChecksTheHeadAndResetsARefusedDot) {
    sim::Options o;
    o.family = sim::Family::Brakenholm;
    o.model = 40;
    start(o);
    session.printer = MakePrinter(session, prompt, 40);
    qt::CBrakDiagDlg dialog(nullptr, desk, *AsBrakPrinter(session.printer.get()));
    Button(dialog, "Complete head")->click();
    QStringList indicators;
    for (auto* label : dialog.findChildren<QLabel*>())
        indicators << label->text();
    EXPECT_TRUE(indicators.contains("GREEN")) << indicators.join(',').toStdString();
    auto* dot = dialog.findChild<QLineEdit*>("dot");
    ASSERT_NE(dot, nullptr);
    dot->setText("-1");
    Button(dialog, "Single dot")->click();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Tarvo Diagnostics");
    EXPECT_EQ(prompt.shown[0].text, "Please enter a dot value from 0 to 831");
    EXPECT_EQ(dot->text(), "0");
}

}  // namespace
}  // namespace tarvo::app
