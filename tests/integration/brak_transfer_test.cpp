// Files and firmware to the simulated Brakenholm printer through CBrakPrinter: the exact lines
// around the transfer, the file as the printer's receiver (lrzsz's rz) stored it, and the line
// settings restored afterwards. Protocol waits run on the fake clock.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "brakenholm/brak_printer.h"
#include "fwxfer/gf_monitor.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/base/script_firmware.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

std::string Content(std::size_t size) {
    std::mt19937 random(5);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

class BrakTransferTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        if (::access("/usr/bin/rz", X_OK) != 0)
            GTEST_SKIP() << "lrzsz is not installed (scripts/install-deps)";
        start(40, "Tallyscript 7.30");
    }
    void TearDown() override {
        brak.reset();
        SimTest::TearDown();
    }

    void start(int model, const std::string& firmware,
               sim::LineSettings line = {19200, 8, 'O', 1, sim::Protocol::XonXoff}) {
        brak.reset();
        sim::Options o;
        o.family = sim::Family::Brakenholm;
        o.model = model;
        o.firmware = firmware;
        o.line = line;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
        session.kernelHandle = ctx;
        ReadSettings(session, prompt);
        brak = std::make_unique<CBrakPrinter>(session, prompt, model, MakeRawScriptPort(ctx));
        ASSERT_TRUE(brak->ReadSetupListing().parsed);
        printer->clearTranscript();
    }

    std::string write(const std::string& name, const std::string& content) {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // The lines the printer heard that match `keep`, in order.
    std::vector<std::string> heard(const std::vector<std::string>& keep) {
        std::vector<std::string> lines;
        for (const std::string& m : printer->receivedMessages()) {
            if (std::any_of(keep.begin(), keep.end(),
                            [&](const std::string& k) { return m.find(k) != std::string::npos; }))
                lines.push_back(m);
        }
        return lines;
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    fwxfer::GFMonitor monitor;
    std::unique_ptr<CBrakPrinter> brak;
};

TEST_F(BrakTransferTest, AFontReachesDriveCByteForByteAndTheLineIsRestored) {
    const sim::LineSettings before = printer->line();
    const std::string content = Content(50000);
    const OpResult r =
        brak->DownloadFile(write("sans.ttf", content), TransferKind::Font, "SANS.TTF", monitor);
    ASSERT_TRUE(r.ok()) << Describe(r);
    EXPECT_TRUE(printer->fileContent("c:", "SANS.TTF") == content);
    EXPECT_EQ(heard({"sysvar(35)", "chdir", "RUN \"dlk\"", "RTS/CTS", "CHAR LENGTH"}),
              (std::vector<std::string>{
                  "sysvar(35)=1", "SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,ENABLE\"",
                  "SETUP \"SER-COM,UART1,CHAR LENGTH,8\"", "chdir \"c:\"", "RUN \"dlk\"",
                  "SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,DISABLE\"",
                  "SETUP \"SER-COM,UART1,CHAR LENGTH,8\""}));
    EXPECT_EQ(printer->line(), before);
    EXPECT_EQ(session.parity, PCU_PARITY_ODD);
}

TEST_F(BrakTransferTest, GenerationOneUsesRam) {
    start(26, "Tallyscript 6.20");
    const OpResult r =
        brak->DownloadFile(write("a.ttf", Content(3000)), TransferKind::Font, "A.TTF", monitor);
    ASSERT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(heard({"chdir"}), std::vector<std::string>{"chdir \"ram:\""});
    EXPECT_EQ(printer->files("ram:").size(), 1u);
}

TEST_F(BrakTransferTest, WhatCannotGoSendsNothing) {
    const std::uint32_t free = 1048576;  // the TQ8e's empty "c:"
    const struct {
        const char* why;
        std::string path;
        std::string name;
    } cases[] = {
        {"one byte too large", write("big.ttf", std::string(free + 1, 'x')), "BIG.TTF"},
        {"a quote in the name", write("q.ttf", "x"), "Q\".TTF"},
        {"a control byte in the name", write("c.ttf", "x"), "C\r.TTF"},
        {"a name too long", write("l.ttf", "x"), std::string(31, 'L')},
        {"an unreadable file", env.root() + "/missing.ttf", "M.TTF"},
    };
    for (const auto& c : cases) {
        const OpResult r = brak->DownloadFile(c.path, TransferKind::Font, c.name, monitor);
        EXPECT_EQ(r.status, OpStatus::Refused) << c.why;
        EXPECT_TRUE(heard({"RUN", "sysvar(35)"}).empty()) << c.why;
    }
}

TEST_F(BrakTransferTest, ACutLineReportsItsCodeAndRestoresNothingItCannotReach) {
    sim::Faults cut;
    cut.cutAfterTransferBytes = 25000;
    printer->setFaults(cut);
    const OpResult r =
        brak->DownloadFile(write("f.ttf", Content(50000)), TransferKind::Font, "F.TTF", monitor);
    EXPECT_EQ(r.status, OpStatus::Failed);
    EXPECT_NE(r.detail.find("Error \"4\" occured during file transfer."), std::string::npos)
        << r.detail;
    EXPECT_TRUE(printer->files("c:").empty());
}

TEST_F(BrakTransferTest, FirmwareFrom730To731FormatsAndSendsTwice) {
    const std::string firmware = platform::ScriptFirmwareHeader("Tallyscript 7.31") + Content(4000);
    prompt.ExpectQuestion("requires downloading the kernel twice", PromptAnswer::Ok);
    const OpResult r = brak->FirmwareDownload(write("fw.bin", firmware), monitor);
    ASSERT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(heard({"format", "RUN \"dlk\""}),
              (std::vector<std::string>{"format \"c:\",a", "RUN \"dlk\"", "RUN \"dlk\""}));
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{"Starting the second download."});
    EXPECT_TRUE(printer->fileContent("c:", "fw.bin") == firmware);
}

