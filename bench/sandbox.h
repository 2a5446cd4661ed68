// A private profile and runtime directory for one benchmark run, so that a run never touches
// the user's own profile or lock files.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tarvo/context.h"

namespace tarvo::bench {

// Makes a temporary directory, points TARVO_PROFILE and XDG_RUNTIME_DIR into it and creates
// the profile. Returns the directory (the caller removes it).
inline std::string MakeSandbox() {
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr)
        std::abort();
    ::setenv("TARVO_PROFILE", (dir + "/tarvo32.ini").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    PCUCreateProfile();
    return dir;
}

}  // namespace tarvo::bench
