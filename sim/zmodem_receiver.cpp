#include "zmodem_receiver.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace tarvo::sim {

std::unique_ptr<ZmodemReceiver> ZmodemReceiver::Start(const std::string& directory,
                                                      std::string* error) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        *error = "no socket pair for the receiver";
        return nullptr;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pair[0]);
        ::close(pair[1]);
        *error = "the receiver cannot be started";
        return nullptr;
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        ::dup2(pair[1], 0);
        ::dup2(pair[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 2);
        if (::chdir(directory.c_str()) != 0)
            ::_exit(126);
        char locale[] = "LC_ALL=C";
        char* const environment[] = {locale, nullptr};
        char name[] = "rz", binary[] = "-b", clobber[] = "-y";
        char* const arguments[] = {name, binary, clobber, nullptr};
        ::execve("/usr/bin/rz", arguments, environment);
        ::_exit(127);
    }
    ::close(pair[1]);
    ::fcntl(pair[0], F_SETFL, O_NONBLOCK);
    return std::unique_ptr<ZmodemReceiver>(new ZmodemReceiver(pid, platform::UniqueFd(pair[0])));
}

ZmodemReceiver::~ZmodemReceiver() {
    kill();
}

void ZmodemReceiver::give(std::string_view bytes) {
    pending_ += bytes;
    given_ += bytes.size();
    flush();
}

void ZmodemReceiver::flush() {
    while (!pending_.empty() && fd_) {
        const ssize_t n = ::send(fd_.get(), pending_.data(), pending_.size(), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        pending_.erase(0, static_cast<std::size_t>(n));
    }
}

std::string ZmodemReceiver::exchange() {
    flush();
    std::string said;
    char buffer[4096];
    for (;;) {
        const ssize_t n = fd_ ? ::read(fd_.get(), buffer, sizeof buffer) : -1;
        if (n <= 0)
            break;
        said.append(buffer, static_cast<std::size_t>(n));
    }
    return said;
}

std::optional<int> ZmodemReceiver::finished() {
    if (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return status_;
}

void ZmodemReceiver::kill() {
    if (!finished()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        status_ = -1;
    }
    fd_.close();
}

}  // namespace tarvo::sim
