// Time for the kernel: every wait and every time-out goes through the current clock, so that
// the shipped program sleeps its real durations (repainting the window between slices) while
// tests install a fake clock that advances virtual time and spends no real time on protocol
// waits.
#pragma once

#include <chrono>

namespace tarvo::platform {

using Millis = std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual TimePoint now() = 0;
    // Waits `duration`.
    virtual void sleepFor(Millis duration) = 0;
    // Waits until `fd` has input (or a hang-up) or `timeout` passed. Returns true when the
    // descriptor became readable or hung up.
    virtual bool waitReadable(int fd, Millis timeout) = 0;
    // Waits until `fd` accepts output or `timeout` passed. Returns true when writable.
    virtual bool waitWritable(int fd, Millis timeout) = 0;
};

// The clock in use: the real one unless a test installed another.
Clock& CurrentClock();

// Installs `clock` (not owned; null restores the real clock).
void SetClock(Clock* clock);

// The function the real clock calls between slices of a wait, so the host program can repaint
// and run its timers. Null for none.
using MessagePump = void (*)(void* user);
void SetMessagePump(MessagePump pump, void* user);

// Calls the message pump once (no-op without one). While it runs, InMessagePump() is true, so
// that a kernel call made from inside the pump can be recognised and refused.
void PumpMessages();
bool InMessagePump();

}  // namespace tarvo::platform
