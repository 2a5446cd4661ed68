// The search window and the firmware page against a simulated Lanmere printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "firmware_image.h"
#include "desk/connection_search.h"
#include "desk/firmware_messages.h"
#include "desk/firmware_page.h"
#include "desk/startup.h"
#include "desk/test_print.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

using test::ScriptedPrompt;

class LanDialogs : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"})
            env.setProfile(std::string("Device.") + port, "none");
        startPrinter();
        session.kernelHandle = ctx;
        session.model = 18;
        session.modelName = "6220E";
        session.port = PCU_PORT_COM1;
    }

    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(LanDialogs, SearchFindsThePrinterAndShowsTheSuccessTexts) {
    printer->setLine({38400, 8, 'N', 1, sim::Protocol::Standard});
    SearchWindowModel window(session.flags);
    int trials = 0;
    window.onChange = [&] { trials += window.running() ? 1 : 0; };
    ASSERT_TRUE(RunLanmereSearch(desk, window));
    EXPECT_GT(trials, 3);
    EXPECT_EQ(window.text().title, "Connection successful!");
    EXPECT_FALSE(window.text().buttonVisible);
    EXPECT_EQ(window.text().lines[0], "Communications settings can");
    EXPECT_EQ(window.text().lines[1], "be modified by selecting the");
    EXPECT_EQ(window.text().lines[2], "PORTS toolbar button.");
    EXPECT_TRUE(window.closeRequested());
    EXPECT_TRUE(session.flags.autoConnectSucceeded);
    EXPECT_TRUE(session.flags.identified);
    EXPECT_EQ(window.fields().port, "COM1");
    EXPECT_EQ(window.fields().baud, "38400");
    EXPECT_EQ(window.fields().parity, "NONE");
    // The settings were read again: the session uses what the search found.
    EXPECT_EQ(session.baud, 38400);
    EXPECT_EQ(session.dataBits, 8);
    EXPECT_EQ(session.parity, PCU_PARITY_NONE);
}

TEST_F(LanDialogs, SearchWithoutAPrinterShowsTheFailureTexts) {
    env.setProfile("Device.COM1", "none");
    SearchWindowModel window(session.flags);
    EXPECT_FALSE(RunLanmereSearch(desk, window));
    EXPECT_EQ(window.text().title, "Connection attempt unsuccessful!");
    EXPECT_TRUE(window.text().buttonVisible);
    EXPECT_EQ(window.text().button, "Cancel");
    EXPECT_EQ(window.text().lines[0], "Communications could not be");
    EXPECT_EQ(window.text().lines[1], "established with the attached");
    EXPECT_EQ(window.text().lines[2], "printer.");
    EXPECT_FALSE(session.flags.autoConnectSucceeded);
    EXPECT_FALSE(session.flags.identified);
}

TEST_F(LanDialogs, CancelDuringTheSearchStopsItAndGivesUp) {
    printer->setLine({38400, 8, 'N', 1, sim::Protocol::Standard});
    SearchWindowModel window(session.flags);
    int trials = 0;
    window.onChange = [&] {
        if (window.running() && !window.CancelRequested() && ++trials == 5)
            window.PressButton();  // as the window's Cancel does while events are pumped
    };
    EXPECT_FALSE(RunLanmereSearch(desk, window));
    EXPECT_EQ(trials, 5);
    EXPECT_TRUE(session.flags.giveUp);
    EXPECT_FALSE(session.flags.autoConnectSucceeded);
    EXPECT_FALSE(window.running());
}

TEST_F(LanDialogs, DontKnowSearchesBrakenholmFirstThenFindsTheLanmerePrinter) {
    SearchWindowModel window(session.flags);
    std::vector<std::string> titles;
    window.onChange = [&] {
        if (titles.empty() || titles.back() != window.text().title)
            titles.push_back(window.text().title);
    };
    ASSERT_TRUE(RunGroupSearch(desk, window, PrinterGroup::DontKnow));
    EXPECT_EQ(window.text().title, "Connection successful!");
    ASSERT_GE(titles.size(), 3u);
    EXPECT_EQ(titles[titles.size() - 3], "Connection attempt unsuccessful!");  // Brakenholm
    EXPECT_EQ(titles[titles.size() - 2], "Testing Printer Connection");        // reset
    EXPECT_FALSE(session.printer->IsScriptFamily());
}

