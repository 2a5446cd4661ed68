// The Lanmere printer's side of the framing protocol: it takes <STX>...<ETX> frames and <ENQ>,
// answers the QEL commands inside them, and acknowledges as the line protocol asks, with the
// misbehaviour it was asked for.
#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boot_engine.h"
#include "commands.h"
#include "frame_parser.h"
#include "printer_engine.h"
#include "tarvo/base/fs.h"
#include "zmodem_receiver.h"

namespace tarvo::sim {

class ProtocolEngine final : public PrinterEngine {
  public:
    using PrinterEngine::PrinterEngine;

    void setFrameCharacters(char preamble, char postamble) override;
    void hear(std::string_view bytes, std::vector<OutgoingPiece>* out) override;
    std::vector<LineSettings> bootLines() const override;
    const BootEngine* boot() const override { return &boot_; }

    // The escape-language firmware on script hardware has no command that starts its Zmodem
    // receiver: the receiver starts on the sender's request itself, and until it ends every
    // byte heard goes to it (protocol_transfer.cpp).
    int relayFd() const override;
    void relay(std::vector<OutgoingPiece>* out) override;
    // The bytes of a file received over Zmodem; nullopt for any other.
    std::optional<std::string> receivedFile(const std::string& name) const;

  private:
    // Watches for the Zmodem request; true when `byte` completed it and the receiver runs.
    bool startsTransfer(char byte, std::vector<OutgoingPiece>* out);
    void endTransfer();
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
    std::string zmodemWatch_;  // the last bytes heard, while they may begin a Zmodem request
    platform::TemporaryDirectory workDirectory_;  // the files received over Zmodem
    std::unique_ptr<ZmodemReceiver> receiver_;
};

}  // namespace tarvo::sim
