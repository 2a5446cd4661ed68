#include "protocol_engine.h"

#include <utility>

#include "commands.h"

namespace tarvo::sim {

void ProtocolEngine::setFrameCharacters(char preamble, char postamble) {
    preamble_ = preamble;
    postamble_ = postamble;
}

void ProtocolEngine::hear(std::string_view bytes, std::vector<OutgoingPiece>* out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (lineCut())
            return;
        if (receiver_) {
            receiver_->give(bytes.substr(i));
            relay(out);
            return;
        }
        const char byte = bytes[i];
        // The message that declares the firmware invalid is done before the next byte, which
        // the boot ROM hears.
        if (state_.firmwareInvalidated && hearInBoot(byte, out))
            continue;
        if (startsTransfer(byte, out))
            continue;
        hearByte(byte, out);
    }
}

std::vector<LineSettings> ProtocolEngine::bootLines() const {
    return state_.firmwareInvalidated ? boot_.lines() : std::vector<LineSettings>{};
}

// Returns false when the byte is for the firmware that the loader has just started.
bool ProtocolEngine::hearInBoot(char byte, std::vector<OutgoingPiece>* out) {
    if (boot_.phase() == BootEngine::Phase::Running) {
        // Whatever the firmware was doing is lost with it.
        parser_ = FrameParser{};
        held_.clear();
        outputPaused_ = false;
    }
    const bool taken = boot_.hear(byte, &state_, &replies_, out);
    lineCutHere_ = boot_.lineCut();
    return taken;
}

void ProtocolEngine::hearByte(char byte, std::vector<OutgoingPiece>* out) {
    switch (parser_.feed(byte)) {
        case FrameParser::Event::Message:
            onMessage(parser_.message(), out);
            break;
        case FrameParser::Event::Enquiry:
            onEnquiry(out);
            break;
        case FrameParser::Event::ResumeOutput:
            if (line_.protocol == Protocol::XonXoff)
                outputPaused_ = false;
            break;
        case FrameParser::Event::PauseOutput:
            if (line_.protocol == Protocol::XonXoff)
                outputPaused_ = true;
            break;
        case FrameParser::Event::None:
            break;
    }
}

void ProtocolEngine::onMessage(const std::string& body, std::vector<OutgoingPiece>* out) {
    takeMessage(body);
    if (line_.protocol != Protocol::Standard) {
        process(body, out);
        return;
    }
    Faults& faults = replies_.faults();
    if (faults.busyCount > 0) {
        // Busy: the message is taken but waits until the host's <ENQ> finds the printer ready,
        // since the host clears its input before it asks again.
        --faults.busyCount;
        held_.push_back(body);
        sendAcknowledgeState(kDc3, out);
        return;
    }
    if (faults.lostAcks > 0) {
        --faults.lostAcks;
        process(body, out);
        return;
    }
    held_.push_back(body);
    acknowledgeAndProcessHeld(out);
}

void ProtocolEngine::onEnquiry(std::vector<OutgoingPiece>* out) {
    if (line_.protocol != Protocol::Standard)
        return;
    Faults& faults = replies_.faults();
    if (faults.busyCount > 0) {
        --faults.busyCount;
        sendAcknowledgeState(kDc3, out);
        return;
    }
    acknowledgeAndProcessHeld(out);
}

void ProtocolEngine::acknowledgeAndProcessHeld(std::vector<OutgoingPiece>* out) {
    sendAcknowledgeState(kDc1, out);
    while (!held_.empty()) {
        const std::string body = std::move(held_.front());
        held_.pop_front();
        process(body, out);
    }
}

// The commands take effect even when noise goes out in place of their replies; a new line
// takes effect once the message is done.
void ProtocolEngine::process(std::string_view body, std::vector<OutgoingPiece>* out) {
    std::vector<Reply> replies;
    interpreter_.run(body, &state_, line_, &replies);
    if (auto line = interpreter_.takeLineChange()) {
        setLine(*line);
        lineChange_ = line;
    }
    if (interpreter_.takeFrameReset())
        setFrameCharacters(0, 0);
    if (replies_.sendFloodInstead(out))
        return;
    auto processing = processingDelay(false, body);
    for (const Reply& reply : replies) {
        std::string bytes;
        for (const std::string& text : reply)
            bytes += framed(text);
        replies_.sendReply(std::move(bytes), out, std::exchange(processing, {}));
    }
}

std::string ProtocolEngine::framed(std::string_view text) const {
    std::string bytes;
    if (preamble_ != 0)
        bytes += preamble_;
    bytes += text;
    if (postamble_ != 0)
        bytes += postamble_;
    return bytes;
}

void ProtocolEngine::sendAcknowledgeState(char code, std::vector<OutgoingPiece>* out) {
    replies_.sendShort(framed(std::string_view(&code, 1)), out);
}

}  // namespace tarvo::sim