sim::ObjectEntry Stored(sim::ObjectKind kind, unsigned id, std::string description,
                        std::string type, std::uint32_t size) {
    return {kind, {id, std::move(description), std::move(type), size}};
}

TEST_F(LanDialogs, TestPrintListsOfAG5QelComeFromItsDirectory) {
    constexpr int kG5Qel = 15;
    sim::Options o;
    o.model = kG5Qel;
    o.objects = {Stored(sim::ObjectKind::Format, 19, "SHIPPING", "F", 512),
                 Stored(sim::ObjectKind::Format, 3, "Box", "F", 100),
                 Stored(sim::ObjectKind::Graphic, 5, "Logo", "G", 2048),
                 Stored(sim::ObjectKind::Font, 60, "Swiss 721", "400", 65536),
                 Stored(sim::ObjectKind::Page, 7, "", "P", 100)};
    startPrinter(o);
    std::uint16_t n = 0;
    ASSERT_EQ(PCUGetFonts(ctx, &n), PCU_OK);
    ASSERT_EQ(PCUGetGraphics(ctx, &n), PCU_OK);
    ASSERT_EQ(PCUGetFormats(ctx, &n), PCU_OK);
    ASSERT_EQ(PCUGetPages(ctx, &n), PCU_OK);

    const TestPrintLists lists = ReadTestPrintLists(ctx);
    EXPECT_EQ(lists.formats,
              (std::vector<std::string>{"FRMT03  Box       ", "FRMT19  SHIPPING  "}));
    EXPECT_EQ(lists.graphics, (std::vector<std::string>{"GRFX05  Logo      "}));
    EXPECT_EQ(lists.pages, (std::vector<std::string>{"PAGE07  Pagefile"}));
    ASSERT_FALSE(lists.fonts.empty());
    EXPECT_EQ(lists.fonts.back(), "FONT60  Swiss 721 ");
    EXPECT_EQ(lists.fontPointSizes.size(), lists.fonts.size());

    TestPrintChoice c;
    c.option = PrintOption::Format;
    c.formatEntry = lists.formats[1];
    EXPECT_EQ(TestPrintArgsFor(c, kG5Qel), (TestPrintArgs{0, 0, 19, 0, 0, 0, 0}));
    printer->clearTranscript();
    RunTestPrint(ctx, TestPrintArgsFor(c, kG5Qel));
    EXPECT_FALSE(test::HostSent(*printer).empty());
}

class LanFirmware : public LanDialogs {
  protected:
    void SetUp() override {
        LanDialogs::SetUp();
        dir = env.root() + "/firmware/";
        std::filesystem::create_directories(dir);
    }
    // A firmware directory for `model`; returns the image's path.
    std::string Make(int model = 18, std::size_t size = 4096) {
        sim::TestFirmwareOptions o;
        o.model = model;
        o.size = size;
        std::string error;
        EXPECT_TRUE(sim::WriteTestFirmware(dir, o, &error)) << error;
        return dir + sim::TestFirmwareFileName(o);
    }
    bool FilesPresent(const std::string& image) const {
        return std::filesystem::exists(dir + "listfile.txt") &&
               std::filesystem::exists(dir + "flashldr.bin") && std::filesystem::exists(image);
    }
    std::string dir;
};

TEST_F(LanFirmware, VerifyAskInvalidateAndDownload) {
    const std::string image = Make();
    prompt.ExpectQuestion("Current printer firmware is\nversion 1.13.", PromptAnswer::Ok);
    printer->clearTranscript();
    const FirmwareOutcome out = RunLanmereFirmware(desk, {image, false});
    EXPECT_EQ(out.result, 0) << printer->bootRefusal();
    EXPECT_TRUE(out.refusal.empty());
    EXPECT_NE(test::HostSent(*printer).find("<ESC>T;F066197"), std::string::npos);
    EXPECT_EQ(printer->bootState(), "running");
    EXPECT_FALSE(FilesPresent(image));
    ASSERT_FALSE(prompt.statuses.empty());
    EXPECT_EQ(prompt.statuses.back(), "Sending firmware to printer...");
    EXPECT_FALSE(ReportFirmwareOutcome(desk, out));
}

