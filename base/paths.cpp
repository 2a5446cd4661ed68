#include "tarvo/base/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tarvo::platform {
namespace {

// An environment value, or empty when unset or empty.
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The XDG base-directory rules ignore relative values, so a stray `XDG_CONFIG_HOME=foo` cannot
// scatter files into whatever directory a program was started from.
std::string XdgDirectory(const char* name) {
    std::string value = Env(name);
    return (!value.empty() && value.front() == '/') ? value : std::string();
}

std::string HomeDirectory() {
    std::string home = Env("HOME");
    if (!home.empty()) {
        return home;
    }
    // Services started without HOME still have a password entry.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return std::string();
}

std::string XdgOrHome(const char* name, const char* homeRelative) {
    std::string base = XdgDirectory(name);
    return base.empty() ? HomeDirectory() + homeRelative : base;
}

}  // namespace

std::string ProfilePath() {
    std::string explicitPath = Env("TARVO_PROFILE");
    if (!explicitPath.empty()) {
        return explicitPath;
    }
    return XdgOrHome("XDG_CONFIG_HOME", "/.config") + "/Quorvane/tarvo32.ini";
}

std::string RuntimeDirectory() {
    std::string runtime = XdgDirectory("XDG_RUNTIME_DIR");
    return runtime.empty() ? std::string("/tmp") : runtime;
}

std::string DataDirectory() {
    std::string home = Env("TARVO_HOME");
    if (!home.empty()) {
        return home;
    }
    return XdgOrHome("XDG_DATA_HOME", "/.local/share") + "/tarvo";
}

std::string StateDirectory() {
    return XdgOrHome("XDG_STATE_HOME", "/.local/state") + "/tarvo";
}

}  // namespace tarvo::platform
