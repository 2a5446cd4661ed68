#include "frame_parser.h"

namespace tarvo::sim {

FrameParser::Event FrameParser::feed(char byte) {
    // A new <STX> always starts over: a host that gave up on a frame half-way and retries
    // sends the whole frame again.
    if (byte == kStx) {
        state_ = State::InFrame;
        body_.clear();
        return Event::None;
    }
    switch (state_) {
        case State::Idle:
            return feedBetweenFrames(byte);
        case State::Overrun:
            if (byte == kEtx)
                state_ = State::Idle;
            return Event::None;
        case State::InFrame:
            break;
    }
    if (byte == kEtx) {
        state_ = State::Idle;
        message_.swap(body_);
        body_.clear();
        return Event::Message;
    }
    if (body_.size() >= kMaxMessageBytes) {
        state_ = State::Overrun;
        std::string().swap(body_);
        return Event::None;
    }
    body_.push_back(byte);
    return Event::None;
}

FrameParser::Event FrameParser::feedBetweenFrames(char byte) {
    switch (byte) {
        case kEnq:
            return Event::Enquiry;
        case kDc1:
            return Event::ResumeOutput;
        case kDc3:
            return Event::PauseOutput;
        default:
            return Event::None;  // line noise between frames
    }
}

}  // namespace tarvo::sim
