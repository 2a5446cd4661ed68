#include "protocol_engine.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "commands.h"
#include "port/notation.h"

namespace tarvo::sim {

std::string Noise(std::size_t count) {
    std::string noise(count, ' ');
    std::uint32_t seed = 0x2545F491u;
    for (char& c : noise) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>('!' + (seed >> 24) % ('~' - '!' + 1));
    }
    return noise;
}

void ProtocolEngine::setProtocol(Protocol protocol) {
    protocol_ = protocol;
    // Only XON/XOFF lets the host hold the printer's output.
    if (protocol != Protocol::XonXoff)
        outputPaused_ = false;
}

void ProtocolEngine::setFrameCharacters(char preamble, char postamble) {
    preamble_ = preamble;
    postamble_ = postamble;
}

void ProtocolEngine::setFaults(const Faults& faults) {
    faults_ = faults;
    ExpandMnemonics(faults_.garbage);  // over-long text stays as it was given
    replyBytesSent_ = 0;
}

void ProtocolEngine::hear(std::string_view bytes, std::vector<OutgoingPiece>* out) {
    for (char byte : bytes) {
        if (lineCut_)
            return;
        switch (parser_.feed(byte)) {
            case FrameParser::Event::Message:
                onMessage(parser_.message(), out);
                break;
            case FrameParser::Event::Enquiry:
                onEnquiry(out);
                break;
            case FrameParser::Event::ResumeOutput:
                if (protocol_ == Protocol::XonXoff)
                    outputPaused_ = false;
                break;
            case FrameParser::Event::PauseOutput:
                if (protocol_ == Protocol::XonXoff)
                    outputPaused_ = true;
                break;
            case FrameParser::Event::None:
                break;
        }
    }
}

void ProtocolEngine::onMessage(const std::string& body, std::vector<OutgoingPiece>* out) {
    messages_.push_back(body);
    if (protocol_ != Protocol::Standard) {
        process(body, out);
        return;
    }
    if (faults_.busyCount > 0) {
        // Busy: the message is taken but waits until the host's <ENQ> finds the printer ready,
        // since the host clears its input before it asks again.
        --faults_.busyCount;
        held_.push_back(body);
        sendAcknowledgeState(kDc3, out);
        return;
    }
    if (faults_.lostAcks > 0) {
        --faults_.lostAcks;
        process(body, out);
        return;
    }
    held_.push_back(body);
    acknowledgeAndProcessHeld(out);
}

void ProtocolEngine::onEnquiry(std::vector<OutgoingPiece>* out) {
    if (protocol_ != Protocol::Standard)
        return;
    if (faults_.busyCount > 0) {
        --faults_.busyCount;
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

void ProtocolEngine::process(std::string_view body, std::vector<OutgoingPiece>* out) {
    if (faults_.floodBytes > 0) {
        const std::size_t count = std::exchange(faults_.floodBytes, 0);
        sendReply(Noise(count), out);
        return;
    }
    for (std::string_view command : SplitCommands(body)) {
        if (auto text = AnswerCommand(command, state_)) {
            sendReply(framed(*text), out);
        }
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
    if (faults_.silent || lineCut_)
        return;
    sendGarbage(out);
    out->push_back({framed(std::string_view(&code, 1))});
}

// Garbage goes before whatever the printer sends next, acknowledge or reply, so that a host
// waiting for either meets it.
void ProtocolEngine::sendGarbage(std::vector<OutgoingPiece>* out) {
    if (!faults_.garbage.empty()) {
        out->push_back({std::exchange(faults_.garbage, {})});
    }
}

// Every reply goes through here: garbage before it, the line cut within it, and splitting.
// Reply bytes counted towards the cut include preamble, postamble and flood noise, not
// acknowledges or garbage.
void ProtocolEngine::sendReply(std::string bytes, std::vector<OutgoingPiece>* out) {
    if (faults_.silent || lineCut_)
        return;
    sendGarbage(out);
    if (faults_.closeAfterReplyBytes > 0) {
        const std::size_t budget =
            faults_.closeAfterReplyBytes - std::min(replyBytesSent_, faults_.closeAfterReplyBytes);
        if (bytes.size() >= budget) {
            bytes.resize(budget);
            lineCut_ = true;
        }
    }
    replyBytesSent_ += bytes.size();
    const std::size_t pieceSize = faults_.splitReplyAt > 0 ? faults_.splitReplyAt : bytes.size();
    std::size_t offset = 0;
    do {
        OutgoingPiece piece{bytes.substr(offset, pieceSize)};
        if (offset > 0)
            piece.pauseBefore = faults_.splitPause;
        offset += pieceSize;
        piece.closeLineAfter = lineCut_ && offset >= bytes.size();
        out->push_back(std::move(piece));
    } while (offset < bytes.size());
}

}  // namespace tarvo::sim
