// The firmware page's file-transfer road for the escape-language firmware on script hardware
// (TQ8e-QEL), against a simulated escape-language printer: the question it asks by the file's
// language, and the refusals, none of which puts a byte of Zmodem on the line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "desk/firmware_messages.h"
#include "desk/firmware_zmodem.h"
#include "fwxfer/gf_monitor.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/base/script_firmware.h"
#include "tarvo/kernel.h"

namespace tarvo::app {
namespace {

// Windows that must not be needed: a refused or declined road opens no transfer.
class NoWindows final : public TransferWindows {
  public:
    std::unique_ptr<fwxfer::GFMonitor> OpenMonitor(TransferKind) override {
        ADD_FAILURE() << "no transfer expected";
        return std::make_unique<fwxfer::GFMonitor>();
    }
    void OfferReboot(bool) override { ADD_FAILURE() << "no reboot expected"; }
};

class EscapeLanguageFirmware : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        startPrinter();
        session.kernelHandle = ctx;
        session.model = 24;
        session.modelName = "TQ8e-QEL";
        session.port = PCU_PORT_COM1;
        session.dataBits = 8;
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
    NoWindows windows;
};

TEST_F(EscapeLanguageFirmware, TheQuestionFollowsTheFilesLanguageAndCancelSendsNoTransfer) {
    const struct {
        const char* fileVersion;
        const char* question;
    } cases[] = {
        {"Tallyscript 7.41", "NOTE: If you are changing from QEL to Tallyscript"},
        {"QEL 1.20", "Current printer firmware is\nversion "},
    };
    for (const auto& c : cases) {
        printer->clearTranscript();
        const std::string path =
            write("fw.bin", platform::ScriptFirmwareHeader(c.fileVersion) + "firmware");
        prompt.ExpectQuestion(c.question, PromptAnswer::Cancel);
        const FirmwareOutcome out = RunZmodemFirmware(desk, {path, false}, windows);
        EXPECT_EQ(out.result, kFirmwareDeclined) << c.fileVersion;
        EXPECT_EQ(prompt.statuses.back(), FirmwareStringText(kStrFirmwareAborting));
        EXPECT_EQ(test::HostSent(*printer).find("**"), std::string::npos) << "no Zmodem request";
    }
}

TEST_F(EscapeLanguageFirmware, PackagesForeignFilesAndSevenBitLinesAreRefusedUnsent) {
    const FirmwareOutcome exe = RunZmodemFirmware(desk, {write("fw.EXE", "MZ"), false}, windows);
    EXPECT_NE(exe.refusal.find("choose the unpacked .bin file"), std::string::npos);
    const FirmwareOutcome foreign =
        RunZmodemFirmware(desk, {write("fw.bin", "no header"), false}, windows);
    EXPECT_NE(foreign.refusal.find("is not a firmware file"), std::string::npos);
    session.dataBits = 7;
    const std::string fw = write("fw.bin", platform::ScriptFirmwareHeader("QEL 1.20") + "fw");
    const FirmwareOutcome sevenBits = RunZmodemFirmware(desk, {fw, false}, windows);
    EXPECT_NE(sevenBits.refusal.find("needs 8-bit characters, and the line is on 7 data bits"),
              std::string::npos)
        << sevenBits.refusal;
    EXPECT_TRUE(test::HostSent(*printer).empty());
}

}  // namespace
}  // namespace tarvo::app
