// The log-file road: the report's text replaces the chosen file in one rename.
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "platform/fs.h"
#include "port/host_hooks.h"
#include "services/report/report_run.h"
#include "tarvo/report.h"

namespace tarvo::report {
namespace {

constexpr mode_t kNewFileMode = 0644;

// A symbolic link is written through (the link stays), and a file that exists keeps its
// permissions.
struct Target {
    std::string path;
    mode_t mode = kNewFileMode;
};

Target ResolveTarget(const std::string& path) {
    Target target{path};
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (real)
            target.path = real.get();
    }
    if (::stat(target.path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        target.mode = st.st_mode & 07777;
    return target;
}

}  // namespace

int WriteLogFile(const std::string& path, const std::vector<std::string>& pages) {
    const Target target = ResolveTarget(path);
    // The text is built whole before anything is written, and WriteFileAtomically removes its
    // temporary file on any failure, so a failed report never leaves a file that looks whole.
    if (!platform::WriteFileAtomically(target.path, LogFileText(pages), target.mode)) {
        ShowHostMessage("Error", "Unable to open selected Log file", PCU_MB_OK | PCU_MB_ICON_ERROR);
        return PCU_ERR_LOG_FILE;
    }
    return PCU_OK;
}

}  // namespace tarvo::report
