// Owning wrapper of a file descriptor.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tarvo::platform {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~UniqueFd() { close(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }

    // Closes the descriptor; returns false when close reported an error (EINTR counts as
    // closed: Linux releases the descriptor before it can be interrupted).
    bool close() {
        if (fd_ < 0)
            return true;
        const int rc = ::close(std::exchange(fd_, -1));
        return rc == 0 || errno == EINTR;
    }

  private:
    int fd_ = -1;
};

}  // namespace tarvo::platform
