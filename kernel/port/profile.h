// The kernel's own access to the profile, over the same store as PCUGetProfileString.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarvo {

// The profile value `key`, or `fallback` when the profile or the value is missing or empty.
std::string ProfileValue(const std::string& key, const std::string& fallback);

// Stores several values in one replacement of the profile file, so a reader (or a crash) never
// sees some of them without the others. The profile must exist. Returns PCU_OK,
// PCU_ERR_PROFILE_OPEN, PCU_ERR_PROFILE_WRITE or PCU_ERR_ARGUMENT (a bad key; nothing written).
int WriteProfileValues(const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace tarvo
