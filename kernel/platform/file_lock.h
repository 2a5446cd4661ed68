// An exclusive advisory lock (flock) on a lock file, held for the lifetime of the object.
#pragma once

#include <string>

#include "tarvo/base/unique_fd.h"

namespace tarvo::platform {

class FileLock {
  public:
    // Creates the lock file when needed (mode 0600) and waits until the lock is ours, retrying
    // on EINTR. locked() tells whether that worked.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return locked_; }

  private:
    UniqueFd fd_;
    bool locked_ = false;
};

}  // namespace tarvo::platform
