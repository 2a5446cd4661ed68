#include "support/background.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace tarvo::test {
namespace {

constexpr int kPatienceMs = 60000;

// One byte of `fd`, or nullopt at its end or when nothing comes within the patience.
std::optional<char> ReadByte(int fd) {
    pollfd p{fd, POLLIN, 0};
    char byte = 0;
    if (::poll(&p, 1, kPatienceMs) <= 0 || ::read(fd, &byte, 1) != 1)
        return std::nullopt;
    return byte;
}

}  // namespace

Background::Background(const std::string& program, const std::vector<std::string>& args) {
    const char* bin = std::getenv("TARVO_BIN_DIR");
    std::string path = std::string(bin != nullptr ? bin : "build-test/bin") + "/" + program;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return;
    out_ = out[0];
    err_ = err[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<char*> argv{path.data()};
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
}

Background::~Background() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : {out_, err_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

std::optional<std::string> Background::line() {
    std::string text;
    for (std::optional<char> byte = ReadByte(out_); byte; byte = ReadByte(out_)) {
        if (*byte == '\n')
            return text;
        text += *byte;
    }
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::string Background::errors() {
    std::string text;
    for (std::optional<char> byte = ReadByte(err_); byte; byte = ReadByte(err_))
        text += *byte;
    return text;
}

void Background::signal(int number) {
    ::kill(pid_, number);
}

int Background::wait() {
    const int exited = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    pollfd p{exited, POLLIN, 0};
    int status = 0;
    const bool ended =
        exited >= 0 && ::poll(&p, 1, kPatienceMs) > 0 && ::waitpid(pid_, &status, 0) == pid_;
    if (exited >= 0)
        ::close(exited);
    if (!ended)
        return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tarvo::test
