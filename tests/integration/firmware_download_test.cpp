// Firmware download against the simulated printer: verification, invalidation, the boot ROM and
// loader on the same line, flash programming, and the printer's new firmware afterwards; a line
// cut while flashing, a damaged image and an image for another printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../unit/firmware_files.h"
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
    void makeFirmware(const std::string& programText = "FT066197") {
        image = test::MakeImage(programText, "2.00", 100000);
        test::WriteFirmwareDir(dir, kImageName, image, kScript, test::MakeLoader(4096, 4096));
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

}  // namespace
}  // namespace tarvo
