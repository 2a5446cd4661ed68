// Firmware download against the simulated printer: verification, invalidation, the boot ROM and
// loader on the same line, flash programming, and the printer's new firmware afterwards; a line
// cut while flashing, a damaged image and an image for another printer. Then the host's boot
// link step by step: exact frames, acknowledgement and retries, the checks on every reply, RAM
// staging and flash programming, the loader upload, and what stops a download before it starts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../unit/firmware_files.h"
#include "boot_frames.h"
#include "firmware_image.h"
#include "flash_memory.h"
#include "services/firmware/boot_link.h"
#include "services/firmware/boot_rom.h"
#include "services/firmware/firmware_download.h"
#include "services/firmware/flash_program.h"
#include "services/firmware/listfile.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

constexpr char kImageName[] = "fw066197.bin";
constexpr char kScript[] = "filetoflash fw066197.bin fee00000 ; the image\r\n";

class FirmwareDownloadTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        startPrinter();
        dir = env.root() + "/firmware/";
    }
    // A firmware directory for the 6220E (program number 066197), 100000 bytes of image.
    void makeFirmware(const std::string& programText = "FT066197",
                      const std::string& script = kScript) {
        image = test::MakeImage(programText, "2.00", 100000);
        test::WriteFirmwareDir(dir, kImageName, image, script, test::MakeLoader(4096, 4096));
    }
    bool filesPresent() const {
        return std::filesystem::exists(dir + "listfile.txt") &&
               std::filesystem::exists(dir + "flashldr.bin") &&
               std::filesystem::exists(dir + kImageName);
    }
    int verify() {
        return PCUVerifyFirmwareFile(ctx, "", dir.c_str(), version, second, number, running);
    }

    std::string dir;
    std::string image;
    char version[PCU_FIRMWARE_VERSION_SIZE] = {};
    char second[PCU_FIRMWARE_VERSION_SIZE] = {};
    char number[PCU_ID_NUMBER_SIZE] = {};
    char running[PCU_ID_FIRMWARE_SIZE] = {};
};

