// The printer's way out: every byte a simulated printer sends passes through here, so that the
// faults asked for (garbage, silence, split replies, a cut line, noise) shape the output the
// same way whichever language the printer speaks.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// A stretch of bytes to put on the line.
struct OutgoingPiece {
    std::string bytes;
    std::chrono::milliseconds pauseBefore{0};  // quiet time on the line before these bytes
    bool closeLineAfter = false;               // cut the line once these bytes are out
};

// Printable bytes that mean nothing to a host; never flow-control, frame or line-end
// characters.
std::string Noise(std::size_t count);

class ReplyChannel {
  public:
    // Replaces the faults; the count of reply bytes towards a line cut starts again.
    void setFaults(const Faults& faults);
    // The faults still to come; the framing counts its busy answers and lost acknowledges here.
    Faults& faults() { return faults_; }

    // A reply: garbage goes before it, it is cut short when the line is to be cut within it,
    // and it is split into pieces when asked. Its bytes count towards the cut. The first piece
    // waits `processing` (the printer working on the request) before it goes out.
    void sendReply(std::string bytes, std::vector<OutgoingPiece>* out,
                   std::chrono::milliseconds processing = {});
    // A flow-control answer (acknowledge, busy): garbage goes before it, but it is neither
    // split nor counted.
    void sendShort(std::string bytes, std::vector<OutgoingPiece>* out);
    // When noise was asked for, the reply to the next request is that much noise instead.
    // Returns true when it was sent (the request is then not answered).
    bool sendFloodInstead(std::vector<OutgoingPiece>* out);

    // Once a line cut has been sent, the printer is gone and answers nothing more.
    bool lineCut() const { return lineCut_; }

  private:
    void sendGarbage(std::vector<OutgoingPiece>* out);

    Faults faults_;
    std::size_t replyBytesSent_ = 0;
    bool lineCut_ = false;
};

}  // namespace tarvo::sim
