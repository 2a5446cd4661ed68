// The boot-loader link against an in-memory loader: exact frames, the reply parser's every
// refusal, acknowledgement and retries, RAM staging and flash programming, the loader upload and
// the whole download sequence.
#include <gtest/gtest.h>

#include <filesystem>

#include "fake_boot_loader.h"
#include "firmware_files.h"
#include "services/firmware/boot_rom.h"
#include "services/firmware/firmware_download.h"
#include "services/firmware/flash_program.h"
#include "services/firmware/listfile.h"
#include "support/fake_clock.h"
#include "support/test_env.h"

namespace tarvo::firmware {
namespace {

using test::FakeBootLoader;

std::string Frame(const BootFrame& f) {
    std::string bytes;
    EXPECT_EQ(BuildFrame(f, &bytes), 0);
    return bytes;
}

BootFrame Words(std::string w1, std::string w2, std::string w3) {
    BootFrame f;
    f.word1 = std::move(w1);
    f.word2 = std::move(w2);
    f.word3 = std::move(w3);
    return f;
}

// Feeds all of `bytes`; the last result.
int Parse(FrameParser& p, std::string_view bytes) {
    int rc = FrameParser::kMore;
    for (const char c : bytes) {
        rc = p.feed(static_cast<unsigned char>(c));
        if (rc != FrameParser::kMore)
            break;
    }
    return rc;
}

class BootTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock); }
    void TearDown() override { platform::SetClock(nullptr); }
    test::FakeClock clock{[] {}};
    FakeBootLoader link;
};

// --- frames ---

TEST(BootFrames, EraseAtZeroCarriesFourZeroBytesAndItsChecksum) {
    BootFrame f = Words("command", "flash", "erase");
    f.data = std::string(4, '\0');
    const std::string body =
        std::string("[command:flash:erase:::0004:") + std::string(4, '\0') + ":";
    char sum[16];
    std::snprintf(sum, sizeof sum, "%08lx", static_cast<unsigned long>(ByteSum(body)));
    EXPECT_EQ(Frame(f), body + sum + "]");
}

TEST(BootFrames, VersionRequestHasFourEmptyParts) {
    const std::string bytes = Frame(Words("request", "status", "version"));
    EXPECT_EQ(bytes.substr(0, bytes.size() - 9), "[request:status:version:::::");
    EXPECT_EQ(bytes.back(), ']');
}

TEST(BootFrames, BuildRefusesLongWordsAndFrames) {
    const std::string w21(21, 'w');
    EXPECT_EQ(BuildFrame(Words(w21, "a", "b"), nullptr), kFrameWord1TooLong);
    EXPECT_EQ(BuildFrame(Words("a", w21, "b"), nullptr), kFrameWord2TooLong);
    EXPECT_EQ(BuildFrame(Words("a", "b", w21), nullptr), kFrameWord3TooLong);
    BootFrame big = Words("a", "b", "c");
    big.data = std::string(kMaxFrameContent - 3, 'x');
    EXPECT_EQ(BuildFrame(big, nullptr), kFrameTooLong);
    big.data->pop_back();
    std::string bytes;
    EXPECT_EQ(BuildFrame(big, &bytes), 0);
}

TEST(BootFrames, ParserTakesItsOwnFramesBackAndSkipsNoiseBeforeThem) {
    BootFrame f = Words("command", "store data", "ram");
    f.text = "bffb0000";
    f.data = std::string("\0[:]\xff", 5);
    FrameParser p;
    EXPECT_EQ(Parse(p, "\x06junk" + Frame(f)), FrameParser::kDone);
    EXPECT_EQ(p.frame().word2, "store data");
    EXPECT_EQ(p.frame().text, f.text);
    EXPECT_EQ(p.frame().data, f.data);
    // An empty length field is an absent part, "0000" a present empty one.
    p.reset();
    BootFrame e = Words("a", "b", "c");
    e.text = "";
    ASSERT_EQ(Parse(p, Frame(e)), FrameParser::kDone);
    EXPECT_EQ(p.frame().text, std::optional<std::string>(""));
    EXPECT_FALSE(p.frame().data.has_value());
}

TEST(BootFrames, UpperCaseChecksumDigitsAreAccepted) {
    BootFrame f = Words("request", "status", "flash size");
    f.data = std::string("\xff\xff\x3f\x00", 4);
    std::string bytes = Frame(f);
    for (std::size_t i = bytes.size() - 9; i < bytes.size() - 1; ++i)
        bytes[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[i])));
    ASSERT_NE(bytes, Frame(f));  // the sum has letters in it
    FrameParser p;
    EXPECT_EQ(Parse(p, bytes), FrameParser::kDone);
}

