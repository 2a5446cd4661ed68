#include "port/named_locks.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <string>

#include "tarvo/base/paths.h"
#include "tarvo/base/unique_fd.h"

namespace tarvo {
namespace {

struct LockState {
    const char* fileName;
    platform::UniqueFd fd;
    int depth = 0;
};

LockState gLocks[2] = {{"tarvo-ReadMutex.lock", {}, 0}, {"tarvo-WriteMutex.lock", {}, 0}};

LockState& Slot(NamedLock lock) {
    return gLocks[lock == NamedLock::Read ? 0 : 1];
}

int Flock(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

void AcquireNamedLock(NamedLock lock) {
    LockState& s = Slot(lock);
    if (s.depth++ > 0)
        return;
    if (!s.fd) {
        const std::string path = platform::RuntimeDirectory() + "/" + s.fileName;
        s.fd = platform::UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    }
    // Without a lock file (an unwritable runtime directory) the process goes on unlocked:
    // refusing every printer operation would be worse than the rare interleaving.
    if (s.fd)
        Flock(s.fd.get(), LOCK_EX);
}

void ReleaseNamedLock(NamedLock lock) {
    LockState& s = Slot(lock);
    if (s.depth == 0)
        return;
    if (--s.depth == 0 && s.fd)
        Flock(s.fd.get(), LOCK_UN);
}

int NamedLockDepth(NamedLock lock) {
    return Slot(lock).depth;
}

}  // namespace tarvo
