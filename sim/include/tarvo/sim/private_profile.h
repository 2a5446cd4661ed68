// A profile for the length of one run: `--simulate` and `--device` point the kernel at a device
// the user's own profile must never remember (a pseudo-terminal that is gone after the run, a
// device named for this run only).
#pragma once

#include <string>

#include "tarvo/base/fs.h"

namespace tarvo::sim {

class PrivateProfile {
  public:
    PrivateProfile() = default;
    PrivateProfile(const PrivateProfile&) = delete;
    PrivateProfile& operator=(const PrivateProfile&) = delete;

    // Makes a temporary profile (TARVO_PROFILE points at it) whose ports map to nothing. With
    // `basedOn` (a profile path; empty for none) it starts as a copy of that profile, which is
    // never written. Returns false with *error set on failure.
    bool make(const std::string& basedOn, std::string* error);

  private:
    platform::TemporaryDirectory dir_;  // removed with the profile in it
};

}  // namespace tarvo::sim
