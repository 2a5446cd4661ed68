// Frames of the boot loader's command protocol:
//   "[" word1 ":" word2 ":" word3 ":" text-length ":" text ":" data-length ":" data ":"
//   checksum "]"
// Lengths are four lower-case hex digits when the part is present and empty when it is absent;
// the checksum is eight hex digits of the sum of every byte from "[" through the colon after the
// data. Building is a pure function; receiving is a state machine fed one byte at a time, so the
// same code runs over a serial line, a test's bytes and a fuzzer's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::firmware {

// Errors of building a frame.
inline constexpr int kFrameWord1TooLong = 101;
inline constexpr int kFrameWord2TooLong = 102;
inline constexpr int kFrameWord3TooLong = 103;
inline constexpr int kFrameTooLong = 104;

// Errors of receiving one.
inline constexpr int kReplyTimeOut = 110;
inline constexpr int kReplyWordTooLong = 111;
inline constexpr int kReplyLengthTooLong = 112;
inline constexpr int kReplyLengthNotHex = 113;
inline constexpr int kReplyNoColonAfterText = 115;
inline constexpr int kReplyNoColonAfterData = 116;
inline constexpr int kReplyChecksumNotHex = 117;
inline constexpr int kReplyNotClosed = 118;
inline constexpr int kReplyChecksumWrong = 119;
inline constexpr int kReplyParserState = 120;

inline constexpr std::size_t kMaxWordLength = 20;
// The words, the text and the data together stay below this.
inline constexpr std::size_t kMaxFrameContent = 65435;

// One frame's content. An absent part is sent with an empty length field.
struct BootFrame {
    std::string word1, word2, word3;
    std::optional<std::string> text;
    std::optional<std::string> data;
};

// The frame's bytes. Returns 0 with *bytes set, or 101..104.
int BuildFrame(const BootFrame& frame, std::string* bytes);

// Sum of the bytes, modulo 2^32.
std::uint32_t ByteSum(std::string_view bytes);

// Receives one frame. Bytes before "[" are skipped. Each text or data part is at most 65535
// bytes (its length field has four digits), so nothing a peer sends can make it grow further.
class FrameParser {
  public:
    // feed() results besides the error codes.
    static constexpr int kMore = -1;
    static constexpr int kDone = 0;

    // Takes one byte. Returns kMore, kDone (the frame is in frame()), or an error code
    // 111..120; after kDone or an error, further bytes are ignored until reset().
    int feed(unsigned char byte);
    // True once "[" has been seen.
    bool started() const { return state_ != State::Open; }
    const BootFrame& frame() const { return frame_; }
    void reset();

  private:
    enum class State {
        Open,
        Word1,
        Word2,
        Word3,
        TextLength,
        Text,
        AfterText,
        DataLength,
        Data,
        AfterData,
        Checksum,
        Close,
        Finished,
    };

    int word(std::string* word, unsigned char byte, State next);
    int lengthDigit(unsigned char byte, std::optional<std::string>* part, State body, State after);
    int bodyByte(std::string* part, unsigned char byte, State after);
    int fail(int code);

    State state_ = State::Open;
    BootFrame frame_;
    std::string field_;       // the length or checksum digits so far
    std::size_t wanted_ = 0;  // bytes still expected in a text or data part
    std::uint32_t sum_ = 0;   // of the bytes from "[" through the colon after the data
};

}  // namespace tarvo::firmware
