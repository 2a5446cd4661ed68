// A clock for tests: waits advance virtual time instead of sleeping. Before time moves on, the
// simulated printer is allowed to settle (take in what the host wrote and answer it), so the
// kernel sees exactly what it would after a real wait, at no cost in real time.
#pragma once

#include <functional>

#include "platform/clock.h"

namespace tarvo::test {

class FakeClock final : public platform::Clock {
  public:
    explicit FakeClock(std::function<void()> settle) : settle_(std::move(settle)) {}

    platform::TimePoint now() override { return now_; }
    void sleepFor(platform::Millis duration) override;
    bool waitReadable(int fd, platform::Millis timeout) override;
    bool waitWritable(int fd, platform::Millis timeout) override;

    // Virtual time spent waiting so far.
    platform::Millis elapsed() const;

  private:
    std::function<void()> settle_;
    platform::TimePoint start_{};
    platform::TimePoint now_{};
};

}  // namespace tarvo::test
