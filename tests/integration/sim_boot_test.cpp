// The simulated Lanmere printer's boot code seen from the host's end of its pseudo-terminal, for
// what no host sends: the boot ROM heard off the boot link, a loader with a wrong sum, the
// loader's frames byte for byte and its refusal of malformed ones, and the moment a speed change
// takes effect. The host's own boot link runs against it in firmware_download_test.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "boot_frames.h"
#include "firmware_image.h"
#include "integration/sim_host.h"
#include "support/cli_run.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

using namespace wire;

constexpr char kDle = 0x10;
constexpr char kDc1 = 0x11;
constexpr char kEm = 0x19;
constexpr char kAckByte = 0x06;
constexpr char kNakByte = 0x15;
constexpr std::uint32_t kFlash = 0xFEE00000;

LineFormat BootNote(unsigned baud) {
    LineFormat format;
    format.baud = baud;
    format.dataBits = 8;
    format.parity = 'N';
    format.stopBits = 1;
    format.flow = FlowControl::None;
    return format;
}

std::string Le(std::uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

BootFrame Request(const char* w1, const char* w2, const char* w3, std::string text = {},
                  std::string data = {}) {
    return BootFrame{{w1, w2, w3}, std::move(text), std::move(data)};
}

// The loader file's contents: a 4-byte big-endian length and the bytes.
struct Loader {
    std::string bytes = std::string(300, '\x5A');
    std::string upload(int sumAdjust = 0) const {
        std::string out;
        const auto n = static_cast<std::uint32_t>(bytes.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>(n >> shift);
        std::uint16_t sum = 0;
        for (char c : bytes)
            sum = static_cast<std::uint16_t>(sum + static_cast<unsigned char>(c));
        sum = static_cast<std::uint16_t>(sum + sumAdjust);
        return out + bytes + static_cast<char>(sum >> 8) + static_cast<char>(sum & 0xFF);
    }
};

class SimBootTest : public SimHostTest {
  protected:
    // A 6220E on its standard line whose firmware the host has just declared invalid; the host
    // is on the boot link.
    void startInBootRom(Options options = StandardOptions()) {
        start(options);
        ASSERT_TRUE(sim->invalidateFirmware());
        host->note(BootNote(38400));
    }

    void startInLoader(Options options = StandardOptions()) {
        startInBootRom(options);
        ASSERT_EQ(ask(std::string(1, kDc1)), std::string(1, kDc1));
        ASSERT_EQ(ask(Loader().upload()), std::string(1, kEm));
    }
};

// --- Boot ROM ---

TEST_F(SimBootTest, InvalidatingFirmwareOverQelHandsTheLineToTheBootRom) {
    start(StandardOptions());
    EXPECT_EQ(sim->bootState(), "running");
    EXPECT_EQ(ask(Frame("\x1bT;F0661971.13;R")), kAck);
    EXPECT_TRUE(sim->inBootRom());
    EXPECT_EQ(sim->bootState(), "rom");
    // The boot ROM hears only the boot link: a host still on the printer's line is noise.
    EXPECT_EQ(ask(std::string(1, kDle)), "");
    host->note(BootNote(38400));
    EXPECT_EQ(ask(std::string(1, kDle)), std::string(1, kDle));
    EXPECT_EQ(ask(kAskId), "") << "no QEL in the boot ROM";
    EXPECT_EQ(ask(std::string(3, kDle)), std::string(3, kDle));
}

// (A loader with the right sum is taken, and answered with EM, whenever the host's boot link
// test starts one.)

TEST_F(SimBootTest, LoaderWithAWrongSumIsRefusedAndTheRomListensAgain) {
    startInBootRom();
    EXPECT_EQ(ask(std::string(1, kDc1)), std::string(1, kDc1));
    EXPECT_EQ(ask(Loader().upload(1)), std::string(1, kNakByte));
    EXPECT_EQ(sim->bootState(), "rom");
    EXPECT_NE(sim->bootRefusal().find("sum"), std::string::npos) << sim->bootRefusal();
    EXPECT_EQ(ask(std::string(1, kDle)), std::string(1, kDle));
    EXPECT_EQ(ask(std::string(1, kDc1)), std::string(1, kDc1));
    EXPECT_EQ(ask(Loader().upload()), std::string(1, kEm));
}

// --- Loader frames, byte for byte ---

TEST_F(SimBootTest, VersionRequestGetsAckAndTheExactReplyFrame) {
    startInLoader();
    sim->clearTranscript();
    EXPECT_EQ(ask("[request:status:version:::::00000aa4]"),
              "\x06[request:status:version:0008:LDR 3.02:::00000d31]");
    // Until the host acknowledges, a NAK brings the same reply again.
    EXPECT_EQ(ask(std::string(1, kNakByte)), "[request:status:version:0008:LDR 3.02:::00000d31]");
    EXPECT_EQ(ask(std::string(1, kAckByte)), "");
    EXPECT_EQ(ask(std::string(1, kNakByte)), "") << "nothing is waiting any more";
    EXPECT_EQ(sim->transcriptText(),
              "> [request:status:version:::::00000aa4]\n"
              "< <ACK>[request:status:version:0008:LDR 3.02:::00000d31]\n"
              "> <NAK>\n"
              "< [request:status:version:0008:LDR 3.02:::00000d31]\n"
              "> <ACK><NAK>\n");
}

TEST_F(SimBootTest, FramesWithFaultsGetNakAndGoodOnesStillWork) {
    startInLoader();
    const std::string nak(1, kNakByte);
    EXPECT_EQ(ask("[request:status:version:::::00000aa5]"), nak) << "checksum off by one";
    EXPECT_EQ(ask("[request:status:version:::::00000aa4}"), nak) << "not closed by ]";
    EXPECT_EQ(ask("[request:status:version:::::0000Xaa4]"), nak) << "checksum not hex";
    EXPECT_EQ(ask("[request:status:version::X:::"), nak) << "no colon after the text";
    EXPECT_EQ(ask("[request:status:version:00001::"), nak) << "length of five digits";
    EXPECT_EQ(ask("[requestrequestrequest1:"), nak) << "word of 21 bytes";
    // Checksum digits of either case.
    const std::string upper = "[command:flash:erase:::0004:" + Le(kFlash) + ":00000B90]";
    EXPECT_EQ(ask(upper), "\x06[command:flash:erase:::0002:" + std::string(2, '\0') + ":000009b0]");
    EXPECT_EQ(
        ask(std::string(1, kAckByte) + BuildBootFrame(Request("REQUEST", "Status", "version")))
            .rfind("\x06[REQUEST:Status:version:0008:LDR 3.02:", 0),
        0u)
        << "words in any case; the reply echoes them as sent";
}

// (The loader's status answers, RAM staging, flash programming and exit modes are played by the
// host's boot link test, each status pinned.)

// --- Line speed ---

TEST_F(SimBootTest, BaudRateChangeTakesEffectOnceTheHostHasTheReply) {
    startInLoader();
    const std::string reply = "[command:baud rate:change:::0001:\x02:00000b61]";
    EXPECT_EQ(ask("[command:baud rate:change:::0001:\x02:00000b61]"), "\x06" + reply);
    EXPECT_EQ(sim->bootBaud(), 38400u) << "the reply goes out at the old speed";
    // The host may switch before the printer reads its acknowledge.
    host->note(BootNote(57600));
    EXPECT_EQ(ask(std::string(1, kAckByte)), "");
    EXPECT_EQ(sim->bootBaud(), 57600u);
    const std::string version = BuildBootFrame(Request("request", "status", "version"));
    EXPECT_EQ(ask(version), "\x06[request:status:version:0008:LDR 3.02:::00000d31]");
    host->note(BootNote(38400));
    EXPECT_EQ(ask(std::string(1, kAckByte) + version), "")
        << "a host left at the old speed is noise";
    EXPECT_EQ(sim->bootBaud(), 57600u);
}

// --- Booting ---

// (A sound image boots and a damaged one does not: the host's boot link test flashes both.)

TEST_F(SimBootTest, AnInvalidatedPrinterStartsInItsBootRomAgain) {
    Options options = StandardOptions();
    options.statePath = path("printer.state");
    startInBootRom(options);
    host.reset();
    sim->stop();
    EXPECT_NE(ReadFile(options.statePath).find("firmware-invalid = yes\n"), std::string::npos);
    start(options, BootNote(38400));
    EXPECT_TRUE(sim->inBootRom());
    EXPECT_EQ(ask(std::string(1, kDle)), std::string(1, kDle));
}

// --- Frames and images without a line ---

TEST(SimFirmwareImage, GeneratedImageCarriesBothTextsAndTheChecksum) {
    TestFirmwareOptions options;
    options.version = "2.10A";
    std::vector<std::uint8_t> image;
    std::string error;
    ASSERT_TRUE(BuildTestFirmware(options, &image, &error)) << error;
    ASSERT_EQ(image.size(), 262144u);
    FirmwareTexts texts;
    std::string reason;
    ASSERT_TRUE(ReadFirmwareImage(image, &texts, &reason)) << reason;
    EXPECT_EQ(texts.first, "FT066197");
    EXPECT_EQ(texts.second, "2.10A   ");

    std::vector<std::uint8_t> broken = image;
    broken[image.size() - 20] ^= 0x80;  // pointer now outside, checksum fixed up below
    broken[image.size() - 4] = static_cast<std::uint8_t>(broken[image.size() - 4] + 0x80);
    EXPECT_FALSE(ReadFirmwareImage(broken, &texts, &reason));
    EXPECT_NE(reason.find("second"), std::string::npos) << reason;
    EXPECT_FALSE(ReadFirmwareImage(std::vector<std::uint8_t>(27), &texts, &reason));
}

// The firmware files the simulator writes for hosts to download.
class SimFirmwareFiles : public SimHostTest {
  protected:
    // Exit status of tarvo-printersim run with `args` (shell words).
    int runSim(const std::string& args) {
        return test::RunProgram(env, "tarvo-printersim", args).status;
    }
};

TEST_F(SimFirmwareFiles, DirectoryHoldsListLoaderAndImage) {
    TestFirmwareOptions options;
    options.programNumber = "FT59877";
    options.size = 4096;
    options.loaderBytes = 10;
    std::string error;
    ASSERT_TRUE(WriteTestFirmware(path(""), options, &error)) << error;
    EXPECT_EQ(ReadFile(path("listfile.txt")),
              ";fw59877.bin\r\nfiletoflash fw59877.bin fee00000\r\n");
    const std::string loader = ReadFile(path("flashldr.bin"));
    ASSERT_EQ(loader.size(), 14u);
    EXPECT_EQ(loader.substr(0, 4), std::string("\0\0\0\x0a", 4));
    const std::string image = ReadFile(path("fw59877.bin"));
    FirmwareTexts texts;
    ASSERT_TRUE(
        ReadFirmwareImage(std::vector<std::uint8_t>(image.begin(), image.end()), &texts, &error))
        << error;
    EXPECT_EQ(texts.first, "FT59877 ");
    EXPECT_EQ(texts.second, "2.00    ");

    for (auto bad : {TestFirmwareOptions{18, "1234567"}, TestFirmwareOptions{18, "FT"},
                     TestFirmwareOptions{30, ""}, TestFirmwareOptions{18, "", "1,2"},
                     TestFirmwareOptions{18, "", "2.00", 127}}) {
        EXPECT_FALSE(WriteTestFirmware(path("bad"), bad, &error));
    }
    EXPECT_FALSE(std::filesystem::exists(path("bad")));
}

TEST_F(SimFirmwareFiles, MakeFirmwareWritesTheDirectory) {
    ASSERT_EQ(runSim("--make-firmware " + path("") +
                     " --model 6220E --firmware-version 2.01 --size 4096"),
              0);
    EXPECT_EQ(ReadFile(path("listfile.txt")),
              ";fw066197.bin\r\nfiletoflash fw066197.bin fee00000\r\n");
    const std::string image = ReadFile(path("fw066197.bin"));
    FirmwareTexts texts;
    std::string reason;
    ASSERT_TRUE(
        ReadFirmwareImage(std::vector<std::uint8_t>(image.begin(), image.end()), &texts, &reason))
        << reason;
    EXPECT_EQ(texts.second, "2.01    ");
    // After --make-firmware, --version TEXT still names the image's version.
    EXPECT_EQ(runSim("--make-firmware " + path("x") + " --version 'too long text'"), 1);
    EXPECT_EQ(runSim("--firmware-version 2.00"), 2) << "it belongs to --make-firmware";
    EXPECT_EQ(runSim("--version 2.00"), 2) << "a bare --version takes no text";
    EXPECT_EQ(runSim("--make-firmware " + path("") + " --size 12"), 2);
}

}  // namespace
}  // namespace tarvo::sim
