#include "platform/clock.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace tarvo::platform {
namespace {

// Long waits are cut into slices so the window repaints at a steady rate.
constexpr Millis kSlice{20};

bool PollFor(int fd, short events, Millis timeout) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int rc = ::poll(&p, 1, static_cast<int>(timeout.count()));
        if (rc < 0 && errno == EINTR)
            continue;
        return rc > 0;
    }
}

class RealClock final : public Clock {
  public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }

    void sleepFor(Millis duration) override {
        const TimePoint end = now() + duration;
        for (TimePoint t = now(); t < end; t = now()) {
            std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(kSlice, end - t));
            PumpMessages();
        }
    }

    bool waitReadable(int fd, Millis timeout) override { return waitFor(fd, POLLIN, timeout); }
    bool waitWritable(int fd, Millis timeout) override { return waitFor(fd, POLLOUT, timeout); }

  private:
    bool waitFor(int fd, short events, Millis timeout) {
        const TimePoint end = now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<Millis>(end - now());
            if (PollFor(fd, events, std::clamp(left, Millis{0}, kSlice)))
                return true;
            if (left <= kSlice)
                return false;
            PumpMessages();
        }
    }
};

RealClock gRealClock;
Clock* gClock = &gRealClock;
MessagePump gPump = nullptr;
void* gPumpUser = nullptr;
bool gInPump = false;

}  // namespace

Clock& CurrentClock() {
    return *gClock;
}

void SetClock(Clock* clock) {
    gClock = clock != nullptr ? clock : &gRealClock;
}

void SetMessagePump(MessagePump pump, void* user) {
    gPump = pump;
    gPumpUser = user;
}

void PumpMessages() {
    if (gPump == nullptr || gInPump)
        return;
    gInPump = true;
    gPump(gPumpUser);
    gInPump = false;
}

bool InMessagePump() {
    return gInPump;
}

}  // namespace tarvo::platform
