// The Zmodem receiver of a simulated Brakenholm printer: lrzsz's rz, run in a directory that
// stands for one of the printer's devices, on a socket pair. The printer's line thread relays
// the host's bytes to it and its answers back through the printer's own pacing, transcript and
// faults. Not the pseudo-terminal itself: rz sets the terminal it runs on, and on a
// pseudo-terminal that would rewrite the host's port settings.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tarvo/base/unique_fd.h"

namespace tarvo::sim {

class ZmodemReceiver {
  public:
    // Starts `rz -b -y` in `directory` (under LC_ALL=C). Returns null with *error set when it
    // cannot be started.
    static std::unique_ptr<ZmodemReceiver> Start(const std::string& directory, std::string* error);
    ~ZmodemReceiver();  // kills a receiver still running

    int fd() const { return fd_.get(); }
    // Queues bytes from the host and writes what the receiver takes now.
    void give(std::string_view bytes);
    // Writes queued bytes and reads what the receiver said since. Never blocks.
    std::string exchange();
    // The receiver's exit status once it has ended (-1 when killed by a signal); nullopt while
    // it runs.
    std::optional<int> finished();
    // Ends the receiver at once, as a line cut does.
    void kill();
    std::size_t bytesGiven() const { return given_; }

  private:
    ZmodemReceiver(pid_t pid, platform::UniqueFd fd) : pid_(pid), fd_(std::move(fd)) {}
    void flush();

    pid_t pid_;
    platform::UniqueFd fd_;
    std::string pending_;
    std::size_t given_ = 0;
    std::optional<int> status_;
};

}  // namespace tarvo::sim