TEST_F(BrakTransferTest, FirmwareRefusesPackagesAndForeignFiles) {
    EXPECT_EQ(brak->FirmwareDownload(write("fw.exe", "MZ"), monitor).status, OpStatus::Refused);
    EXPECT_EQ(brak->FirmwareDownload(write("fw.bin", "MZ"), monitor).status, OpStatus::Refused);
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(BrakTransferTest, FirmwareWithoutThePrintersVersionSendsNothing) {
    // Silence is no language: read as one, it would ask the wrong question and skip the wait
    // for the printer after the reboot.
    sim::Faults silent;
    silent.silent = true;
    printer->setFaults(silent);
    const std::string firmware = platform::ScriptFirmwareHeader("Tallyscript 7.31") + Content(400);
    const OpResult r = brak->FirmwareDownload(write("fw.bin", firmware), monitor);
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    EXPECT_NE(r.detail.find("did not tell which firmware it runs"), std::string::npos) << r.detail;
    EXPECT_TRUE(heard({"format", "RUN", "sysvar(35)"}).empty());
}

TEST_F(BrakTransferTest, AnImageIsAnnouncedWithItsSizeAndFollowedByExactlyThoseBytes) {
    std::string image = Content(300);
    image[10] = '\r';  // raw bytes: a line end inside the image ends nothing
    const OpResult r =
        brak->DownloadFile(write("logo.pcx", image), TransferKind::Image, "LOGO", monitor);
    ASSERT_TRUE(r.ok()) << Describe(r);
    std::string sent;
    for (const auto& entry : printer->transcript()) {
        if (entry.direction == sim::Direction::HostToPrinter)
            sent += entry.bytes;
    }
    EXPECT_TRUE(sent == "IMAGE LOAD \"LOGO\",300,\"S\"\r" + image);
    EXPECT_EQ(brak->QueryLine("IMAGES").text, "LOGO  300\r\n");
}

TEST_F(BrakTransferTest, AnImageOnASevenBitLineGoesOnEightBitsAndTheLineComesBack) {
    const sim::LineSettings sevenBits{19200, 7, 'E', 1, sim::Protocol::XonXoff};
    start(40, "Tallyscript 7.30", sevenBits);
    const std::string image = Content(300);  // bytes above 0x7F among them
    const OpResult r =
        brak->DownloadFile(write("logo.pcx", image), TransferKind::Image, "LOGO", monitor);
    ASSERT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(heard({"CHAR LENGTH", "IMAGE LOAD"}),
              (std::vector<std::string>{"SETUP \"SER-COM,UART1,CHAR LENGTH,8\"",
                                        "IMAGE LOAD \"LOGO\",300,\"S\"",
                                        "SETUP \"SER-COM,UART1,CHAR LENGTH,7\""}));
    EXPECT_EQ(printer->line(), sevenBits) << "the printer is back on 7 bits";
    EXPECT_EQ(session.dataBits, 7) << "and the host with it";
    EXPECT_EQ(brak->QueryLine("IMAGES").text, "LOGO  300\r\n");
}

TEST_F(BrakTransferTest, AnAbortSendsCanAndStillPutsBothSidesBack) {
    const sim::LineSettings before = printer->line();
    struct Abort final : fwxfer::GFMonitor {
        bool sending = false;
        void TransferMessage(const std::string& text) override {
            sending = text.starts_with("Sending");
        }
        bool TransferAbort() override { return sending; }
    } abort;
    const OpResult r =
        brak->DownloadFile(write("f.ttf", Content(50000)), TransferKind::Font, "F.TTF", abort);
    EXPECT_EQ(r.status, OpStatus::Failed);
    EXPECT_NE(r.detail.find("Error \"2\""), std::string::npos) << r.detail;
    std::string sent;
    for (const auto& entry : printer->transcript()) {
        if (entry.direction == sim::Direction::HostToPrinter)
            sent += entry.bytes;
    }
    EXPECT_NE(sent.find(std::string(8, '\x18')), std::string::npos) << "eight CAN";
    EXPECT_TRUE(printer->files("c:").empty()) << "the receiver dropped the partial file";
    EXPECT_EQ(heard({"RTS/CTS"}).back(), "SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,DISABLE\"");
    EXPECT_EQ(printer->line(), before);
    EXPECT_EQ(session.protocol, PCU_PROTOCOL_XONXOFF);
}

TEST(FirmwarePlan, ChoosesTheQuestionByKindAndVersion) {
    const struct {
        const char* printer;
        const char* file;
        const char* questionStart;
        bool reformat;
        bool second;
    } cases[] = {
        {"Tallyscript 7.30", "Tallyscript 7.31", "Updating firmware", true, true},
        {"Tallyscript 7.31", "Tallyscript 7.30", "Changing firmware", true, false},
        {"Tallyscript 7.31", "Tallyscript 7.40", "Current printer firmware is\n%", false, false},
        // Two Tallyscript texts are one kind, wherever the word stands in each.
        {"V7.40 Tallyscript", "Tallyscript 7.41", "Current printer firmware is\n%", false, false},
        {"QEL 7.30", "Tallyscript 7.30", "Current printer firmware is\n\t", false, false},
    };
    for (const auto& c : cases) {
        const FirmwarePlan plan = PlanFirmwareChange(c.printer, c.file);
        std::string start = c.questionStart;
        if (start.back() == '%')
            start.pop_back();
        EXPECT_EQ(plan.question.substr(0, start.size()), start) << c.printer << " " << c.file;
        EXPECT_EQ(plan.question.find("NOTE") != std::string::npos,
                  std::string(c.printer).starts_with("QEL"))
            << c.printer;
        EXPECT_EQ(plan.reformat, c.reformat) << c.printer << " " << c.file;
        EXPECT_EQ(plan.secondTransfer, c.second) << c.printer << " " << c.file;
        EXPECT_EQ(plan.kindChanges, std::string(c.printer).starts_with("QEL")) << c.printer;
    }
}

}  // namespace
}  // namespace tarvo::app
