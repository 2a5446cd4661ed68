// What every simulated printer does with the bytes it hears, apart from any I/O: one engine per
// language (QEL frames for the Lanmere family, Tallyscript lines for the Brakenholm family),
// chosen by the printer's family. The line thread only feeds bytes in and puts pieces out.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "printer_state.h"
#include "reply_channel.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

class BootEngine;

// Answers that the options make differ from the model's own (empty: the model's own), and the
// hardware the options give the printer.
struct Identity {
    std::string programNumber;
    std::string identReply;
    std::string networkInterface;  // empty: none
    int installedOption = 0;
    // Test-and-service answers by item letter in place of the model's own (empty: silence).
    std::map<char, std::string> serviceReplies;
    bool processingDelays = false;  // each reply waits for the request's processing delay
    int headDots = 0;               // Brakenholm head width in dots; 0: the model's own
};

class PrinterEngine {
  public:
    PrinterEngine(const PrinterState& state, Identity identity)
        : state_(state), identity_(std::move(identity)) {}
    virtual ~PrinterEngine() = default;
    PrinterEngine(const PrinterEngine&) = delete;
    PrinterEngine& operator=(const PrinterEngine&) = delete;

    void setState(const PrinterState& state) { state_ = state; }
    const PrinterState& state() const { return state_; }
    PrinterState& state() { return state_; }

    void setLine(const LineSettings& line);
    // The line a host's command switched the printer to since the last call, once.
    std::optional<LineSettings> takeLineChange() { return std::exchange(lineChange_, {}); }
    virtual void setFrameCharacters(char preamble, char postamble) = 0;
    // Replaces the faults; the count of reply bytes towards a line cut starts again.
    void setFaults(const Faults& faults) { replies_.setFaults(faults); }
    void setClockHardwareError(bool broken) { replies_.faults().clockHardwareError = broken; }

    // Takes bytes the printer heard (already reduced to its data bits) and appends what it
    // sends in return to *out, in order.
    virtual void hear(std::string_view bytes, std::vector<OutgoingPiece>* out) = 0;

    // XON/XOFF: the host has sent <DC3> and not yet <DC1>.
    bool outputPaused() const { return outputPaused_; }
    // Once a line cut has been sent, the printer is gone and answers nothing more.
    bool lineCut() const { return replies_.lineCut() || lineCutHere_; }

    // While the printer answers as its boot code: the lines that it understands then, in place
    // of its own line (the first one is its speed now). Empty while firmware runs.
    virtual std::vector<LineSettings> bootLines() const { return {}; }
    // The boot code, for printers that have one; nullptr otherwise. Owned by the engine.
    virtual const BootEngine* boot() const { return nullptr; }

    // While a file transfer runs, the descriptor on which its receiver answers; -1 otherwise.
    virtual int relayFd() const { return -1; }
    // Passes on what the transfer's receiver said, and settles the transfer once the receiver
    // has ended.
    virtual void relay(std::vector<OutgoingPiece>* out) { (void)out; }

    // What the printer took in, in order: frame bodies or lines.
    const std::vector<std::string>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

  protected:
    // Records a message taken in; the printer falls silent for good when it is the one the
    // faults name in silentAfterMessage.
    void takeMessage(const std::string& message);
    // The time the printer works on `request` before its answer starts.
    std::chrono::milliseconds processingDelay(bool scriptLanguage, std::string_view request) const;

    PrinterState state_;
    const Identity identity_;
    LineSettings line_;
    std::optional<LineSettings> lineChange_;
    ReplyChannel replies_;
    std::vector<std::string> messages_;
    bool outputPaused_ = false;
    bool lineCutHere_ = false;  // a fault of the engine's own cut the line
};

// The engine that speaks the language of `family`.
std::unique_ptr<PrinterEngine> MakeEngine(Family family, const PrinterState& state,
                                          Identity identity);

}  // namespace tarvo::sim
