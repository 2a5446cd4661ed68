// The desktop's Brakenholm transfers against a simulated TQ8e and its real receiver (lrzsz's
// rz): a font through the font chooser, an abort in the progress window, images through the
// image chooser, and a firmware file through the firmware page and the reboot after it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "brakenholm/brak_printer.h"
#include "qt/brak_transfer_windows.h"
#include "qt/main_window.h"
#include "qt/modal_answer.h"
#include "support/cli_run.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/base/script_firmware.h"
#include "tarvo/kernel.h"

namespace tarvo::app::qt {
namespace {

using test::ButtonNamed;

constexpr int kTransferTq8e = 40;

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(3);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

// The bytes the host sent the printer.
std::string BytesFromHost(const sim::PrinterSim& printer) {
    std::string sent;
    for (const auto& entry : printer.transcript()) {
        if (entry.direction == sim::Direction::HostToPrinter)
            sent += entry.bytes;
    }
    return sent;
}

class BrakTransferWindow : public tarvo::test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        if (::access("/usr/bin/rz", X_OK) != 0)
            GTEST_SKIP() << "lrzsz is not installed (scripts/install-deps)";
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = kTransferTq8e;
        o.firmware = "Tallyscript 7.40";
        o.line = line;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        window = std::make_unique<MainWindow>(desk);
        ASSERT_TRUE(window->startSession());
        printer->clearTranscript();
    }
    void TearDown() override {
        window.reset();
        SimTest::TearDown();
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Opens `command`'s dialog titled `title`, chooses `path` with Browse, presses Send
    // (answering the name-taken question with `nameTaken` when given) and closes the dialog.
    void SendThrough(CommandId command, const QString& title, const std::string& path,
                     std::optional<PromptAnswer> nameTaken = std::nullopt) {
        prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, path});
        if (nameTaken)
            prompt.ExpectQuestion("name is already used in the printer.", *nameTaken);
        const test::ModalAnswer answer(title, [](QWidget* dialog) {
            ButtonNamed(dialog, "&Browse...")->click();
            ButtonNamed(dialog, "&Send")->click();
            static_cast<QDialog*>(dialog)->reject();
        });
        window->runCommand(command);
        ASSERT_TRUE(answer.answered());
    }

    const sim::LineSettings line{19200, 8, 'O', 1, sim::Protocol::XonXoff};
    AppSession session;
    tarvo::test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
    std::unique_ptr<MainWindow> window;
};

TEST_F(BrakTransferWindow, TheFontChooserStoresTheFileByteForByte) {
    const std::string font = RandomBytes(30000);
    SendThrough(CommandId::Fonts, "Fonts", write("sans.ttf", font));
    EXPECT_TRUE(printer->fileContent("c:", "SANS.TTF") == font);
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{"Stored SANS.TTF on the printer."});
    EXPECT_EQ(printer->line(), line) << "the printer's line is back";

    // The name is now taken: the chooser asks, and No sends nothing.
    printer->clearTranscript();
    SendThrough(CommandId::Fonts, "Fonts", write("sans.ttf", RandomBytes(10)), PromptAnswer::No);
    EXPECT_EQ(BytesFromHost(*printer).find("RUN"), std::string::npos);
}

TEST_F(BrakTransferWindow, CancelInTheProgressWindowSendsCan) {
    // Cancel once data flows, so that the printer's receiver is running and must be told.
    QTimer whenSending;
    const test::ModalAnswer cancel("Downloading Font", [&whenSending](QWidget* window) {
        auto* monitor = static_cast<CBrakXferMonitor*>(static_cast<QDialog*>(window));
        QObject::connect(&whenSending, &QTimer::timeout, monitor, [monitor] {
            if (monitor->findChild<QProgressBar*>()->value() > 0)
                monitor->RequestAbort();
        });
        whenSending.start(1);
    });
    SendThrough(CommandId::Fonts, "Fonts", write("big.ttf", RandomBytes(200000)));
    ASSERT_TRUE(cancel.answered());
    EXPECT_NE(BytesFromHost(*printer).find(std::string(8, '\x18')), std::string::npos);
    EXPECT_TRUE(printer->files("c:").empty());
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_NE(prompt.shown.back().text.find("Error \"2\""), std::string::npos)
        << prompt.shown.back().text;
}

