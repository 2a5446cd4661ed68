// The byte line under a transfer: a serial port in the program, a socket pair or a scripted
// receiver in the tests. Every call is bounded by the time-out it is given; nothing here blocks
// for longer.
#pragma once

#include <chrono>
#include <cstddef>

namespace fwxfer {

using Millis = std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

enum class GFIo {
    Ok,
    Timeout,  // nothing moved within the time-out
    Closed,   // the far side is gone (end of file, hang-up)
    Error,    // any other failure of the device
    // Only from GFSerial, which waits on behalf of a transfer:
    Stalled,  // the line took no byte for the whole stall limit
    Aborted,  // the monitor asked to stop
};

class GFLink {
  public:
    virtual ~GFLink() = default;

    // The link's clock: the steady clock, or a test's virtual one.
    virtual TimePoint now() = 0;

    // Waits up to `timeout` for input, then reads at most `size` bytes into `buffer`.
    // `got` [out]: the number read; 0 with Timeout. Must not be null.
    virtual GFIo read(char* buffer, std::size_t size, Millis timeout, std::size_t* got) = 0;

    // Writes as much of `data` as the line takes within `timeout` (output held back by
    // RTS/CTS or XOFF does not block longer). "Written" means handed to the operating system.
    // `written` [out]: the number taken; Timeout when it is 0. Must not be null.
    virtual GFIo write(const char* data, std::size_t size, Millis timeout,
                       std::size_t* written) = 0;

    // Discard unread input / unsent output.
    virtual void purgeInput() = 0;
    virtual void purgeOutput() = 0;
};

}  // namespace fwxfer
