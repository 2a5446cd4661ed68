// One question-and-answer session with a printer: a connection opened for the exchange and
// closed when it ends, whatever way out the caller takes.
#pragma once

#include <cstddef>
#include <string>

#include "port/framing.h"

namespace tarvo {

// How long PCUWait(`units`) waits: scaled by the profile's rate, plus the extra delay of the
// configuration last sent.
int PCUWaitMs(int units);

class Exchange {
  public:
    // A connection from the context's communication parameters.
    explicit Exchange(LineContext& context);
    // A connection with explicit line settings (replies are acknowledged).
    Exchange(LineContext& context, int portIndex, int baud, int parity, int dataBits, int stopBits,
             int protocol);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // False when the explicit port index is out of range.
    bool ok() const { return opened_; }
    Connection& connection() { return conn_; }

    // Sends `text` (notation) as one framed message. Returns the framing status.
    int send(const std::string& text, int retries);

    // Reads one reply of at most `capacity` bytes into *reply (a longer reply is cut, the rest
    // dropped with the connection). Returns the framing status, 0 also for a cut reply.
    int read(std::string* reply, std::size_t capacity, int retries, int timeoutMs);

    // Sends `text` and reads the reply of at most `capacity` bytes with `readRetries` passes
    // and `timeoutMs`, after PCUWait(`waitUnits`) or, with adaptive timing, as soon as it is
    // in (FramedReadReply; `complete` may be empty). Returns the reply, empty when the send
    // failed or nothing came.
    std::string ask(const std::string& text, int sendRetries, int waitUnits, std::size_t capacity,
                    int readRetries, int timeoutMs, const ReplyComplete& complete = {});

    // Clears the frame characters, for exchanges that must see them as data.
    void clearFrameCharacters();

    // Status of the last send (0 when none failed).
    int lastSendStatus() const { return lastSendStatus_; }

  private:
    Connection conn_;
    bool opened_ = false;
    int lastSendStatus_ = 0;
};

}  // namespace tarvo
