// The kernel's own access to the profile, over the same store as PCUGetProfileString.
#pragma once

#include <string>

namespace tarvo {

// The profile value `key`, or `fallback` when the profile or the value is missing or empty.
std::string ProfileValue(const std::string& key, const std::string& fallback);

}  // namespace tarvo