TEST_F(FirmwareDownloadTest, VerifyInvalidateDownloadThenThePrinterRunsTheNewFirmware) {
    makeFirmware();
    ASSERT_EQ(verify(), 0);
    EXPECT_STREQ(version, "FT066197");
    EXPECT_STREQ(second, "2.00    ");
    EXPECT_EQ(std::string(number).substr(0, 6), "066197");
    EXPECT_STREQ(running, "1.13");

    const std::string text = std::string(number) + running;
    printer->clearTranscript();
    ASSERT_EQ(PCUInvalidateFirmware(ctx, text.c_str()), 1);
    EXPECT_EQ(test::HostSent(*printer), "<STX><ESC>T;F" + text + ";R<ETX>");
    EXPECT_EQ(printer->invalidationText(), text);
    EXPECT_TRUE(printer->inBootRom());

    ASSERT_EQ(PCUFirmwareDownload(ctx, 1, "", dir.c_str()), 0) << printer->bootRefusal();
    EXPECT_EQ(printer->bootState(), "running");
    const auto flashed = printer->flashBytes(0xFEE00000, image.size());
    EXPECT_EQ(std::string(flashed.begin(), flashed.end()), image);
    EXPECT_FALSE(std::filesystem::exists(dir + "listfile.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir + "flashldr.bin"));
    EXPECT_FALSE(std::filesystem::exists(dir + kImageName));

    char model[PCU_ID_MODEL_SIZE] = "";
    ASSERT_EQ(PCUGetPrinterID(ctx, model, number, running, 1), PCU_OK);
    EXPECT_STREQ(running, "2.00");
}

TEST_F(FirmwareDownloadTest, ALineCutWhileFlashingEndsWithTheLinkErrorAndKeepsTheFiles) {
    makeFirmware();
    ASSERT_EQ(PCUInvalidateFirmware(ctx, "0661971.13"), 1);
    sim::Faults faults;
    faults.cutLineDuringFlashWrite = 2;
    printer->setFaults(faults);
    const int rc = PCUFirmwareDownload(ctx, 1, "", dir.c_str());
    EXPECT_TRUE(rc >= 106 && rc <= 110) << rc;  // the link's errors
    EXPECT_TRUE(filesPresent());
}

TEST_F(FirmwareDownloadTest, ADamagedImageIsRefusedBeforeAnythingIsSent) {
    makeFirmware();
    image[5000] = static_cast<char>(image[5000] ^ 0x40);
    test::WriteFile(dir + kImageName, image);
    ASSERT_EQ(PCUInvalidateFirmware(ctx, "0661971.13"), 1);
    printer->clearTranscript();
    EXPECT_EQ(verify(), PCU_FW_CHECKSUM);
    EXPECT_EQ(PCUFirmwareDownload(ctx, 1, "", dir.c_str()), PCU_FW_CHECKSUM);
    EXPECT_EQ(test::HostSent(*printer), "");
    EXPECT_TRUE(printer->inBootRom());
    EXPECT_TRUE(filesPresent());
}

TEST_F(FirmwareDownloadTest, AnImageForAnotherPrinterIs30AndAPrinterInItsBootRomFitsAny) {
    makeFirmware("FT012345");
    EXPECT_EQ(verify(), PCU_FW_MISMATCH);
    EXPECT_STREQ(version, "FT012345");
    EXPECT_EQ(std::string(number).substr(0, 6), "066197");
    ASSERT_EQ(PCUInvalidateFirmware(ctx, "0661971.13"), 1);
    // A printer that cannot say who it is may be the right one: the operator decides.
    EXPECT_EQ(verify(), 0);
    EXPECT_STREQ(number, "");
}

TEST_F(FirmwareDownloadTest, DeleteRemovesTheImageTheListNamed) {
    makeFirmware();
    ASSERT_EQ(verify(), 0);
    EXPECT_EQ(PCUDeleteFirmwareFiles(ctx, "", dir.c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir + kImageName));
    EXPECT_FALSE(std::filesystem::exists(dir + "listfile.txt"));
    EXPECT_EQ(PCUDeleteFirmwareFiles(ctx, "", dir.c_str()), 0);
}

// --- the boot link, step by step ---

using firmware::BootLoader;
using firmware::kStagingRam;
using firmware::Le32;

firmware::BootFrame Reply(const char* w1, const char* w2, const char* w3,
                          std::optional<std::string> data = std::nullopt) {
    firmware::BootFrame f;
    f.word1 = w1;
    f.word2 = w2;
    f.word3 = w3;
    f.data = std::move(data);
    return f;
}

// "command store data ram" of `bytes` at the address text `at`.
firmware::BootFrame Store(const char* at, std::string bytes) {
    firmware::BootFrame f = Reply("command", "store data", "ram", std::move(bytes));
    f.text = at;
    return f;
}

std::string Frame(const firmware::BootFrame& f) {
    std::string bytes;
    EXPECT_EQ(firmware::BuildFrame(f, &bytes), 0);
    return bytes;
}

// The host's boot link on the line of a printer whose firmware was declared invalid.
class BootLinkTest : public FirmwareDownloadTest {
  protected:
    void SetUp() override {
        FirmwareDownloadTest::SetUp();
        enterBootRom();
    }
    void TearDown() override {
        link.close();
        FirmwareDownloadTest::TearDown();
    }
    // A fresh printer in its boot ROM, and the link on its line.
    void enterBootRom(const sim::Options& options = {}) {
        link.close();
        startPrinter(options);
        ASSERT_TRUE(printer->invalidateFirmware());
        ASSERT_EQ(link.openPath(printer->devicePath(), "COM1", firmware::kSpeed38400), 0);
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }
    // The printer runs the host's loader; the transcript starts afresh.
    void startLoader() {
        ASSERT_EQ(firmware::WaitForBootRom(link), 0);
        ASSERT_EQ(firmware::UploadLoader(link, write("loader.bin", test::MakeLoader(500, 500))), 0);
        ASSERT_EQ(printer->bootState(), "loader");
        printer->clearTranscript();
    }
    void setFaults(const std::function<void(sim::Faults&)>& change) {
        sim::Faults faults;
        change(faults);
        printer->setFaults(faults);
    }
    // The next `count` replies arrive as `bytes` (after the loader's ACK).
    void garbleReplies(const std::string& bytes, int count = 1000) {
        setFaults([&](sim::Faults& f) {
            f.mangledReplies = count;
            f.mangledReply = bytes;
        });
    }
    // The frames the host sent to the loader with these words (any, when empty), as the
    // printer read them; the loader upload before the printer's EM is not looked at.
    std::vector<sim::BootFrame> framesOf(const std::string& w2 = {},
                                         const std::string& w3 = {}) const {
        const auto transcript = printer->transcript();
        auto from = transcript.begin();
        for (auto e = transcript.begin(); e != transcript.end(); ++e) {
            if (e->direction == sim::Direction::PrinterToHost && e->bytes == "\x19")
                from = e;
        }
        sim::BootFrameParser parser;
        std::vector<sim::BootFrame> frames;
        for (auto e = from; e != transcript.end(); ++e) {
            for (const char c : e->bytes) {
                if (e->direction != sim::Direction::HostToPrinter ||
                    parser.feed(c) != sim::BootFrameParser::Event::Frame)
                    continue;
                if (w2.empty() || (parser.frame().words[1] == w2 && parser.frame().words[2] == w3))
                    frames.push_back(parser.frame());
            }
        }
        return frames;
    }
    std::string flash(std::size_t length) const {
        const auto bytes = printer->flashBytes(firmware::kFlashBase, length);
        return std::string(bytes.begin(), bytes.end());
    }
    // The loader's reply to `request`, exchanged over the host's link.
    firmware::BootFrame exchange(const firmware::BootFrame& request) {
        firmware::BootFrame reply;
        EXPECT_EQ(loader.exchange(request, &reply), 0) << request.word2 << " " << request.word3;
        return reply;
    }
    // The status a RAM or flash command is answered with.
    std::uint32_t status(const firmware::BootFrame& request) {
        const firmware::BootFrame reply = exchange(request);
        EXPECT_EQ(reply.data.value_or("").size(), 2u) << request.word2 << " " << request.word3;
        return firmware::ReadLe32(reply.data.value_or(""), 0);
    }
    std::size_t naksSent() const {
        const std::string sent = test::HostSent(*printer);
        std::size_t count = 0;
        for (auto at = sent.find("<NAK>"); at != std::string::npos; at = sent.find("<NAK>", at + 1))
            ++count;
        return count;
    }

    firmware::SerialBootLink link;
    BootLoader loader{link, firmware::kSpeed38400};
};

TEST_F(BootLinkTest, ExchangeAcknowledgesTheReplyAndRetriesOnNak) {
    startLoader();
    std::string version;
    ASSERT_EQ(loader.version(&version), 0);
    EXPECT_EQ(version, "LDR 3.02");
    EXPECT_EQ(test::HostSent(*printer), "[request:status:version:::::00000aa4]<ACK>");
    // Five sends in each of three exchanges: fifteen refusals are too many, four are not.
    std::uint32_t size = 0;
    setFaults([](sim::Faults& f) { f.nakFrames = 4; });
    ASSERT_EQ(loader.flashSize(&size), 0);
    EXPECT_EQ(size, sim::FlashMemory::kSize);
    setFaults([](sim::Faults& f) { f.nakFrames = 15; });
    EXPECT_EQ(loader.flashSize(&size), firmware::kNegativeAcknowledge);
    EXPECT_EQ(loader.flashSize(&size), 0);
}

TEST_F(BootLinkTest, AcknowledgeAndReplyFaults) {
    std::string version;
    EXPECT_EQ(loader.version(&version), firmware::kNoAcknowledge) << "the boot ROM takes no frames";
    startLoader();
    setFaults([](sim::Faults& f) { f.bootAcknowledge = '?'; });
    EXPECT_EQ(loader.version(&version), firmware::kOtherAcknowledge);
    garbleReplies("");
    EXPECT_EQ(loader.version(&version), firmware::kReplyTimeOut);
    EXPECT_EQ(naksSent(), 0u) << "nothing came, so nothing is refused";
    garbleReplies("[req");
    EXPECT_EQ(loader.version(&version), firmware::kReplyTimeOut);
    EXPECT_GT(naksSent(), 0u) << "a reply that stopped half-way is refused";
}

TEST_F(BootLinkTest, AGarbledReplyIsRefusedAndTheResendCounts) {
    startLoader();
    firmware::BootFrame bad = Reply("request", "status", "version");
    bad.text = "X";
    std::string bytes = Frame(bad);
    bytes[bytes.size() - 2] ^= 1;  // a wrong checksum
    garbleReplies(bytes, 1);
    std::string version;
    ASSERT_EQ(loader.version(&version), 0);
    EXPECT_EQ(version, "LDR 3.02");
    EXPECT_EQ(naksSent(), 1u);
}

TEST_F(BootLinkTest, EveryUnfitReplyHasItsCode) {
    startLoader();
    std::uint32_t value = 0;
    std::string text;
    struct Case {
        firmware::BootFrame reply;  // what the line brings in place of the loader's reply
        std::function<int()> ask;
        int code;
    };
    const Case cases[] = {
        {Reply("request", "status", "flash size", std::string(3, '\0')),
         [&] { return loader.flashSize(&value); }, firmware::kReplyDataLength},
        {Reply("request", "status", "flash sizes", std::string(4, '\0')),
         [&] { return loader.flashSize(&value); }, firmware::kStatusNotEchoed},
        // Words compare without regard to case.
        {Reply("command", "FLASH", "erase", std::string("\1\0", 2)),
         [&] { return loader.eraseFlash(firmware::kFlashBase); }, firmware::kFlashStatusNotZero},
        {Reply("command", "flush", "erase", std::string(2, '\0')),
         [&] { return loader.eraseFlash(firmware::kFlashBase); }, firmware::kReplyWordsDiffer},
        {Reply("command", "exit mode", "boot"), [&] { return loader.exitMode("load"); },
         firmware::kExitNotEchoed},
        {Reply("command", "read data", "ram", std::string(2048, 'r')),
         [&] { return loader.readRam(kStagingRam, 2047, &text); }, firmware::kReplyDataLength},
    };
    for (const Case& c : cases) {
        garbleReplies(Frame(c.reply), 1);
        EXPECT_EQ(c.ask(), c.code) << c.reply.word2 << " " << c.reply.word3;
    }
    // A speed the loader does not know it answers with 0.
    EXPECT_EQ(loader.changeSpeed(384), firmware::kBaudChangeRefused);
    EXPECT_EQ(loader.speedCode(), firmware::kSpeed38400);
    ASSERT_EQ(loader.changeSpeed(firmware::kSpeed57600), 0);
    EXPECT_EQ(loader.speedCode(), firmware::kSpeed57600);
    EXPECT_EQ(printer->bootBaud(), 57600u);
    EXPECT_EQ(loader.flashSize(&value), 0);
}

TEST_F(BootLinkTest, FlashTypeAndUnknownCommands) {
    startLoader();
    EXPECT_EQ(exchange(Reply("command", "flash", "flash type", Le32(firmware::kFlashBase))).data,
              Le32(sim::FlashMemory::kType));
    EXPECT_EQ(exchange(Reply("command", "flash", "flash type", Le32(0x1000))).data, Le32(0))
        << "no flash there";
    EXPECT_EQ(exchange(Reply("command", "no", "such")).text, "unknown command");
}

TEST_F(BootLinkTest, RamStoresFillsAndReadsBackAndRefusesWhatLiesOutside) {
    startLoader();
    EXPECT_EQ(status(Store("bffb0010", "ABCDEF")), 0u);
    EXPECT_EQ(status(Store("bffb0014", "xy")), 0u);
    EXPECT_EQ(status(Reply("command", "fill ram", "word",
                           Le32(kStagingRam + 0x20) + Le32(3) + Le32(0x1234))),
              0u);
    EXPECT_EQ(status(Reply("command", "fill ram", "byte",
                           Le32(kStagingRam + 0x26) + Le32(2) + Le32(0x77))),
              0u);
    std::string bytes;
    ASSERT_EQ(loader.readRam(kStagingRam + 0x10, 6, &bytes), 0);
    EXPECT_EQ(bytes, "ABCDxy");
    ASSERT_EQ(loader.readRam(kStagingRam + 0x20, 8, &bytes), 0);
    EXPECT_EQ(bytes, "\x34\x12\x34\x12\x34\x12\x77\x77");
    // Outside the RAM, or a blank or non-hex address: refused, nothing stored.
    for (const char* at : {"c0000000", "        ", "bffb00g0"})
        EXPECT_NE(status(Store(at, "z")), 0u) << at;
    EXPECT_NE(
        status(Reply("command", "fill ram", "byte", Le32(kStagingRam) + Le32(0x40001) + Le32(0))),
        0u);
    EXPECT_EQ(exchange(Reply("command", "read data", "ram", Le32(0xC0000000) + Le32(1))).text,
              "bad address or length");
}

TEST_F(BootLinkTest, FlashIsProgrammedFromStagedRamOnlyAfterAnErase) {
    startLoader();
    const std::uint32_t base = firmware::kFlashBase;
    const auto write = [&](std::uint32_t at, std::uint32_t n) {
        return status(Reply("command", "flash", "write", Le32(at) + Le32(kStagingRam) + Le32(n)));
    };
    const auto onFlash = [&](const char* what, std::uint32_t at) {
        return status(Reply("command", "flash", what, Le32(at)));
    };
    EXPECT_EQ(status(Store("bffb0000", "hello")), 0u);
    EXPECT_EQ(write(base, 5), 2u) << "never erased";
    EXPECT_EQ(onFlash("erase", base + 0x10), 0u);
    EXPECT_EQ(write(base, 6), 3u) << "the sixth byte was never staged";
    EXPECT_EQ(write(base, 5), 0u);
    EXPECT_EQ(flash(6), "hello\xff");
    EXPECT_EQ(write(base + 8, 5), 3u) << "RAM already written out";
    EXPECT_EQ(status(Store("bffb0000", "again")), 0u);
    EXPECT_EQ(write(base + 2, 5), 2u) << "programmed bytes need an erase";
    EXPECT_EQ(onFlash("write protect", base), 0u);
    EXPECT_EQ(write(base + 8, 5), 6u) << "write-protected";
    EXPECT_EQ(onFlash("erase", base), 0u);
    EXPECT_EQ(write(base + 8, 5), 0u);
    EXPECT_EQ(flash(13), std::string(8, '\xff') + "again");
    EXPECT_EQ(onFlash("erase", 0x1000), 1u) << "no flash";
    EXPECT_EQ(status(Reply("command", "flash", "erase", std::string("\x01"))), 5u) << "malformed";
}

TEST_F(BootLinkTest, ExitModesLoadOffAndBootWithNothingFlashed) {
    startLoader();
    EXPECT_EQ(loader.exitMode("load"), 0);
    EXPECT_EQ(printer->bootState(), "loader");
    EXPECT_EQ(loader.exitMode("boot"), 0);
    EXPECT_EQ(printer->bootState(), "rom");
    EXPECT_NE(printer->bootRefusal().find("nothing"), std::string::npos) << printer->bootRefusal();
    startLoader();
    EXPECT_EQ(loader.exitMode("off"), 0);
    EXPECT_EQ(printer->bootState(), "rom");
    EXPECT_EQ(firmware::WaitForBootRom(link), 0) << "the ROM answers again";
}

TEST_F(BootLinkTest, UniformBlocksTravelAsFills) {
    startLoader();
    std::string file(2048, '\xff');
    file += std::string(2048, 'a') + std::string(100, 'z');  // full fill, then a uniform tail
    file[2048 + 7] = 'b';                                    // the second block is not uniform
    ASSERT_EQ(firmware::ProgramFileToFlash(loader, write("part.bin", file), firmware::kFlashBase),
              0);
    const auto words = framesOf("fill ram", "word");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].data, Le32(kStagingRam) + Le32(1024) + std::string("\xff\xff\0\0", 4));
    const auto stores = framesOf("store data", "ram");
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].text, "bffb0800");
    EXPECT_EQ(stores[0].data.size(), 2048u);
    const auto bytes = framesOf("fill ram", "byte");
    ASSERT_EQ(bytes.size(), 1u);
    EXPECT_EQ(bytes[0].data, Le32(kStagingRam + 4096) + Le32(100) + std::string("z\0\0\0", 4));
    EXPECT_EQ(flash(file.size()), file);
}