TEST(BootFrames, EveryMalformedReplyHasItsCode) {
    BootFrame f = Words("w1", "w2", "w3");
    f.text = "ab";
    f.data = "cd";
    const std::string good = Frame(f);  // [w1:w2:w3:0002:ab:0002:cd:XXXXXXXX]
    struct Case {
        std::string bytes;
        int code;
    };
    std::string badSum = good;
    badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '0' ? '1' : '0';
    const Case cases[] = {
        {"[" + std::string(21, 'w') + ":", kReplyWordTooLong},
        {"[a:b:c:00002:", kReplyLengthTooLong},
        {"[a:b:c:00g", kReplyLengthNotHex},
        {"[a:b:c:0001:xy", kReplyNoColonAfterText},
        {"[a:b:c:::0001:xy", kReplyNoColonAfterData},
        {"[a:b:c:::::1234567z", kReplyChecksumNotHex},
        {good.substr(0, good.size() - 1) + ")", kReplyNotClosed},
        {badSum, kReplyChecksumWrong},
    };
    for (const Case& c : cases) {
        FrameParser p;
        EXPECT_EQ(Parse(p, c.bytes), c.code) << c.bytes;
    }
}

// --- send, receive, exchange ---

TEST_F(BootTest, ExchangeAcknowledgesTheReplyAndChecksTheWords) {
    link.mode = FakeBootLoader::Mode::Loader;
    BootLoader loader(link, kSpeed57600);
    std::string version;
    ASSERT_EQ(loader.version(&version), 0);
    EXPECT_EQ(version, "FAKE 1.0");
    EXPECT_EQ(link.sent, Frame(Words("request", "status", "version")) + "\x06");
}

TEST_F(BootTest, SendRetriesOnNakAndGivesUpAfterFiveAttemptsThreeTimes) {
    link.mode = FakeBootLoader::Mode::Loader;
    BootLoader loader(link, kSpeed57600);
    link.nakFrames = 4;
    std::uint32_t size = 0;
    ASSERT_EQ(loader.flashSize(&size), 0);
    EXPECT_EQ(size, FakeBootLoader::kFlashSize);
    link.nakFrames = 15;
    EXPECT_EQ(loader.flashSize(&size), kNegativeAcknowledge);
    link.nakFrames = 0;
    EXPECT_EQ(loader.flashSize(&size), 0);
}

TEST_F(BootTest, AcknowledgeFaults) {
    BootLoader loader(link, kSpeed57600);
    std::string version;
    link.romSilent = true;  // the boot ROM does not speak frames
    EXPECT_EQ(loader.version(&version), kNoAcknowledge);
    link.mode = FakeBootLoader::Mode::Loader;
    link.ackByte = '?';
    EXPECT_EQ(loader.version(&version), kOtherAcknowledge);
    link.ackByte = 0x06;
    link.replyOverride = [](const BootFrame&) { return std::optional<std::string>(""); };
    EXPECT_EQ(loader.version(&version), kReplyTimeOut);
    EXPECT_EQ(link.naksReceived, 0);  // nothing came, so nothing is refused
    link.replyOverride = [](const BootFrame&) { return std::optional<std::string>("[req"); };
    EXPECT_EQ(loader.version(&version), kReplyTimeOut);
    EXPECT_GT(link.naksReceived, 0);  // a reply that stopped half-way is refused
}

TEST_F(BootTest, NoiseThatNeverStopsEndsEachAttemptAtTheReplyDeadline) {
    link.mode = FakeBootLoader::Mode::Loader;
    link.replyOverride = [&](const BootFrame&) {
        link.noiseBytes = 1'000'000;  // far more than all the attempts together wait for
        return std::optional<std::string>("");
    };
    BootLoader loader(link, kSpeed57600);
    std::string version;
    EXPECT_EQ(loader.version(&version), kReplyTimeOut);
    const BootPolicy& p = loader.policy;
    EXPECT_EQ(clock.elapsed(),
              p.exchangeAttempts * (p.receiveAttempts * p.replyTimeOut + p.afterFailedReceive));
    EXPECT_EQ(link.naksReceived, p.exchangeAttempts * p.receiveAttempts);
}

