// What a transfer tells its host and asks of it: progress texts and counts, whether the
// operator asked to stop, bytes from the printer that belong to no frame, and a turn to keep
// the window painted between waits. Every callback has a do-nothing default.
#pragma once

#include <cstdint>
#include <string>

namespace fwxfer {

class GFMonitor {
  public:
    virtual ~GFMonitor() = default;

    // A line of progress text ("Waiting for the receiver", "Sending FILE.BIN").
    virtual void TransferMessage(const std::string& text) { (void)text; }
    // `done` of `total` bytes have been sent (from the receiver's offset on).
    virtual void TransferProgress(std::uint64_t done, std::uint64_t total) {
        (void)done;
        (void)total;
    }
    // Asked between waits and packets: true aborts the transfer.
    virtual bool TransferAbort() { return false; }
    // A byte the printer sent outside any frame (its own messages).
    virtual void AsciiPrinter(char byte) { (void)byte; }
    // Called between slices of every wait, so the host can repaint and take a Cancel.
    virtual void Idle() {}
};

}  // namespace fwxfer
