// The connection a printer service works on: each message one framed write of 5 passes, the
// first failure remembered, and the connection closed on every way out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "port/scoped_connection.h"

namespace tarvo {

class ServiceLink {
  public:
    // A connection from the context's communication parameters (the port opens on the first
    // write).
    explicit ServiceLink(LineContext& context) : context_(context), conn_(context) {}

    // Sends `text` (control-character notation) as one message. Returns the framing status;
    // the first failure is kept (see failure()).
    int send(std::string_view text);

    // Reads one reply (escapes removed) of at most `capacity` bytes; empty when none came. A
    // longer reply is cut and the rest dropped with the connection.
    std::string read(std::size_t capacity, int retries, int timeoutMs);

    // True when the first message found a port that would not open: nothing reached the
    // printer.
    bool portRefused() const { return portRefused_; }
    int portStatus() const { return firstFailure_; }

    // The public code for what went wrong with the messages: PCU_OK, PCU_ERR_OPEN (recorded in
    // the context's lastError) or PCU_ERR_SEND.
    int failure();

    // Closes the connection; PCU_OK or PCU_ERR_CLOSE (recorded by the framing layer).
    int close() { return conn_.close(); }

  private:
    LineContext& context_;
    ScopedConnection conn_;
    int firstFailure_ = 0;
    bool portRefused_ = false;
    bool anySent_ = false;
};

// True for the port statuses that say the port could not be opened.
bool PortWouldNotOpen(int status);

// True when the printer answers the identification ping.
bool PrinterAnswers(int ctx);

}  // namespace tarvo