TEST_F(BootTest, ABadReplyIsNakedAndTheNextAttemptCounts) {
    link.mode = FakeBootLoader::Mode::Loader;
    int replies = 0;
    link.replyOverride = [&](const BootFrame& f) -> std::optional<std::string> {
        if (replies++ > 0)
            return std::nullopt;
        BootFrame r = f;
        r.text = "X";
        std::string bytes = Frame(r);
        bytes[bytes.size() - 2] ^= 1;  // a wrong checksum
        return bytes;
    };
    BootLoader loader(link, kSpeed57600);
    std::string version;
    // The loader here answers a NAK by nothing: the next exchange's frame gets a good reply.
    ASSERT_EQ(loader.version(&version), 0);
    EXPECT_EQ(link.naksReceived, 1);
    EXPECT_EQ(version, "FAKE 1.0");
}

TEST_F(BootTest, ReplyChecks) {
    link.mode = FakeBootLoader::Mode::Loader;
    BootLoader loader(link, kSpeed38400);
    auto replyWith = [&](std::function<void(BootFrame&)> change) {
        link.replyOverride = [change](const BootFrame& f) {
            BootFrame r = f;
            r.text.reset();
            r.data.reset();
            change(r);
            return std::optional<std::string>(Frame(r));
        };
    };
    std::uint32_t value = 0;
    std::string text;
    replyWith([](BootFrame& r) { r.data = std::string("\0\0\0", 3); });
    EXPECT_EQ(loader.flashSize(&value), kReplyDataLength);
    replyWith([](BootFrame& r) {
        r.word3 = "flash sizes";
        r.data = std::string(4, '\0');
    });
    EXPECT_EQ(loader.flashSize(&value), kStatusNotEchoed);
    replyWith([](BootFrame& r) {
        r.word2 = "FLASH";
        r.data = std::string("\1\0", 2);
    });
    EXPECT_EQ(loader.eraseFlash(0), kFlashStatusNotZero);  // words compare without case
    replyWith([](BootFrame& r) {
        r.word2 = "flush";
        r.data = std::string(2, '\0');
    });
    EXPECT_EQ(loader.eraseFlash(0), kReplyWordsDiffer);
    replyWith([](BootFrame& r) { r.word3 = "load"; });
    EXPECT_EQ(loader.exitMode("boot"), kExitNotEchoed);
    replyWith([](BootFrame& r) { r.data = std::string(1, '\3'); });
    EXPECT_EQ(loader.changeSpeed(kSpeed57600), kBaudChangeRefused);
    replyWith([](BootFrame& r) { r.data = std::string(2048, 'r'); });
    EXPECT_EQ(loader.readRam(kStagingRam, 2047, &text), kReplyDataLength);
    EXPECT_EQ(loader.speedCode(), kSpeed38400);
    link.replyOverride = nullptr;
    ASSERT_EQ(loader.changeSpeed(kSpeed57600), 0);
    EXPECT_EQ(loader.speedCode(), kSpeed57600);
    EXPECT_EQ(link.speeds, std::vector<int>{kSpeed57600});
}

// --- staging and flash programming ---

class FlashTest : public BootTest {
  protected:
    void SetUp() override {
        BootTest::SetUp();
        link.mode = FakeBootLoader::Mode::Loader;
        std::filesystem::create_directories(env.root());
    }
    std::string write(const std::string& bytes) {
        const std::string path = env.root() + "/part.bin";
        test::WriteFile(path, bytes);
        return path;
    }
    test::TestEnv env;
};

TEST_F(FlashTest, UniformBlocksTravelAsFills) {
    std::string file(2048, '\xff');
    file += std::string(2048, 'a') + std::string(100, 'z');  // full fill, then a uniform tail
    file[2048 + 7] = 'b';                                    // the second block is not uniform
    BootLoader loader(link, kSpeed57600);
    ASSERT_EQ(ProgramFileToFlash(loader, write(file), FakeBootLoader::kFlashBase), 0);
    const auto words = link.framesOf("fill ram", "word");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(*words[0].data, Le32(kStagingRam) + Le32(1024) + std::string("\xff\xff\0\0", 4));
    const auto stores = link.framesOf("store data", "ram");
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].text, "bffb0800");
    EXPECT_EQ(stores[0].data->size(), 2048u);
    const auto bytes = link.framesOf("fill ram", "byte");
    ASSERT_EQ(bytes.size(), 1u);
    EXPECT_EQ(*bytes[0].data, Le32(kStagingRam + 4096) + Le32(100) + std::string("z\0\0\0", 4));
    EXPECT_EQ(link.flash.substr(0, file.size()), file);
}

