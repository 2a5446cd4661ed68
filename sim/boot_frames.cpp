#include "boot_frames.h"

#include <cstdio>
#include <utility>

#include "tarvo/base/hex_digit.h"

namespace tarvo::sim {
namespace {

std::string LengthField(const std::string& part) {
    if (part.empty())
        return {};
    char digits[17];  // any size_t in hex, though frames keep parts below 64 KB
    std::snprintf(digits, sizeof digits, "%04zx", part.size());
    return digits;
}

}  // namespace

std::string BuildBootFrame(const BootFrame& frame) {
    std::string bytes = "[";
    for (const std::string& word : frame.words)
        bytes += word + ":";
    bytes += LengthField(frame.text) + ":" + frame.text + ":";
    bytes += LengthField(frame.data) + ":" + frame.data + ":";
    std::uint32_t sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%08x", static_cast<unsigned>(sum));
    return bytes + checksum + "]";
}

BootFrameParser::Event BootFrameParser::feed(char byte) {
    if (state_ == State::Hunting) {
        if (byte == '[') {
            frame_ = BootFrame{};
            word_ = 0;
            digits_.clear();
            sum_ = static_cast<unsigned char>(byte);
            received_ = 0;
            state_ = State::Word;
        }
        return Event::None;
    }
    return feedInside(byte);
}

BootFrameParser::Event BootFrameParser::feedInside(char byte) {
    // A host that gave up on a frame before its text sends the whole frame again.
    if (byte == '[' &&
        (state_ == State::Word || state_ == State::TextLength || state_ == State::DataLength)) {
        state_ = State::Hunting;
        return feed(byte);
    }
    if (state_ != State::Checksum && state_ != State::Close)
        sum_ += static_cast<unsigned char>(byte);
    switch (state_) {
        case State::Word:
            return feedWord(byte);
        case State::TextLength:
            return feedLength(byte, &frame_.text, State::Text);
        case State::Text:
        case State::Data: {
            std::string& part = state_ == State::Text ? frame_.text : frame_.data;
            part.push_back(byte);
            if (--remaining_ == 0)
                state_ = state_ == State::Text ? State::TextColon : State::DataColon;
            return Event::None;
        }
        case State::TextColon:
        case State::DataColon:
            if (byte != ':')
                return fail(state_ == State::TextColon ? "no ':' after the text"
                                                       : "no ':' after the data");
            state_ = state_ == State::TextColon ? State::DataLength : State::Checksum;
            digits_.clear();
            return Event::None;
        case State::DataLength:
            return feedLength(byte, &frame_.data, State::Data);
        case State::Checksum:
            return feedChecksum(byte);
        case State::Close:
            return feedClose(byte);
        case State::Hunting:
            break;
    }
    return Event::None;
}

BootFrameParser::Event BootFrameParser::feedWord(char byte) {
    if (byte == ':') {
        if (++word_ == frame_.words.size()) {
            state_ = State::TextLength;
            digits_.clear();
        }
        return Event::None;
    }
    std::string& word = frame_.words[word_];
    if (word.size() >= kMaxWordBytes)
        return fail("command word " + std::to_string(word_ + 1) + " longer than 20 bytes");
    word.push_back(byte);
    return Event::None;
}

BootFrameParser::Event BootFrameParser::feedLength(char byte, std::string* part, State next) {
    if (byte == ':') {
        afterLength(part, next);
        return Event::None;
    }
    if (HexDigitValue(byte) < 0)
        return fail("a length field holds a byte that is not a hexadecimal digit");
    if (digits_.size() >= kMaxLengthDigits)
        return fail("a length field longer than four digits");
    digits_.push_back(byte);
    return Event::None;
}

// An empty length field and "0000" both say the part is absent.
void BootFrameParser::afterLength(std::string* part, State next) {
    remaining_ = 0;
    for (char digit : digits_)
        remaining_ = remaining_ * 16 + static_cast<std::size_t>(HexDigitValue(digit));
    digits_.clear();
    part->reserve(remaining_);
    const bool text = next == State::Text;
    state_ = remaining_ > 0 ? next : (text ? State::TextColon : State::DataColon);
}

BootFrameParser::Event BootFrameParser::feedChecksum(char byte) {
    const int value = HexDigitValue(byte);
    if (value < 0)
        return fail("the checksum holds a byte that is not a hexadecimal digit");
    received_ = received_ * 16 + static_cast<std::uint32_t>(value);
    digits_.push_back(byte);
    if (digits_.size() == kChecksumDigits)
        state_ = State::Close;
    return Event::None;
}

BootFrameParser::Event BootFrameParser::feedClose(char byte) {
    if (byte != ']')
        return fail("the frame is not closed by ']'");
    state_ = State::Hunting;
    if (received_ != sum_)
        return fail("checksum wrong");
    return Event::Frame;
}

BootFrameParser::Event BootFrameParser::fail(std::string reason) {
    state_ = State::Hunting;
    fault_ = std::move(reason);
    return Event::Bad;
}

}  // namespace tarvo::sim
