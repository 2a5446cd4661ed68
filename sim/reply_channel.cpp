#include "reply_channel.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "tarvo/base/notation.h"

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

void ReplyChannel::setFaults(const Faults& faults) {
    faults_ = faults;
    ExpandMnemonics(faults_.garbage);  // over-long text stays as it was given
    replyBytesSent_ = 0;
}

// Garbage goes before whatever the printer sends next, acknowledge or reply, so that a host
// waiting for either meets it.
void ReplyChannel::sendGarbage(std::vector<OutgoingPiece>* out) {
    if (!faults_.garbage.empty()) {
        out->push_back({std::exchange(faults_.garbage, {})});
    }
}

void ReplyChannel::sendShort(std::string bytes, std::vector<OutgoingPiece>* out) {
    if (faults_.silent || lineCut_)
        return;
    sendGarbage(out);
    out->push_back({std::move(bytes)});
}

bool ReplyChannel::sendFloodInstead(std::vector<OutgoingPiece>* out) {
    if (faults_.floodBytes == 0)
        return false;
    sendReply(Noise(std::exchange(faults_.floodBytes, 0)), out);
    return true;
}

// Reply bytes counted towards the cut include preamble, postamble and flood noise, not
// acknowledges or garbage.
void ReplyChannel::sendReply(std::string bytes, std::vector<OutgoingPiece>* out,
                             std::chrono::milliseconds processing) {
    if (faults_.silent || lineCut_)
        return;
    const std::size_t first = out->size();
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
    (*out)[first].pauseBefore += processing;
}

}  // namespace tarvo::sim
