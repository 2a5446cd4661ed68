// The boot loader's frames: exact bytes, the limits on what is built, and the reply parser's every
// refusal. Then the two waits that must end on time on a line that never stops bringing noise.
// (The link against the simulated printer's boot ROM and loader: firmware_download_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "services/firmware/boot_commands.h"
#include "services/firmware/boot_rom.h"
#include "support/fake_clock.h"

namespace tarvo::firmware {
namespace {

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

// --- a line full of noise ---

// A line that brings a byte of noise every millisecond, and takes whatever is written.
class NoisyLine final : public BootLink {
  public:
    int naks = 0;
    void purge() override {}
    bool write(std::string_view bytes, Millis) override {
        naks += static_cast<int>(std::count(bytes.begin(), bytes.end(), static_cast<char>(kNak)));
        return true;
    }
    std::optional<std::uint8_t> readByte(Millis) override {
        platform::CurrentClock().sleepFor(Millis{1});
        return static_cast<std::uint8_t>('~');
    }
    bool drain(Millis) override { return true; }
    bool setSpeed(int) override { return true; }
};

class NoiseTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock); }
    void TearDown() override { platform::SetClock(nullptr); }
    test::FakeClock clock{[] {}};
    NoisyLine line;
};

TEST_F(NoiseTest, EachReplyAttemptEndsAtItsDeadline) {
    BootLoader loader(line, kSpeed57600);
    BootFrame reply;
    EXPECT_EQ(loader.receiveFrame(&reply), kReplyTimeOut);
    const BootPolicy& p = loader.policy;
    EXPECT_EQ(clock.elapsed(), p.receiveAttempts * p.replyTimeOut + p.afterFailedReceive);
    EXPECT_EQ(line.naks, p.receiveAttempts);
}

TEST_F(NoiseTest, TheBootRomWaitEndsOnTime) {
    EXPECT_EQ(WaitForBootRom(line), kBootRomSilent);
    EXPECT_EQ(clock.elapsed(), Millis{15000});
}

}  // namespace
}  // namespace tarvo::firmware
