// The real clock, keeping count of the time spent in the waits the protocol prescribes (sleeps
// and waits for the line), so that what an operation costs beyond them can be told apart.
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tarvo::bench {

class CountingClock final : public platform::Clock {
  public:
    platform::TimePoint now() override { return real_.now(); }
    void sleepFor(platform::Millis d) override {
        timed([&] { real_.sleepFor(d); });
    }
    bool waitReadable(int fd, platform::Millis t) override {
        bool r = false;
        timed([&] { r = real_.waitReadable(fd, t); });
        return r;
    }
    bool waitWritable(int fd, platform::Millis t) override {
        bool r = false;
        timed([&] { r = real_.waitWritable(fd, t); });
        return r;
    }
    // Seconds spent waiting so far.
    double waitedSeconds() const { return waited_; }

  private:
    template <typename F>
    void timed(F f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        waited_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    platform::Clock& real_ = platform::CurrentClock();
    double waited_ = 0;
};

}  // namespace tarvo::bench