TEST_F(BootLinkTest, SegmentsAndTheLastWriteCoverOnlyTheFilesBytes) {
    startLoader();
    std::string file(70000, '\0');
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<char>(i * 31 + i / 251);
    const std::uint32_t base = firmware::kFlashBase;
    ASSERT_EQ(firmware::ProgramFileToFlash(loader, write("long.bin", file), base), 0);
    const auto erases = framesOf("flash", "erase");
    ASSERT_EQ(erases.size(), 2u);
    EXPECT_EQ(erases[0].data, Le32(base));
    EXPECT_EQ(erases[1].data, Le32(base + 65536));
    const auto writes = framesOf("flash", "write");
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_EQ(writes[3].data, Le32(base + 49152) + Le32(kStagingRam + 49152) + Le32(16384));
    EXPECT_EQ(writes[4].data, Le32(base + 65536) + Le32(kStagingRam) + Le32(4464));
    EXPECT_EQ(framesOf("flash", "write protect").size(), 2u);
    EXPECT_EQ(framesOf("flash", "flash type").size(), 1u);
    EXPECT_EQ(flash(file.size() + 1000), file + std::string(1000, '\xff'));
    // A short last block is "%08lx"; full ones are "%8lx".
    printer->clearTranscript();
    const std::string part = file.substr(0, 30000);
    ASSERT_EQ(firmware::ProgramFileToFlash(loader, write("short.bin", part), base + 0x20000), 0);
    const auto stores = framesOf("store data", "ram");
    ASSERT_EQ(stores.size(), 15u);
    EXPECT_EQ(stores[0].text, "bffb0000");
    EXPECT_EQ(stores.back().text, "bffb7000");
    EXPECT_EQ(stores.back().data.size(), 30000u - 14 * 2048);
    EXPECT_EQ(framesOf("flash", "erase").size(), 1u);
}

