// The Brakenholm media sheet in the main window, against the simulated printer: Media Type
// opens it, OK sends the changed page in its order on both setup trees, a refused paper type
// sends nothing, and the quality page's sample leaves the printer's setup as it was.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cerrno>

#include "brakenholm/brak_printer.h"
#include "qt/brak_media_sheet.h"
#include "qt/main_window.h"
#include "qt/modal_answer.h"
#include "support/brak_fixture.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo::app::qt {
namespace {

constexpr int kMediaTq8e = 40;
constexpr int kMedia780 = 30;

class BrakMediaSheetTest : public tarvo::test::SimTest {
  protected:
    void Start(int model) {
        window.reset();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = model;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        env.setProfile("Printer", model == kMediaTq8e ? "TQ8e" : "780");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        window = std::make_unique<MainWindow>(desk);
        ASSERT_TRUE(window->startSession());
        ASSERT_EQ(session.model, model);
        printer->clearTranscript();
    }
    void TearDown() override {
        window.reset();
        SimTest::TearDown();
    }

    // Opens Media Type and runs `step` on the sheet.
    void OnSheet(std::function<void(CBrakMediaSheet&)> step) {
        const test::ModalAnswer answer("Media Type", [step](QWidget* dialog) {
            step(*static_cast<CBrakMediaSheet*>(dialog));
        });
        window->runCommand(CommandId::MediaType);
        EXPECT_TRUE(answer.answered());
    }

    std::vector<std::string> SetupLinesSent() const {
        std::vector<std::string> lines;
        for (const std::string& line : printer->receivedMessages()) {
            if (line.starts_with("SETUP \""))
                lines.push_back(line);
        }
        return lines;
    }

