// A byte stream over a link for a transfer and for the lines around it. Every wait is cut into
// short slices; between slices the monitor gets its turn (the window repaints) and is asked
// whether the operator wants to stop, so no wait outlasts a Cancel by more than a slice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fwxfer/gf_link.h"
#include "fwxfer/gf_monitor.h"

namespace fwxfer {

class GFSerial {
  public:
    // A write that moves no byte for this long reports Stalled (RTS/CTS held off by a cable
    // without the line, or a receiver that stopped reading).
    static constexpr Millis kStallLimit{30000};
    static constexpr Millis kSlice{100};

    // `link` and `monitor` must outlive the stream.
    GFSerial(GFLink& link, GFMonitor& monitor) : link_(link), monitor_(monitor) {}

    // Writes every byte. Returns Ok, Stalled, Aborted, Closed or Error.
    GFIo PutBuffer(std::string_view bytes);
    GFIo PutChar(char byte) { return PutBuffer(std::string_view(&byte, 1)); }

    // Waits up to `timeout` for one byte. Returns Ok, Timeout, Aborted, Closed or Error.
    // `byte` [out] must not be null.
    GFIo GetByte(Millis timeout, char* byte);
    // Takes in what has arrived, without waiting. Returns Ok, Closed or Error.
    GFIo Poll();
    // Bytes taken in and not yet handed out.
    std::size_t RXCount() const { return input_.size() - taken_; }
    // Hands out at most `size` of the bytes taken in. Returns the count.
    std::size_t GetBuffer(char* buffer, std::size_t size);

    // Discard input taken in and queued / output not yet sent.
    void RXFlush();
    void TXFlush() { link_.purgeOutput(); }

    GFLink& link() { return link_; }
    GFMonitor& monitor() { return monitor_; }

  private:
    GFIo fill(Millis timeout);

    GFLink& link_;
    GFMonitor& monitor_;
    std::string input_;
    std::size_t taken_ = 0;
};

}  // namespace fwxfer