TEST_F(BootLinkTest, RamToFileNeverReplacesAFile) {
    startLoader();
    std::string staged(5000, 'q');
    staged[4999] = 'e';
    ASSERT_EQ(loader.storeRam(kStagingRam, staged, false), 0);
    const std::string path = env.root() + "/dump.bin";
    ASSERT_EQ(firmware::ReadRamToFile(loader, path, kStagingRam, 5000), 0);
    EXPECT_EQ(test::ReadFile(path), staged);
    EXPECT_EQ(framesOf("read data", "ram").size(), 3u);
    EXPECT_EQ(firmware::ReadRamToFile(loader, path, kStagingRam, 10),
              firmware::kTransferCannotOpen);
    EXPECT_EQ(test::ReadFile(path), staged);
}

// The printer boots what was flashed only when its checksum holds, and then keeps its version.
TEST_F(BootLinkTest, ExitModeBootRunsASoundImageOnly) {
    sim::Options options;
    options.statePath = env.root() + "/printer.state";
    enterBootRom(options);
    std::vector<std::uint8_t> built;
    std::string error;
    ASSERT_TRUE(sim::BuildTestFirmware(sim::TestFirmwareOptions{}, &built, &error)) << error;
    std::string image(built.begin(), built.end());
    image[1000] ^= 1;
    startLoader();
    ASSERT_EQ(firmware::ProgramFileToFlash(loader, write("bad.bin", image), firmware::kFlashBase),
              0);
    EXPECT_EQ(loader.exitMode("boot"), 0);
    EXPECT_EQ(printer->bootState(), "rom");
    EXPECT_NE(printer->bootRefusal().find("checksum"), std::string::npos) << printer->bootRefusal();

    image[1000] ^= 1;
    startLoader();
    ASSERT_EQ(firmware::ProgramFileToFlash(loader, write("good.bin", image), firmware::kFlashBase),
              0);
    EXPECT_EQ(loader.exitMode("boot"), 0);
    EXPECT_EQ(printer->bootState(), "running");
    EXPECT_EQ(printer->bootRefusal(), "");
    printer->stop();
    const std::string state = test::ReadFile(options.statePath);
    EXPECT_NE(state.find("firmware = 2.00\n"), std::string::npos) << state;
    EXPECT_EQ(state.find("firmware-invalid"), std::string::npos) << state;
}