    AppSession session;
    tarvo::test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
    std::unique_ptr<MainWindow> window;
};

template <typename T>
T* Named(QWidget& page, const char* name) {
    T* widget = page.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QAbstractButton* ButtonText(QWidget& page, const QString& text) {
    for (QAbstractButton* button : page.findChildren<QAbstractButton*>()) {
        if (button->text() == text)
            return button;
    }
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

TEST_F(BrakMediaSheetTest, HandlingPageSendsAdjustAndSizeInOrderOnBothTrees) {
    const std::pair<int, std::vector<std::string>> trees[] = {
        {kMediaTq8e,
         {"SETUP \"FEEDADJ,STARTADJ,-114\"", "SETUP \"FEEDADJ,STOPADJ,70\"",
          "SETUP \"MEDIA,MEDIA SIZE,XSTART,8\"", "SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
          "SETUP \"MEDIA,MEDIA SIZE,LENGTH,1200\""}},
        {kMedia780,
         {"SETUP \"DETECTION,FEEDADJ,STARTADJ,-114\"", "SETUP \"DETECTION,FEEDADJ,STOPADJ,70\"",
          "SETUP \"SERVICE,MEDIA SIZE,XSTART,8\"", "SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"",
          "SETUP \"SERVICE,MEDIA SIZE,LENGTH,1200\""}},
    };
    for (const auto& [model, expected] : trees) {
        Start(model);
        OnSheet([](CBrakMediaSheet& sheet) {
            QWidget& page = *sheet.pages()[1];
            const std::pair<const char*, int> values[] = {{"startAdjust", -114},
                                                          {"stopAdjust", 70},
                                                          {"xStart", 8},
                                                          {"width", 832},
                                                          {"length", 1200}};
            for (const auto& [name, value] : values)
                Named<QSpinBox>(page, name)->setValue(value);
            sheet.accept();
        });
        EXPECT_EQ(SetupLinesSent(), expected) << "model " << model;
        EXPECT_EQ(printer->setupValue(model == kMediaTq8e ? "MEDIA,MEDIA SIZE,WIDTH"
                                                          : "SERVICE,MEDIA SIZE,WIDTH"),
                  "832");
    }
}

TEST_F(BrakMediaSheetTest, CutOffOnAGenerationOnePrinterWithAnEightDotHead) {
    Start(kMedia780);
    ASSERT_EQ(AsBrakPrinter(session.printer.get())->Identity().sysvar21, "8");
    OnSheet([](CBrakMediaSheet& sheet) {
        QWidget& page = *sheet.pages()[1];
        ButtonText(page, "&Cut off")->click();
        EXPECT_EQ(Named<QSpinBox>(page, "startAdjust")->value(), -114);
        EXPECT_EQ(Named<QSpinBox>(page, "stopAdjust")->value(), 70);
        EXPECT_EQ(Named<QLabel>(page, "currentSetting")->text(), "Cut off");
        Named<QSpinBox>(page, "startAdjust")->setValue(-294);
        Named<QSpinBox>(page, "stopAdjust")->setValue(250);
        EXPECT_EQ(Named<QLabel>(page, "currentSetting")->text(), "Custom")
            << "-294/250 cuts only variable length strip";
        sheet.reject();
    });
    EXPECT_TRUE(SetupLinesSent().empty()) << "Cancel sends nothing";
}

TEST_F(BrakMediaSheetTest, ThermalTransferWithoutRibbonIsRefusedAndNothingIsSent) {
    Start(kMediaTq8e);
    OnSheet([](CBrakMediaSheet& sheet) {
        QWidget& page = *sheet.pages()[2];
        QAbstractButton* transfer = ButtonText(page, "&Thermal Transfer (TTR)");
        transfer->click();
        EXPECT_FALSE(transfer->isChecked());
        EXPECT_TRUE(ButtonText(page, "&Direct Thermal (DT)")->isChecked());
        EXPECT_FALSE(sheet.pages()[2]->modified());
        sheet.accept();
    });
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{"No ribbon detected in printer.\nCannot "
                                                         "change paper type to thermal transfer."});
    EXPECT_TRUE(SetupLinesSent().empty());
}

TEST_F(BrakMediaSheetTest, QualityPageSampleLeavesTheSetupAsItWas) {
    Start(kMediaTq8e);
    const std::vector<std::string> listing = printer->setupListing();
    OnSheet([](CBrakMediaSheet& sheet) {
        QWidget& page = *sheet.pages()[0];
        Named<QSpinBox>(page, "constant")->setValue(75);
        Named<QSpinBox>(page, "factor")->setValue(20);
        ButtonText(page, "&Print")->click();
        sheet.reject();
    });
    const std::vector<std::string> printed = printer->printedLabels();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_TRUE(
        printed[0].starts_with("program: NCONSTANT$=\"075\"; NFACTOR$=\"020\"; NOFFSET$=\"\"; "))
        << printed[0];
    EXPECT_EQ(printer->setupListing(), listing);
    EXPECT_TRUE(prompt.Notices().empty());
}

class BrakMediaSheetPort : public tarvo::test::BrakTest {};

TEST_F(BrakMediaSheetPort, AFailedWriteIsNamedAndItsPageStaysChanged) {
    CBrakPrinter& brak = MakePrinter(kMediaTq8e);
    Desk desk(session, prompt);
    CBrakMediaSheet sheet(brak, desk);
    QWidget& handling = *sheet.pages()[1];
    Named<QSpinBox>(handling, "startAdjust")->setValue(-90);
    Named<QSpinBox>(handling, "xStart")->setValue(8);
    port->FailWritesContaining("XSTART", EIO);
    EXPECT_FALSE(sheet.apply());
    EXPECT_TRUE(sheet.pages()[1]->modified());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Error");
    EXPECT_NE(prompt.shown[0].text.find("x-start"), std::string::npos) << prompt.shown[0].text;

    port->FailWritesContaining("never written", 0);
    port->ClearRecord();
    EXPECT_TRUE(sheet.apply()) << "the page is sent again once the line works";
    EXPECT_FALSE(sheet.pages()[1]->modified());
    EXPECT_EQ(port->Commands().front(), "SETUP \"FEEDADJ,STARTADJ,-90\"");
    EXPECT_EQ(brak.GetSetup().xStart, 8);
}

}  // namespace
}  // namespace tarvo::app::qt
