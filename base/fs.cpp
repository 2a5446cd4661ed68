#include "tarvo/base/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tarvo/base/unique_fd.h"

namespace tarvo::platform {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool MakeDirectories(const std::string& path, mode_t mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::string parent = DirectoryOf(path);
    if (parent != path && parent != "." && parent != "/" && !MakeDirectories(parent, mode)) {
        return false;
    }
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

bool WriteFileAtomically(const std::string& path, const std::string& contents, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd) {
        return false;
    }
    bool ok = ::fchmod(fd.get(), mode) == 0;
    std::size_t done = 0;
    while (ok && done < contents.size()) {
        const ssize_t n = ::write(fd.get(), contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
}

int ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string* contents) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return errno;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    contents->clear();
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        if (contents->size() + static_cast<std::size_t>(n) > maxBytes)
            return EFBIG;
        contents->append(chunk, static_cast<std::size_t>(n));
    }
    return 0;
}

bool ReplaceUserFile(const std::string& path, const std::string& contents) {
    constexpr mode_t kNewFileMode = 0644;
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (real)
            target = real.get();
    }
    mode_t mode = kNewFileMode;
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        mode = st.st_mode & 07777;
    return WriteFileAtomically(target, contents, mode);
}

TemporaryDirectory::~TemporaryDirectory() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

bool TemporaryDirectory::Make(const std::string& prefix) {
    if (!path_.empty())
        return true;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return false;
    path_ = pattern;
    return true;
}

}  // namespace tarvo::platform
