// Our sender against the receiver of lrzsz, the one the simulated printer runs: the file must
// arrive byte for byte, random and escape-heavy alike, with no time limit imposed by the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "fwxfer/gf_com_port.h"
#include "fwxfer/gf_zmodem.h"

namespace fwxfer {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReceiver = "/usr/bin/rz";

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs rz in `directory` on one end of a socket pair; returns its pid and our end.
pid_t StartReceiver(const fs::path& directory, int* ours) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pair[1], 0);
        ::dup2(pair[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        if (::chdir(directory.c_str()) != 0)
            ::_exit(126);
        ::setenv("LC_ALL", "C", 1);
        ::execl(kReceiver, "rz", "-b", "-y", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pair[1]);
    *ours = pair[0];
    return pid;
}

struct Received {
    GFResult result;
    int exitStatus;
    std::string file;
};

Received SendThroughRz(const std::string& content) {
    const fs::path dir = fs::temp_directory_path() / ("fwxfer-rz-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "in");
    const fs::path source = dir / "source.bin";
    std::ofstream(source, std::ios::binary) << content;
    int fd = -1;
    const pid_t pid = StartReceiver(dir / "in", &fd);
    auto port = GFComPort::Adopt(fd);
    GFMonitor monitor;
    GFSerial serial(*port, monitor);
    GFZmodem zmodem(serial);
    Received got{zmodem.SendFile(source, "DATA.BIN"), -1, {}};
    port.reset();
    int status = 0;
    ::waitpid(pid, &status, 0);
    got.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    got.file = Slurp(dir / "in" / "DATA.BIN");
    fs::remove_all(dir);
    return got;
}

TEST(ZmodemAgainstRz, RandomAndEscapeHeavyFilesArriveWhole) {
    if (::access(kReceiver, X_OK) != 0)
        GTEST_SKIP() << "lrzsz is not installed (scripts/install-deps)";
    std::mt19937 random(3);
    std::string randomBytes(256 * 1024, '\0');
    for (char& c : randomBytes)
        c = static_cast<char>(random());
    std::string escapes;
    for (int i = 0; i < 20000; ++i)
        escapes += "\x18\x10\x11\x13\x90\x91\x93\x98@\r\x8d\x7f\xff*"[i % 14];
    for (const std::string* content : {&randomBytes, &escapes}) {
        const Received got = SendThroughRz(*content);
        EXPECT_EQ(got.result, GFResult::Ok);
        EXPECT_EQ(got.exitStatus, 0);
        EXPECT_TRUE(got.file == *content) << got.file.size() << " of " << content->size();
    }
}

}  // namespace
}  // namespace fwxfer