TEST_F(FlashTest, LongFileIsTwoSegmentsAndTheLastWriteCoversOnlyItsBytes) {
    std::string file(70000, '\0');
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<char>(i * 31 + i / 251);
    BootLoader loader(link, kSpeed57600);
    const std::uint32_t base = FakeBootLoader::kFlashBase;
    ASSERT_EQ(ProgramFileToFlash(loader, write(file), base), 0);
    const auto erases = link.framesOf("flash", "erase");
    ASSERT_EQ(erases.size(), 2u);
    EXPECT_EQ(*erases[0].data, Le32(base));
    EXPECT_EQ(*erases[1].data, Le32(base + 65536));
    const auto writes = link.framesOf("flash", "write");
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_EQ(*writes[3].data, Le32(base + 49152) + Le32(kStagingRam + 49152) + Le32(16384));
    EXPECT_EQ(*writes[4].data, Le32(base + 65536) + Le32(kStagingRam) + Le32(4464));
    EXPECT_EQ(link.framesOf("flash", "write protect").size(), 2u);
    EXPECT_EQ(link.framesOf("flash", "flash type").size(), 1u);
    // The flash past the file keeps its erased state: no stale RAM was written there.
    EXPECT_EQ(link.flash.substr(0, file.size()), file);
    EXPECT_EQ(link.flash.substr(file.size(), 1000), std::string(1000, '\xff'));
}

TEST_F(FlashTest, ShortFileIsOneSegmentOfItsLength) {
    std::string file(30000, '\0');
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<char>(i % 253);
    BootLoader loader(link, kSpeed57600);
    ASSERT_EQ(ProgramFileToFlash(loader, write(file), FakeBootLoader::kFlashBase), 0);
    const auto writes = link.framesOf("flash", "write");
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(ReadLe32(*writes[0].data, 8) + ReadLe32(*writes[1].data, 8), 30000u);
    EXPECT_EQ(link.framesOf("flash", "erase").size(), 1u);
    const auto stores = link.framesOf("store data", "ram");
    EXPECT_EQ(stores.back().text, "bffb7000");  // the partial last block: "%08lx"
    EXPECT_EQ(stores.back().data->size(), 30000u - 14 * 2048);
}

TEST_F(FlashTest, RamToFileNeverReplacesAFile) {
    link.ram.replace(0, 5000, std::string(5000, 'q'));
    link.ram[4999] = 'e';
    BootLoader loader(link, kSpeed57600);
    const std::string path = env.root() + "/dump.bin";
    ASSERT_EQ(ReadRamToFile(loader, path, kStagingRam, 5000), 0);
    EXPECT_EQ(test::ReadBytes(path), link.ram.substr(0, 5000));
    EXPECT_EQ(link.framesOf("read data", "ram").size(), 3u);
    EXPECT_EQ(ReadRamToFile(loader, path, kStagingRam, 10), kTransferCannotOpen);
    EXPECT_EQ(test::ReadBytes(path).size(), 5000u);
}

// --- boot ROM and loader ---

TEST_F(FlashTest, BootRomAndLoaderUpload) {
    link.mode = FakeBootLoader::Mode::Rom;
    ASSERT_EQ(WaitForBootRom(link), 0);
    const std::string loaderPath = write(test::MakeLoader(1000, 1000));
    ASSERT_EQ(UploadLoader(link, loaderPath), 0);
    EXPECT_EQ(link.mode, FakeBootLoader::Mode::Loader);
    EXPECT_EQ(link.loaderBytes, 1000u);
}

TEST_F(FlashTest, LoaderFailures) {
    const std::string good = write(test::MakeLoader(10, 10));
    struct Case {
        bool romSilent;
        int loaderAnswer;
        int code;
    };
    for (const Case c : {Case{true, -1, kLoaderNoDc1Echo}, Case{false, -2, kLoaderNoAnswer},
                         Case{false, 'X', kLoaderRefused}, Case{false, -1, 0}}) {
        FakeBootLoader rom;
        rom.romSilent = c.romSilent;
        rom.loaderAnswer = c.loaderAnswer;
        EXPECT_EQ(UploadLoader(rom, good), c.code) << c.loaderAnswer;
    }
    // 1000 bytes whose prefix says 1000: the file must be 1004 bytes long.
    FakeBootLoader short_;
    EXPECT_EQ(UploadLoader(short_, write(test::MakeLoader(1000, 996))), kLoaderLengthWrong);
    FakeBootLoader missing;
    EXPECT_EQ(UploadLoader(missing, env.root() + "/missing.bin"), kLoaderCannotOpen);
    FakeBootLoader silent;
    silent.romSilent = true;
    EXPECT_EQ(WaitForBootRom(silent), kBootRomSilent);
}

