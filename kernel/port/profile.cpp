// The profile: the user's settings in one INI file, every value in the section [Version 2.1].
//
// Readers take no lock: a writer never changes the file in place but renames a complete new one
// over it, so a reader sees either the old or the new file. Writers read, change and replace the
// file under an exclusive lock on a lock file beside it, so that two programs setting different
// values at the same moment both keep theirs.
#include "port/profile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/file_lock.h"
#include "tarvo/base/fs.h"
#include "platform/ini_file.h"
#include "tarvo/base/paths.h"
#include "port/bounded_copy.h"
#include "tarvo/context.h"

namespace tarvo {
namespace {

constexpr const char* kSection = "Version 2.1";
constexpr const char* kEmptyProfile = "[Version 2.1]\n";

// A settings file is a few hundred bytes; anything past this is not one, and reading it whole
// would only cost memory.
constexpr std::size_t kMaxProfileBytes = std::size_t{1} << 20;

bool IsUsableKey(const char* key) {
    return key != nullptr && platform::IsValidIniKey(key);
}

std::string LockPathFor(const std::string& profile) {
    return profile + ".lock";
}

// Writes go through a symbolic link to its target, so a profile kept elsewhere and linked into
// place stays linked after a change.
std::string WriteTarget(const std::string& profile) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(profile.c_str(), nullptr),
                                                     &std::free);
    return real ? std::string(real.get()) : profile;
}

// Reads `key`. PCU_OK with the value (possibly empty), PCU_ERR_PROFILE_OPEN when the profile
// cannot be opened, PCU_ERR_PROFILE_READ when the value is missing or the file is not a
// plausible profile.
int LookupValue(const char* key, std::string* value) {
    std::string text;
    const int err = platform::ReadSmallFile(platform::ProfilePath(), kMaxProfileBytes, &text);
    if (err == EFBIG) {
        return PCU_ERR_PROFILE_READ;
    }
    if (err != 0) {
        return PCU_ERR_PROFILE_OPEN;
    }
    auto found = platform::IniDocument::Parse(text).Get(kSection, key);
    if (!found) {
        return PCU_ERR_PROFILE_READ;
    }
    *value = std::move(*found);
    return PCU_OK;
}

bool IsRegularFile(const std::string& path, mode_t* mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    if (mode != nullptr) {
        *mode = st.st_mode & 07777;
    }
    return true;
}

}  // namespace

std::string ProfileValue(const std::string& key, const std::string& fallback) {
    std::string value;
    if (!IsUsableKey(key.c_str()) || key.size() != std::strlen(key.c_str()) ||
        LookupValue(key.c_str(), &value) != PCU_OK || value.empty()) {
        return fallback;
    }
    return value;
}

int WriteProfileValues(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [key, value] : values) {
        if (!IsUsableKey(key.c_str()) || key.size() != std::strlen(key.c_str())) {
            return PCU_ERR_ARGUMENT;
        }
    }
    const std::string profile = platform::ProfilePath();
    // The profile is created by PCUCreateProfile, never here: a write into a missing profile
    // means the program was not set up, and a file made now would hide that.
    if (!IsRegularFile(profile, nullptr)) {
        return PCU_ERR_PROFILE_OPEN;
    }
    platform::FileLock lock(LockPathFor(profile));
    if (!lock.locked()) {
        return PCU_ERR_PROFILE_WRITE;
    }

    const std::string target = WriteTarget(profile);
    mode_t mode = 0600;
    std::string text;
    const int err = platform::ReadSmallFile(target, kMaxProfileBytes, &text);
    if (err == EFBIG) {
        return PCU_ERR_PROFILE_WRITE;
    }
    if (err != 0 || !IsRegularFile(target, &mode)) {
        return PCU_ERR_PROFILE_OPEN;
    }
    auto doc = platform::IniDocument::Parse(text);
    for (const auto& [key, value] : values) {
        if (!doc.Set(kSection, key, value)) {
            return PCU_ERR_ARGUMENT;
        }
    }
    const std::string updated = doc.Serialize();
    // A file that the next read would refuse is not written at all.
    if (updated.size() > kMaxProfileBytes) {
        return PCU_ERR_PROFILE_WRITE;
    }
    return platform::WriteFileAtomically(target, updated, mode) ? PCU_OK : PCU_ERR_PROFILE_WRITE;
}

}  // namespace tarvo

int PCUGetProfileString(const char* /*section*/, const char* key, const char* defaultText,
                        char* out, int size, int /*reserved*/) {
    if (out == nullptr || size < 1) {
        return PCU_ERR_ARGUMENT;
    }
    const std::string_view fallback = defaultText != nullptr ? defaultText : "";
    if (!tarvo::IsUsableKey(key)) {
        tarvo::CopyBounded(fallback, out, static_cast<std::size_t>(size));
        return PCU_ERR_ARGUMENT;
    }
    std::string value;
    const int code = tarvo::LookupValue(key, &value);
    tarvo::CopyBounded(code == PCU_OK && !value.empty() ? std::string_view(value) : fallback, out,
                       static_cast<std::size_t>(size));
    return code;
}

int PCUWriteProfileString(const char* /*section*/, const char* key, const char* value,
                          int /*reserved*/) {
    if (!tarvo::IsUsableKey(key) || value == nullptr) {
        return PCU_ERR_ARGUMENT;
    }
    return tarvo::WriteProfileValues({{key, value}});
}

int PCUCreateProfile(void) {
    using namespace tarvo;
    const std::string profile = platform::ProfilePath();
    struct stat st {};
    if (::stat(profile.c_str(), &st) == 0) {
        return S_ISREG(st.st_mode) ? PCU_OK : PCU_ERR_PROFILE_WRITE;
    }
    if (!platform::MakeDirectories(platform::DirectoryOf(profile), 0700)) {
        return PCU_ERR_PROFILE_WRITE;
    }
    platform::FileLock lock(LockPathFor(profile));
    if (!lock.locked()) {
        return PCU_ERR_PROFILE_WRITE;
    }
    // Another program may have created it while this one waited for the lock.
    if (::stat(profile.c_str(), &st) == 0) {
        return S_ISREG(st.st_mode) ? PCU_OK : PCU_ERR_PROFILE_WRITE;
    }
    return platform::WriteFileAtomically(profile, kEmptyProfile, 0600) ? PCU_OK
                                                                       : PCU_ERR_PROFILE_WRITE;
}
