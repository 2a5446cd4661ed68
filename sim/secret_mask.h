// Keeps passwords out of the transcript: a host switching the shell to the administrator sends
// "su -p PASSWORD NAME", and whoever reads the transcript (or its file) must not learn the
// password. The scanner follows the host's bytes as they come, in any pieces, so that no byte of
// a password is ever written out.
#pragma once

#include <string>
#include <string_view>

namespace tarvo::sim {

class SecretMask {
  public:
    // `bytes` as the transcript should show them: every byte of a password as '*'.
    std::string mask(std::string_view bytes);

  private:
    enum class Place { Scanning, BeforePassword, InPassword };

    std::string recent_;  // the end of the current message, enough to spot the marker
    Place place_ = Place::Scanning;
};

}  // namespace tarvo::sim