TEST_F(BrakTransferWindow, TheImageChooserSendsMonochromeImagesOnly) {
    std::string pcx(128, '\0');
    pcx[0] = 0x0A;
    pcx[3] = 1;   // one bit per pixel
    pcx[65] = 1;  // one plane
    SendThrough(CommandId::Graphics, "Graphics", write("logo.pcx", pcx + "\xFF\x80"));
    EXPECT_EQ(AsBrakPrinter(session.printer.get())->QueryLine("IMAGES").text, "LOGO  130\r\n");

    printer->clearTranscript();
    pcx[3] = 8;
    SendThrough(CommandId::Graphics, "Graphics", write("colour.pcx", pcx));
    EXPECT_EQ(prompt.Notices().back(),
              "This file must be converted to monochrome before\nbeing downloaded to the printer.");
    EXPECT_EQ(BytesFromHost(*printer).find("IMAGE LOAD"), std::string::npos);
}

TEST_F(BrakTransferWindow, TheFirmwarePageSendsTheFileAndRebootsIntoIt) {
    const std::string firmware =
        platform::ScriptFirmwareHeader("Tallyscript 7.41") + RandomBytes(5000);
    const std::string path = write("fw.bin", firmware);
    prompt.ExpectQuestion("Current printer firmware is", PromptAnswer::Ok);
    prompt.ExpectQuestion("You must reboot the printer", PromptAnswer::Ok);
    const test::ModalAnswer page("Change Firmware", [&path](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QString::fromStdString(path));
        ButtonNamed(dialog, "&Download")->click();
        static_cast<QDialog*>(dialog)->reject();
    });
    window->runCommand(CommandId::ChangeFirmware);
    ASSERT_TRUE(page.answered());
    EXPECT_TRUE(printer->fileContent("c:", "fw.bin") == firmware);
    EXPECT_NE(BytesFromHost(*printer).find("reboot\r"), std::string::npos);
    EXPECT_TRUE(prompt.Notices().empty()) << prompt.Notices().front();
    EXPECT_NE(
        AsBrakPrinter(session.printer.get())->QueryLine("PRINT VERSION$(0)").text.find("7.41"),
        std::string::npos);
}

TEST_F(BrakTransferWindow, TheRebootWindowWaitsForThePrinterOrForCancel) {
    window->runCommand(CommandId::Reboot);
    EXPECT_TRUE(prompt.shown.empty()) << prompt.shown.front().text;
    const std::string answered = BytesFromHost(*printer);
    EXPECT_NE(answered.find("reboot\r"), std::string::npos);
    EXPECT_NE(answered.find("SYSVAR(18)=2\r"), std::string::npos) << "it asked until \"ok\"";

    printer->clearTranscript();
    const test::ModalAnswer cancel("Reboot",
                                   [](QWidget* dialog) { ButtonNamed(dialog, "Cancel")->click(); });
    window->runCommand(CommandId::Reboot);
    ASSERT_TRUE(cancel.answered());
    EXPECT_TRUE(prompt.shown.empty()) << "a cancel is not told";
    EXPECT_EQ(BytesFromHost(*printer).find("SYSVAR(18)=2"), std::string::npos)
        << "cancelled before the first poll";
}

TEST_F(BrakTransferWindow, APackageIsRefusedWithARequestForTheUnpackedFile) {
    const std::string path = write("fw.exe", "MZ");
    const test::ModalAnswer page("Change Firmware", [&path](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QString::fromStdString(path));
        ButtonNamed(dialog, "&Download")->click();
        static_cast<QDialog*>(dialog)->reject();
    });
    window->runCommand(CommandId::ChangeFirmware);
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_NE(prompt.Notices()[0].find("choose the unpacked .bin file"), std::string::npos);
    EXPECT_EQ(BytesFromHost(*printer), "");
}

TEST(Tarvo32BrakPages, TheTransferPagesOfATq8eShowWithoutAnotherDialog) {
    tarvo::test::TestEnv env;
    for (const char* page : {"firmware", "fonts", "images"}) {
        const std::string shot = env.root() + "/" + page + ".png";
        const auto run = tarvo::test::RunProgram(
            env, "tarvo32", "--simulate TQ8e --screenshot " + shot + " --show " + page);
        ASSERT_EQ(run.status, 0) << page << ": " << run.err;
        EXPECT_EQ(run.err.find("tarvo32: dialog"), std::string::npos) << page << ": " << run.err;
        EXPECT_GT(std::filesystem::file_size(shot), 0u) << page;
    }
}

}  // namespace
}  // namespace tarvo::app::qt
