// Splits the byte stream a printer hears into framed messages (<STX> body <ETX>) and the
// single control bytes that mean something between frames.
#pragma once

#include <cstddef>
#include <string>

namespace tarvo::sim {

inline constexpr char kSoh = 0x01;
inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kEot = 0x04;
inline constexpr char kEnq = 0x05;
inline constexpr char kEsc = 0x1B;
inline constexpr char kSi = 0x0F;
inline constexpr char kDle = 0x10;
inline constexpr char kDc1 = 0x11;
inline constexpr char kDc3 = 0x13;
inline constexpr char kSyn = 0x16;

class FrameParser {
  public:
    enum class Event { None, Message, Enquiry, ResumeOutput, PauseOutput };

    // A frame longer than this is dropped whole: a real printer's buffer would have overrun.
    static constexpr std::size_t kMaxMessageBytes = 1 << 20;

    // Takes one byte. After Event::Message, message() holds the body.
    Event feed(char byte);

    const std::string& message() const { return message_; }
    bool insideFrame() const { return state_ != State::Idle; }

  private:
    enum class State { Idle, InFrame, Overrun };

    Event feedBetweenFrames(char byte);

    State state_ = State::Idle;
    std::string body_;
    std::string message_;
};

}  // namespace tarvo::sim
