// The Lanmere configuration sheets as widgets against a simulated printer: a value edited on
// each page reaches the printer on Send to Printer. The operator's clicks are made by a timer
// while the sheet runs modally.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <fstream>
#include <functional>

#include "desk/doc_commands.h"
#include "desk/startup.h"
#include "qt/dialogs.h"
#include "qt/page_widget.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/fonts.h"
#include "unit/bitmap_builder.h"

namespace tarvo::app {
namespace {

// Runs `step` on the sheet as soon as it is up, then presses its OK.
void OnSheet(std::function<void(qt::SheetDialog&)> step) {
    QTimer::singleShot(0, [step] {
        auto* sheet = qobject_cast<qt::SheetDialog*>(QApplication::activeModalWidget());
        if (sheet == nullptr) {
            OnSheet(step);
            return;
        }
        step(*sheet);
        sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

template <typename Widget>
Widget& Control(qt::SheetDialog& sheet, int page, const char* id) {
    auto* widget = qobject_cast<Widget*>(sheet.pageWidget(page)->control(id));
    if (widget == nullptr)
        throw std::runtime_error(std::string("no control ") + id);
    return *widget;
}

void Pick(QComboBox& box, const QString& text) {
    const int position = box.findText(text);
    box.setCurrentIndex(position);
    emit box.activated(position);
}

void Type(QLineEdit& edit, const QString& text) {
    edit.setText(text);
    emit edit.textEdited(text);
}

class QtLanPages : public test::SimTest {
  protected:
    void Start(int model, const char* firmware = "1.20") {
        sim::Options options;
        options.model = model;
        options.firmware = firmware;
        startPrinter(options);
    }
    void Load() {
        ASSERT_TRUE(InitializeSession(desk));
        ASSERT_TRUE(session.flags.identified);
        printer->clearTranscript();
    }
    void Send() {
        prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
        const OpResult sent = SendToPrinter(desk);
        ASSERT_TRUE(sent.ok()) << Describe(sent);
    }
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(QtLanPages, StandardPageSendsTheShownSpeed) {
    Start(0);
    Load();
    desk.config.values[3] = 35;  // no speed of the model's list
    OnSheet([](qt::SheetDialog& sheet) {
        EXPECT_EQ(Control<QComboBox>(sheet, 0, "speed").currentText(), "3.0 in/sec");
    });
    qt::RunPrinterSheet(nullptr, desk);
    Send();
    EXPECT_NE(test::HostSent(*printer).find("<SI>S30"), std::string::npos)
        << test::HostSent(*printer);
    EXPECT_EQ(printer->configValue(3), 30);
}

TEST_F(QtLanPages, OptionsPageFollowsTheCharacterSetToThePrinter) {
    Start(16, "2.4.1");
    ASSERT_TRUE(printer->setConfigValue(41, 1));
    Load();
    ASSERT_EQ(desk.config.values[41], 1);
    OnSheet([](qt::SheetDialog& sheet) {
        Pick(Control<QComboBox>(sheet, 0, "charset"), "France");
        EXPECT_FALSE(sheet.pageWidget(1)->control("slashed")->isEnabled());
    });
    qt::RunPrinterSheet(nullptr, desk);
    Send();
    EXPECT_EQ(printer->configValue(4), 4);
    EXPECT_EQ(printer->configValue(41), 0);
}

// The Port Settings page moves the printer at OK; the Printer page's edit waits for the send.
TEST_F(QtLanPages, CommunicationsPagesReachThePrinter) {
    Start(6);  // 6220
    Load();
    OnSheet([](qt::SheetDialog& sheet) {
        Control<QCheckBox>(sheet, 0, "media").click();
        Pick(Control<QComboBox>(sheet, 1, "rate"), "19200");
    });
    prompt.ExpectQuestion("Update printer with new communication parameters now?",
                          PromptAnswer::Yes);
    qt::RunCommSheet(nullptr, desk);
    EXPECT_EQ(printer->line().baud, 19200u);
    EXPECT_EQ(printer->configValue(22), 0);
    Send();
    EXPECT_EQ(printer->configValue(22), 1);
}

TEST_F(QtLanPages, CommandFileDialogQueuesAPageForTheSend) {
    Start(18);
    Load();
    const std::string path = env.root() + "/labels.fmt";
    std::ofstream(path) << "S3,LABELS;\nH1;\n";
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, path});
    OnSheet([](qt::SheetDialog& sheet) { Control<QPushButton>(sheet, 0, "select").click(); });
    qt::RunCommandFileDialog(nullptr, desk);
    Send();
    EXPECT_NE(test::HostSent(*printer).find("<STX>s03;S03;<ETX><STX>H1;<ETX>"), std::string::npos);
}

TEST_F(QtLanPages, MediaSheetSendsLengthAndDarkness) {
    Start(18);
    Load();
    OnSheet([](qt::SheetDialog& sheet) {
        Type(Control<QLineEdit>(sheet, 0, "length"), "5,00");
        Control<QSlider>(sheet, 1, "darkness").setValue(3);
    });
    qt::RunMediaSheet(nullptr, desk);
    Send();
    EXPECT_EQ(printer->configValue(15), 1016);
    EXPECT_EQ(printer->configValue(14), 3);
}

TEST_F(QtLanPages, MediaHandlingTearOffSendsItsSkipDistance) {
    Start(6);  // 6220
    ASSERT_TRUE(printer->setConfigValue(12, 1));
    ASSERT_TRUE(printer->setConfigValue(19, 0));
    Load();
    OnSheet([](qt::SheetDialog& sheet) {
        for (auto* button : sheet.pageWidget(0)->control("mode")->findChildren<QAbstractButton*>())
            if (button->text() == "Tear off")
                button->click();
        EXPECT_EQ(Control<QLineEdit>(sheet, 0, "skip").text(), "0.53");
    });
    qt::RunMediaHandlingDialog(nullptr, desk);
    Send();
    EXPECT_EQ(printer->configValue(19), 108);
}

void Click(qt::SheetDialog& sheet, const char* id, const QString& text = {}) {
    QWidget* control = sheet.pageWidget(0)->control(id);
    for (auto* button : control->findChildren<QAbstractButton*>())
        if (button->text() == text)
            button->click();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->click();
}

TEST_F(QtLanPages, FontAndGraphicQueuedOnTheirPagesDownloadOnSend) {
    sim::Options options;
    options.memoryFreeKb = 900;
    startPrinter(options);
    Load();
    PCULogicalFont face{};
    PCUTextMetrics metrics{};
    ASSERT_EQ(fonGetFontStructs(nullptr, "DejaVu Sans", &face, &metrics), 1);
    const std::string bmp = env.root() + "/logo.bmp";
    test::WriteFile(bmp, test::MonoBmp({"#..", "##."}));
    QLocale::setDefault(QLocale("ja_JP"));
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, face.filePath});
    QString fontLocation;
    OnSheet([&fontLocation](qt::SheetDialog& sheet) {
        Click(sheet, "path");
        Click(sheet, "storage", "Fixed");
        auto& sets = Control<QComboBox>(sheet, 0, "charset");
        EXPECT_EQ(sets.itemText(sets.count() - 1), "Japanese");
        Pick(sets, "Printable (ASCII 32-126)");
        fontLocation = Control<QComboBox>(sheet, 0, "location").currentText();
    });
    qt::RunFontSheet(nullptr, desk);
    QLocale::setDefault(QLocale::c());
    prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, bmp});
    QString graphicLocation;
    OnSheet([&graphicLocation](qt::SheetDialog& sheet) {
        Click(sheet, "path");
        Click(sheet, "rotation", "270 degrees");
        graphicLocation = Control<QComboBox>(sheet, 0, "location").currentText();
    });
    qt::RunGraphicSheet(nullptr, desk);
    ASSERT_EQ(desk.config.fonts.Count(), 1);
    ASSERT_EQ(desk.config.graphics.Count(), 1);
    Send();
    EXPECT_EQ(printer->bitmapFontGlyphs(fontLocation.mid(4).toUInt()).size(), 95u)
        << printer->lastRefusal();
    const auto graphic = printer->graphicImage(graphicLocation.mid(4).toUInt());
    ASSERT_TRUE(graphic) << printer->lastRefusal();
    // A quarter turn counter-clockwise: the right column becomes the top row.
    EXPECT_EQ(graphic->rows, (std::vector<std::string>{"..", ".#", "##"}));
}

}  // namespace
}  // namespace tarvo::app
