// The Lanmere printer's side of the framing protocol: it takes <STX>...<ETX> frames and <ENQ>,
// answers the QEL commands inside them, and acknowledges as the line protocol asks, with the
// misbehaviour it was asked for.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "boot_engine.h"
#include "commands.h"
#include "frame_parser.h"
#include "printer_engine.h"

namespace tarvo::sim {

class ProtocolEngine final : public PrinterEngine {
  public:
    using PrinterEngine::PrinterEngine;

    void setFrameCharacters(char preamble, char postamble) override;
    void hear(std::string_view bytes, std::vector<OutgoingPiece>* out) override;
    std::vector<LineSettings> bootLines() const override;
    const BootEngine* boot() const override { return &boot_; }

  private:
    void hearByte(char byte, std::vector<OutgoingPiece>* out);
    bool hearInBoot(char byte, std::vector<OutgoingPiece>* out);
    void onMessage(const std::string& body, std::vector<OutgoingPiece>* out);
    void onEnquiry(std::vector<OutgoingPiece>* out);
    void acknowledgeAndProcessHeld(std::vector<OutgoingPiece>* out);
    void process(std::string_view body, std::vector<OutgoingPiece>* out);
    void sendAcknowledgeState(char code, std::vector<OutgoingPiece>* out);
    std::string framed(std::string_view text) const;

    char preamble_ = 0;
    char postamble_ = 0;
    FrameParser parser_;
    std::deque<std::string> held_;  // messages taken while busy, processed once ready
    CommandInterpreter interpreter_{identity_};
    BootEngine boot_;
};

}  // namespace tarvo::sim