TEST_F(BootLinkTest, LoaderRefusals) {
    struct Case {
        std::string file;  // empty: none
        bool silent;
        int code;
    };
    const Case cases[] = {
        {test::MakeLoader(10, 10), true, firmware::kLoaderNoDc1Echo},
        {"", false, firmware::kLoaderCannotOpen},
        {test::MakeLoader(1000, 996), false, firmware::kLoaderLengthWrong},
        // More than the boot ROM takes.
        {test::MakeLoader(sim::kMaxLoaderBytes + 1, 0) + std::string(sim::kMaxLoaderBytes + 1, 'Z'),
         false, firmware::kLoaderRefused},
    };
    for (const Case& c : cases) {
        enterBootRom();
        setFaults([&](sim::Faults& f) { f.silent = c.silent; });
        const std::string path = env.root() + "/ldr.bin";
        std::filesystem::remove(path);
        if (!c.file.empty())
            test::WriteFile(path, c.file);
        EXPECT_EQ(firmware::UploadLoader(link, path), c.code);
    }
}

TEST_F(BootLinkTest, DownloadSequenceAndWhatTheScriptWrites) {
    makeFirmware("FT066197", std::string("PrintHello 2A\r\n") + kScript);
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(firmware::RunDownload(link, firmware::kSpeed38400, dir, out), 0);
    EXPECT_EQ(printer->bootState(), "running");
    const auto frames = framesOf();
    ASSERT_GE(frames.size(), 5u);
    EXPECT_EQ(frames[0].words[2], "version");
    EXPECT_EQ(frames[1].words[2], "flash type");
    EXPECT_EQ(frames[1].data, Le32(firmware::kFlashBase));
    EXPECT_EQ(frames[2].words[2], "flash size");
    EXPECT_EQ(frames[3].words[1], "baud rate");
    EXPECT_EQ(frames[3].data, std::string(1, '\2'));
    EXPECT_EQ(frames[4].words[2], "version");
    EXPECT_EQ(frames.back().words[1], "exit mode");
    EXPECT_EQ(frames.back().words[2], "boot");
    std::rewind(out);
    char text[128] = {};
    std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_STREQ(text, "\r\n\"printhello\" called, argument: 0x2a");
}

