// The boot loader's command frames, seen from the printer:
// "[" word1 ":" word2 ":" word3 ":" text-length ":" text ":" data-length ":" data ":" checksum "]"
// Lengths are up to four hexadecimal digits or empty (no part); the checksum is eight
// hexadecimal digits of the sum of every byte from "[" through the colon after the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::sim {

inline constexpr char kBootAck = 0x06;
inline constexpr char kBootNak = 0x15;

struct BootFrame {
    std::array<std::string, 3> words;
    std::string text;
    std::string data;

    bool operator==(const BootFrame&) const = default;
};

// The frame's bytes, checksum in lower case; an empty text or data part is sent as absent
// (an empty length field).
std::string BuildBootFrame(const BootFrame& frame);

// A pure byte state machine: it never allocates more than one frame's worth (lengths are at most
// four hexadecimal digits), and after a fault it hunts for the next "[" again.
class BootFrameParser {
  public:
    enum class Event { None, Frame, Bad };

    static constexpr std::size_t kMaxWordBytes = 20;
    static constexpr std::size_t kMaxLengthDigits = 4;
    static constexpr std::size_t kChecksumDigits = 8;

    // Takes one byte. After Event::Frame, frame() holds the frame; after Event::Bad, fault()
    // says what was wrong with it (bytes between frames are no event at all).
    Event feed(char byte);

    const BootFrame& frame() const { return frame_; }
    const std::string& fault() const { return fault_; }
    // Whether a frame has begun and not yet ended.
    bool insideFrame() const { return state_ != State::Hunting; }

  private:
    enum class State {
        Hunting,
        Word,
        TextLength,
        Text,
        TextColon,
        DataLength,
        Data,
        DataColon,
        Checksum,
        Close
    };

    Event feedInside(char byte);
    Event feedWord(char byte);
    Event feedLength(char byte, std::string* part, State next);
    Event feedChecksum(char byte);
    Event feedClose(char byte);
    Event fail(std::string reason);
    void afterLength(std::string* part, State next);

    State state_ = State::Hunting;
    BootFrame frame_;
    std::size_t word_ = 0;
    std::string digits_;
    std::size_t remaining_ = 0;
    std::uint32_t sum_ = 0;
    std::uint32_t received_ = 0;
    std::string fault_;
};

}  // namespace tarvo::sim
