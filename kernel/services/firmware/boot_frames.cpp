#include "services/firmware/boot_frames.h"

#include <cctype>
#include <cstdio>

#include "tarvo/base/hex_digit.h"

namespace tarvo::firmware {
namespace {

constexpr std::size_t kLengthDigits = 4;
constexpr std::size_t kChecksumDigits = 8;

void AppendLength(std::string* out, const std::optional<std::string>& part) {
    if (part) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04zx", part->size());
        out->append(digits);
    }
    out->push_back(':');
    if (part)
        out->append(*part);
    out->push_back(':');
}

std::uint32_t HexNumber(std::string_view digits) {
    std::uint32_t v = 0;
    for (const char c : digits)
        v = v << 4 | static_cast<std::uint32_t>(HexDigitValue(c));
    return v;
}

}  // namespace

std::uint32_t ByteSum(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (const char c : bytes)
        sum += static_cast<unsigned char>(c);
    return sum;
}

int BuildFrame(const BootFrame& frame, std::string* bytes) {
    if (frame.word1.size() > kMaxWordLength)
        return kFrameWord1TooLong;
    if (frame.word2.size() > kMaxWordLength)
        return kFrameWord2TooLong;
    if (frame.word3.size() > kMaxWordLength)
        return kFrameWord3TooLong;
    const std::size_t content = frame.word1.size() + frame.word2.size() + frame.word3.size() +
                                (frame.text ? frame.text->size() : 0) +
                                (frame.data ? frame.data->size() : 0);
    if (content >= kMaxFrameContent)
        return kFrameTooLong;
    std::string out;
    out.reserve(content + 40);
    out.push_back('[');
    for (const std::string* w : {&frame.word1, &frame.word2, &frame.word3}) {
        out.append(*w);
        out.push_back(':');
    }
    AppendLength(&out, frame.text);
    AppendLength(&out, frame.data);
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%08lx", static_cast<unsigned long>(ByteSum(out)));
    out.append(checksum);
    out.push_back(']');
    *bytes = std::move(out);
    return 0;
}

void FrameParser::reset() {
    state_ = State::Open;
    frame_ = BootFrame{};
    field_.clear();
    wanted_ = 0;
    sum_ = 0;
}

int FrameParser::fail(int code) {
    state_ = State::Finished;
    return code;
}

int FrameParser::word(std::string* word, unsigned char byte, State next) {
    if (byte == ':') {
        state_ = next;
        return kMore;
    }
    if (word->size() == kMaxWordLength)
        return fail(kReplyWordTooLong);
    word->push_back(static_cast<char>(byte));
    return kMore;
}

int FrameParser::lengthDigit(unsigned char byte, std::optional<std::string>* part, State body,
                             State after) {
    if (byte != ':') {
        if (HexDigitValue(static_cast<char>(byte)) < 0)
            return fail(kReplyLengthNotHex);
        if (field_.size() == kLengthDigits)
            return fail(kReplyLengthTooLong);
        field_.push_back(static_cast<char>(byte));
        return kMore;
    }
    wanted_ = field_.empty() ? 0 : HexNumber(field_);
    if (!field_.empty())
        part->emplace();
    field_.clear();
    if (wanted_ > 0)
        (*part)->reserve(wanted_);
    state_ = wanted_ > 0 ? body : after;
    return kMore;
}

int FrameParser::bodyByte(std::string* part, unsigned char byte, State after) {
    part->push_back(static_cast<char>(byte));
    if (--wanted_ == 0)
        state_ = after;
    return kMore;
}

int FrameParser::feed(unsigned char byte) {
    if (state_ != State::Checksum && state_ != State::Close && state_ != State::Finished &&
        (state_ != State::Open || byte == '['))
        sum_ += byte;
    switch (state_) {
        case State::Open:
            if (byte == '[')
                state_ = State::Word1;
            return kMore;
        case State::Word1:
            return word(&frame_.word1, byte, State::Word2);
        case State::Word2:
            return word(&frame_.word2, byte, State::Word3);
        case State::Word3:
            return word(&frame_.word3, byte, State::TextLength);
        case State::TextLength:
            return lengthDigit(byte, &frame_.text, State::Text, State::AfterText);
        case State::Text:
            return bodyByte(&*frame_.text, byte, State::AfterText);
        case State::AfterText:
            if (byte != ':')
                return fail(kReplyNoColonAfterText);
            state_ = State::DataLength;
            return kMore;
        case State::DataLength:
            return lengthDigit(byte, &frame_.data, State::Data, State::AfterData);
        case State::Data:
            return bodyByte(&*frame_.data, byte, State::AfterData);
        case State::AfterData:
            if (byte != ':')
                return fail(kReplyNoColonAfterData);
            state_ = State::Checksum;
            return kMore;
        case State::Checksum:
            if (HexDigitValue(static_cast<char>(byte)) < 0)
                return fail(kReplyChecksumNotHex);
            field_.push_back(static_cast<char>(byte));
            if (field_.size() == kChecksumDigits)
                state_ = State::Close;
            return kMore;
        case State::Close:
            if (byte != ']')
                return fail(kReplyNotClosed);
            state_ = State::Finished;
            return HexNumber(field_) == sum_ ? kDone : kReplyChecksumWrong;
        case State::Finished:
            return kMore;
    }
    return fail(kReplyParserState);
}

}  // namespace tarvo::firmware
