#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "tarvo/base/line_format.h"

namespace tarvo::sim {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    // Raw, so that the line discipline neither echoes the printer's bytes back as if the host
    // had sent them nor translates anything; the host may change this when it opens the line.
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string ReadLinkTarget(const std::string& path) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace

bool PseudoTerminal::open(std::string* error) {
    master_ = platform::UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_) {
        *error = SystemError("cannot open a pseudo-terminal");
        return false;
    }
    char name[128];
    if (::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0 ||
        ::ptsname_r(master_.get(), name, sizeof name) != 0) {
        *error = SystemError("cannot unlock the pseudo-terminal");
        close();
        return false;
    }
    slaveName_ = name;
    slave_ = platform::UniqueFd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave_ || !MakeRaw(slave_.get())) {
        *error = SystemError("cannot set up " + slaveName_);
        close();
        return false;
    }
    const int flags = ::fcntl(master_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = SystemError("cannot make the pseudo-terminal non-blocking");
        close();
        return false;
    }
    number_ = platform::PtyNumberOf(slave_.get());
    return true;
}

void PseudoTerminal::close() {
    master_.close();
    slave_.close();
}

// poll() first passes on bytes still in the kernel's work queue; FIONREAD then also counts
// bytes that a host with VMIN above one would not yet be woken for.
bool SlaveInputEmpty(int slaveFd) {
    pollfd fd{slaveFd, POLLIN, 0};
    int queued = 0;
    return ::poll(&fd, 1, 0) == 0 && ::ioctl(slaveFd, FIONREAD, &queued) == 0 && queued == 0;
}

bool MasterWritable(int masterFd) {
    pollfd fd{masterFd, POLLOUT, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLOUT) != 0;
}

bool MakeDeviceLink(const std::string& linkPath, const std::string& target, std::string* error) {
    struct stat st {};
    if (::lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        *error = linkPath + " exists and is not a symbolic link; not replacing it";
        return false;
    }
    // Made beside the final name and renamed over it, so the link is never missing while an
    // old one is replaced.
    const std::string temporary = linkPath + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        *error = SystemError("cannot create the link " + linkPath);
        return false;
    }
    if (::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        *error = SystemError("cannot create the link " + linkPath);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void RemoveDeviceLink(const std::string& linkPath, const std::string& target) {
    if (ReadLinkTarget(linkPath) == target) {
        ::unlink(linkPath.c_str());
    }
}

}  // namespace tarvo::sim
