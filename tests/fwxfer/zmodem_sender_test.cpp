// The sender against a receiver played by the test: what arrives, in which frames, and the
// code of every way a transfer fails. Time is the receiver's virtual time.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "fake_receiver.h"
#include "fwxfer/gf_zmodem.h"

namespace fwxfer::test {
namespace {

std::string Content(std::size_t size) {
    std::mt19937 random(7);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

class AbortAt : public GFMonitor {
  public:
    explicit AbortAt(std::uint64_t at) : at_(at) {}
    void TransferProgress(std::uint64_t done, std::uint64_t) override { done_ = done; }
    bool TransferAbort() override { return done_ >= at_; }

  private:
    std::uint64_t at_;
    std::uint64_t done_ = 0;
};

struct Sent {
    GFResult result;
    FakeReceiver receiver;
};

Sent Send(ReceiverScript script, const std::string& content, GFMonitor* monitor = nullptr) {
    Sent run{GFResult::PortError, FakeReceiver(script)};
    GFMonitor quiet;
    GFSerial serial(run.receiver, monitor != nullptr ? *monitor : quiet);
    GFZmodem zmodem(serial);
    run.result = zmodem.SendData(content, "SANS.TTF", 8);
    return run;
}

TEST(ZmodemSender, TheFileArrivesWholeInTheProtocolsOrder) {
    const std::string content = Content(5000);
    const Sent run = Send({}, content);
    ASSERT_EQ(run.result, GFResult::Ok);
    EXPECT_EQ(run.receiver.file(), content);
    EXPECT_EQ(run.receiver.badChecksums(), 0);
    EXPECT_EQ(run.receiver.fileInfo(), std::string("SANS.TTF\0"
                                                   "5000 10 100644 0 1 5000\0",
                                                   33));
    EXPECT_EQ(run.receiver.frames(),
              (std::vector{Frame::RQInit, Frame::File, Frame::Data, Frame::Eof, Frame::Fin}));
    EXPECT_TRUE(run.receiver.sawFinish());
}

TEST(ZmodemSender, ResumesFromTheReceiversOffsetAndRepeatsWhatItAsksAgain) {
    const std::string content = Content(9000);
    ReceiverScript resume;
    resume.resumeAt = 3000;
    ReceiverScript error;
    error.errorAt = 4096;
    ReceiverScript window;  // a receiver with a 2 KB buffer acknowledges every window
    window.bufferSize = 2048;
    ReceiverScript escaping;  // a receiver that wants every control escaped
    escaping.flags = 0x23 | kEscapeControls;
    for (const ReceiverScript& script : {resume, error, window, escaping}) {
        const Sent run = Send(script, content);
        ASSERT_EQ(run.result, GFResult::Ok);
        EXPECT_EQ(run.receiver.file().substr(script.resumeAt), content.substr(script.resumeAt));
        EXPECT_EQ(run.receiver.badChecksums(), 0);
    }
}

TEST(ZmodemSender, WithEscapedControlsNoRawControlByteFollowsTheHeaders) {
    ReceiverScript escaping;
    escaping.flags = 0x23 | kEscapeControls;
    const Sent run = Send(escaping, Content(3000));
    const std::string& wire = run.receiver.wire();
    // The headers' own type bytes (ZDATA 10, ZEOF 11) are escaped too.
    const std::size_t data = wire.find(
        "*\x18"
        "C\x18J");
    ASSERT_NE(data, std::string::npos);
    const std::size_t eof = wire.find(
        "*\x18"
        "C\x18K",
        data);
    ASSERT_NE(eof, std::string::npos);
    for (std::size_t i = data + 4; i < eof; ++i) {
        const auto byte = static_cast<std::uint8_t>(wire[i]);
        EXPECT_TRUE((byte & 0x60) != 0 || byte == 0x18 || byte == 0x11) << i;
    }
}

TEST(ZmodemSender, EachFailureHasItsCode) {
    ReceiverScript silent;
    silent.answers = false;
    ReceiverScript stall;
    stall.stallAfter = 3000;
    ReceiverScript cut;
    cut.cutAfter = 5000;
    ReceiverScript skip;
    skip.skipFile = true;
    ReceiverScript noEof;
    noEof.answerEof = false;
    ReceiverScript cancels;
    cancels.cancelAfterFile = true;
    const struct {
        const char* name;
        ReceiverScript script;
        GFResult result;
    } cases[] = {
        {"silent", silent, GFResult::ReceiverDidNotStart},
        {"stall", stall, GFResult::Stalled},
        {"cut", cut, GFResult::LineCut},
        {"skip", skip, GFResult::FileRefused},
        {"no answer to ZEOF", noEof, GFResult::RetriesExhausted},
        {"receiver cancels", cancels, GFResult::ReceiverCancelled},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Send(c.script, Content(10000)).result, c.result) << c.name;
}

TEST(ZmodemSender, ASilentReceiverIsAskedTenTimesThenGivenUp) {
    ReceiverScript silent;
    silent.answers = false;
    const Sent run = Send(silent, "x");
    EXPECT_EQ(run.receiver.frames(), std::vector<Frame>(10, Frame::RQInit));
    EXPECT_EQ(run.receiver.elapsed(), Millis{30000});
}

TEST(ZmodemSender, AStalledLineIsReportedAfterThirtySecondsWithoutProgress) {
    ReceiverScript stall;
    stall.stallAfter = 3000;
    const Sent run = Send(stall, Content(10000));
    EXPECT_EQ(run.result, GFResult::Stalled);
    EXPECT_GE(run.receiver.elapsed(), GFSerial::kStallLimit);
}

TEST(ZmodemSender, AbortSendsCanAndStops) {
    AbortAt monitor(5000);
    const Sent run = Send({}, Content(10000), &monitor);
    EXPECT_EQ(run.result, GFResult::Cancelled);
    const std::string& wire = run.receiver.wire();
    ASSERT_GE(wire.size(), AbortSequence().size());
    EXPECT_EQ(wire.substr(wire.size() - AbortSequence().size()), AbortSequence());
    EXPECT_LT(run.receiver.file().size(), 10000u);
}

TEST(ZmodemSender, AnUnreadableFileSendsNothing) {
    FakeReceiver receiver({});
    GFMonitor monitor;
    GFSerial serial(receiver, monitor);
    GFZmodem zmodem(serial);
    EXPECT_EQ(zmodem.SendFile("/nonexistent/file.bin", "FILE.BIN"), GFResult::FileUnreadable);
    EXPECT_EQ(zmodem.SendFile("/tmp", "FILE.BIN"), GFResult::FileUnreadable);
    EXPECT_EQ(zmodem.SendData("x", ""), GFResult::FileUnreadable);
    EXPECT_TRUE(receiver.wire().empty());
}

}  // namespace
}  // namespace fwxfer::test