TEST_F(BootLinkTest, NothingIsSentForABadScriptOrImageAndTheFilesStayOnFailure) {
    struct Case {
        std::string script;
        std::function<void()> spoil;
        int code;
    };
    const std::string flashImage = "filetoflash fw066197.bin fee00000\r\n";
    const Case cases[] = {
        {"eraseflash 1234567890\r\n", [] {}, firmware::kScriptBadHex},
        {"filetoflash other.bin fee00000\r\n", [&] { test::WriteFile(dir + "other.bin", "x"); },
         firmware::kScriptCannotRead},
        {flashImage + "ramtofile listfile.txt 0 10\r\n", [] {}, firmware::kScriptCannotCreate},
        {flashImage,
         [&] {
             image[100] ^= 1;
             test::WriteFile(dir + kImageName, image);
         },
         firmware::kFwBadChecksum},
        {flashImage, [&] { std::filesystem::remove(dir + "flashldr.bin"); },
         firmware::kScriptCannotRead},
    };
    for (const Case& c : cases) {
        makeFirmware("FT066197", c.script);
        c.spoil();
        EXPECT_EQ(firmware::RunDownload(link, firmware::kSpeed38400, dir), c.code) << c.script;
    }
    EXPECT_EQ(test::HostSent(*printer), "");
    // The loader's length is found wrong as it goes out, and the files stay.
    makeFirmware();
    test::WriteFile(dir + "flashldr.bin", test::MakeLoader(1000, 1000).substr(4));
    EXPECT_EQ(firmware::RunDownload(link, firmware::kSpeed38400, dir),
              firmware::kLoaderLengthWrong);
    EXPECT_TRUE(filesPresent());
    // So do they when the printer does not answer as a boot ROM.
    enterBootRom();
    makeFirmware();
    setFaults([](sim::Faults& f) { f.silent = true; });
    EXPECT_EQ(firmware::RunDownload(link, firmware::kSpeed38400, dir), firmware::kBootRomSilent);
    EXPECT_TRUE(filesPresent());
}

}  // namespace
}  // namespace tarvo