TEST_F(LanFirmware, DecliningTheVersionQuestionSendsNothingAndKeepsTheFiles) {
    const std::string image = Make();
    prompt.ExpectQuestion("The file contains", PromptAnswer::Cancel);
    const FirmwareOutcome out = RunLanmereFirmware(desk, {image, false});
    EXPECT_EQ(out.result, kFirmwareDeclined);
    EXPECT_EQ(test::HostSent(*printer).find("<ESC>T;F"), std::string::npos);
    EXPECT_TRUE(FilesPresent(image));
    EXPECT_EQ(prompt.statuses.back(), "Aborting download -- please wait...");
    EXPECT_FALSE(ReportFirmwareOutcome(desk, out));  // the operator's own choice: no message
}

TEST_F(LanFirmware, MismatchAnsweredNoSendsNothing) {
    const std::filesystem::path cwd = std::filesystem::current_path();
    const std::string image = Make(7);  // a 6240 image for the 6220E
    prompt.ExpectQuestion("***PROGRAM NUMBER MISMATCH***", PromptAnswer::No);
    const FirmwareOutcome out = RunLanmereFirmware(desk, {image, false});
    EXPECT_EQ(out.result, kFirmwareDeclined);
    EXPECT_NE(prompt.shown.at(0).text.find("This firmware is for a \"6240\"."), std::string::npos);
    EXPECT_NE(prompt.shown.at(0).text.find("The attached printer is a \"6220E\""),
              std::string::npos);
    EXPECT_EQ(test::HostSent(*printer).find("<ESC>T;F"), std::string::npos);
    EXPECT_TRUE(FilesPresent(image));
    EXPECT_EQ(std::filesystem::current_path(), cwd);  // never changed
}

TEST_F(LanFirmware, SilentPrinterNeedsBootMode) {
    const std::string image = Make();
    ASSERT_EQ(PCUInvalidateFirmware(ctx, "0661971.13"), 1);  // the printer sits in its boot ROM
    const FirmwareOutcome silent = RunLanmereFirmware(desk, {image, false});
    EXPECT_EQ(silent.result, kFirmwareNoAnswer);
    EXPECT_TRUE(ReportFirmwareOutcome(desk, silent));
    EXPECT_EQ(prompt.Notices().back(), FirmwareStringText(kStrFirmwareNoAnswer));
    EXPECT_TRUE(FilesPresent(image));

    prompt.ExpectQuestion("Current printer firmware is\nunknown.", PromptAnswer::Ok);
    printer->clearTranscript();
    const FirmwareOutcome boot = RunLanmereFirmware(desk, {image, true});
    EXPECT_EQ(boot.result, 0) << printer->bootRefusal();
    EXPECT_EQ(test::HostSent(*printer).find("<ESC>T;F"), std::string::npos);
    EXPECT_EQ(printer->bootState(), "running");
}

TEST_F(LanFirmware, RefusalsBeforeAnythingIsSent) {
    const std::string image = Make();
    const FirmwareOutcome exe = RunLanmereFirmware(desk, {dir + "fw066197.EXE", false});
    EXPECT_NE(exe.refusal.find("self-extracting"), std::string::npos);
    session.model = 15;
    session.modelName = "G5-QEL";
    const FirmwareOutcome qel = RunLanmereFirmware(desk, {image, false});
    EXPECT_NE(qel.refusal.find("not available yet"), std::string::npos);
    EXPECT_TRUE(ReportFirmwareOutcome(desk, qel));
    EXPECT_TRUE(test::HostSent(*printer).empty());
    EXPECT_TRUE(FilesPresent(image));
}

TEST_F(LanFirmware, MissingFilesReportTheirMessage) {
    const FirmwareOutcome out = RunLanmereFirmware(desk, {dir + "nothing.bin", false});
    EXPECT_EQ(out.result, PCU_FW_CANNOT_OPEN);
    EXPECT_TRUE(ReportFirmwareOutcome(desk, out));
    EXPECT_EQ(prompt.Notices().back(), FirmwareStringText(kStrFirmwareFilesMissing));
}

}  // namespace
}  // namespace tarvo::app
