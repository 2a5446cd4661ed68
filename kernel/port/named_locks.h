// The two process-shared locks that keep a framed read and the writes it makes from
// interleaving with another framed read, in this or another process. Each is an flock on a
// lock file in the runtime directory, opened once per process; acquisitions nest and every
// release is paired with an acquisition, so no process is ever left blocked by a stray hold.
#pragma once

namespace tarvo {

enum class NamedLock { Read, Write };

// Takes the lock (waits without limit). Nested acquisitions only count.
void AcquireNamedLock(NamedLock lock);

// Gives one acquisition back; the lock is released when the count reaches zero.
void ReleaseNamedLock(NamedLock lock);

// Current nesting count, for tests.
int NamedLockDepth(NamedLock lock);

// Holds a lock for a scope.
class ScopedNamedLock {
  public:
    explicit ScopedNamedLock(NamedLock lock) : lock_(lock) { AcquireNamedLock(lock_); }
    ~ScopedNamedLock() { ReleaseNamedLock(lock_); }
    ScopedNamedLock(const ScopedNamedLock&) = delete;
    ScopedNamedLock& operator=(const ScopedNamedLock&) = delete;

  private:
    NamedLock lock_;
};

}  // namespace tarvo
