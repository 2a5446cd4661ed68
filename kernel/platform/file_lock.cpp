#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace tarvo::platform {

FileLock::FileLock(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
    if (!fd_) {
        return;
    }
    int rc = 0;
    do {
        rc = ::flock(fd_.get(), LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    locked_ = rc == 0;
}

FileLock::~FileLock() {
    // Closing the descriptor would drop the lock as well; unlocking first releases it even if a
    // forked child still shares the open file description.
    if (locked_) {
        ::flock(fd_.get(), LOCK_UN);
    }
}

}  // namespace tarvo::platform
