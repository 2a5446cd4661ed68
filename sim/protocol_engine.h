// The printer's side of the framing protocol, apart from any I/O: it hears bytes and says what
// to send back, with acknowledges, replies and the misbehaviour it was asked for.
#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "frame_parser.h"
#include "printer_state.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// A stretch of bytes to put on the line.
struct OutgoingPiece {
    std::string bytes;
    std::chrono::milliseconds pauseBefore{0};  // quiet time on the line before these bytes
    bool closeLineAfter = false;               // cut the line once these bytes are out
};

class ProtocolEngine {
  public:
    explicit ProtocolEngine(const PrinterState& state) : state_(state) {}

    void setState(const PrinterState& state) { state_ = state; }
    void setProtocol(Protocol protocol);
    void setFrameCharacters(char preamble, char postamble);
    // Replaces the faults; the count of reply bytes towards a line cut starts again.
    void setFaults(const Faults& faults);

    // Takes bytes the printer heard (already reduced to its data bits) and appends what it
    // sends in return to *out, in order.
    void hear(std::string_view bytes, std::vector<OutgoingPiece>* out);

    // XON/XOFF: the host has sent <DC3> and not yet <DC1>.
    bool outputPaused() const { return outputPaused_; }
    // Once a line cut has been sent, the printer is gone and answers nothing more.
    bool lineCut() const { return lineCut_; }

    const std::vector<std::string>& messages() const { return messages_; }
    const PrinterState& state() const { return state_; }

  private:
    void onMessage(const std::string& body, std::vector<OutgoingPiece>* out);
    void onEnquiry(std::vector<OutgoingPiece>* out);
    void acknowledgeAndProcessHeld(std::vector<OutgoingPiece>* out);
    void process(std::string_view body, std::vector<OutgoingPiece>* out);
    void sendAcknowledgeState(char code, std::vector<OutgoingPiece>* out);
    void sendReply(std::string bytes, std::vector<OutgoingPiece>* out);
    void sendGarbage(std::vector<OutgoingPiece>* out);
    std::string framed(std::string_view text) const;

    PrinterState state_;
    Protocol protocol_ = Protocol::XonXoff;
    char preamble_ = 0;
    char postamble_ = 0;
    Faults faults_;
    FrameParser parser_;
    std::vector<std::string> messages_;
    std::deque<std::string> held_;  // messages taken while busy, processed once ready
    std::size_t replyBytesSent_ = 0;
    bool outputPaused_ = false;
    bool lineCut_ = false;
};

// Printable bytes that mean nothing to a host; never flow-control or frame characters.
std::string Noise(std::size_t count);

}  // namespace tarvo::sim