// --- the whole download ---

class DownloadTest : public FlashTest {
  protected:
    std::string dir() const { return env.root() + "/fw"; }
    void makeFirmware(const std::string& script, std::size_t imageSize = 70000) {
        image = test::MakeImage("FT066197", "2.00", imageSize);
        test::WriteFirmwareDir(dir(), "fw_image.bin", image, script);
    }
    bool filesPresent() const {
        return std::filesystem::exists(dir() + "/listfile.txt") &&
               std::filesystem::exists(dir() + "/flashldr.bin") &&
               std::filesystem::exists(dir() + "/fw_image.bin");
    }
    std::string image;
};

TEST_F(DownloadTest, WholeSequenceProgramsTheImageAndDeletesTheFiles) {
    makeFirmware("PrintHello 2A\r\nfiletoflash fw_image.bin fee00000 ; the image\r\n");
    link.mode = FakeBootLoader::Mode::Rom;
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(RunDownload(link, kSpeed38400, dir(), out), 0);
    EXPECT_EQ(link.flash.substr(0, image.size()), image);
    ASSERT_GE(link.frames.size(), 5u);
    EXPECT_EQ(link.frames[0].word3, "version");
    EXPECT_EQ(link.frames[1].word3, "flash type");
    EXPECT_EQ(*link.frames[1].data, Le32(0xFEE00000));
    EXPECT_EQ(link.frames[2].word3, "flash size");
    EXPECT_EQ(link.frames[3].word2, "baud rate");
    EXPECT_EQ(*link.frames[3].data, std::string(1, '\2'));
    EXPECT_EQ(link.frames[4].word3, "version");
    EXPECT_EQ(link.frames.back().word2, "exit mode");
    EXPECT_EQ(link.frames.back().word3, "boot");
    EXPECT_EQ(link.speeds, std::vector<int>{kSpeed57600});
    EXPECT_FALSE(std::filesystem::exists(dir() + "/listfile.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir() + "/flashldr.bin"));
    EXPECT_FALSE(std::filesystem::exists(dir() + "/fw_image.bin"));
    std::rewind(out);
    char text[128] = {};
    std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_STREQ(text, "\r\n\"printhello\" called, argument: 0x2a");
}

TEST_F(DownloadTest, NothingIsSentForABadScriptImageOrLoader) {
    link.mode = FakeBootLoader::Mode::Rom;
    makeFirmware("eraseflash 1234567890\r\n");
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kScriptBadHex);
    makeFirmware("filetoflash other.bin fee00000\r\n");
    test::WriteFile(dir() + "/other.bin", "x");
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kScriptCannotRead);
    makeFirmware("filetoflash fw_image.bin fee00000\r\nramtofile listfile.txt 0 10\r\n");
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kScriptCannotCreate);
    makeFirmware("filetoflash fw_image.bin fee00000\r\n");
    image[100] ^= 1;
    test::WriteFile(dir() + "/fw_image.bin", image);
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kFwBadChecksum);
    makeFirmware("filetoflash fw_image.bin fee00000\r\n");
    std::filesystem::remove(dir() + "/flashldr.bin");
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kScriptCannotRead);
    EXPECT_EQ(link.sent, "");
    makeFirmware("filetoflash fw_image.bin fee00000\r\n");
    test::WriteFile(dir() + "/flashldr.bin", test::MakeLoader(1000, 1000).substr(4));
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kLoaderLengthWrong);
    EXPECT_TRUE(filesPresent());
}

TEST_F(DownloadTest, SilentBootRomIs11) {
    makeFirmware("filetoflash fw_image.bin fee00000\r\n");
    link.mode = FakeBootLoader::Mode::Rom;
    link.romSilent = true;
    EXPECT_EQ(RunDownload(link, kSpeed38400, dir()), kBootRomSilent);
    EXPECT_TRUE(filesPresent());
}

TEST_F(DownloadTest, BootRomWaitEndsOnTimeOnALineFullOfNoise) {
    link.mode = FakeBootLoader::Mode::Rom;
    link.romSilent = true;
    link.noiseBytes = 1'000'000;
    EXPECT_EQ(WaitForBootRom(link), kBootRomSilent);
    EXPECT_EQ(clock.elapsed(), platform::Millis{15000});
}

}  // namespace
}  // namespace tarvo::firmware
