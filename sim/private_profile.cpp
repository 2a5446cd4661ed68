#include "tarvo/sim/private_profile.h"

#include <stdlib.h>

#include <filesystem>

#include "tarvo/base/port_names.h"
#include "tarvo/kernel.h"

namespace tarvo::sim {

bool PrivateProfile::make(const std::string& basedOn, std::string* error) {
    if (!dir_.Make("tarvo-run-")) {
        *error = "cannot make a temporary directory for this run's profile";
        return false;
    }
    const std::string copy = dir_.path() + "/tarvo32.ini";
    // A profile this user may not read is an error to report, not an exception to die of.
    std::error_code failed;
    const bool present = !basedOn.empty() && std::filesystem::exists(basedOn, failed);
    if (failed || (present && !std::filesystem::copy_file(basedOn, copy, failed))) {
        *error = "cannot copy the profile " + basedOn + ": " + failed.message();
        return false;
    }
    ::setenv("TARVO_PROFILE", copy.c_str(), 1);
    if (PCUCreateProfile() != PCU_OK) {
        *error = "cannot create this run's profile in " + dir_.path();
        return false;
    }
    // Only the device this run names may be probed: the user's other ports stay untouched.
    for (int port = 0; port < PCU_PORT_COUNT; ++port) {
        PCUWriteProfileString("Communications", PortDeviceKey(port).c_str(), kNoPortDevice, 0);
    }
    return true;
}

}  // namespace tarvo::sim
