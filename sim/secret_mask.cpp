#include "secret_mask.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kMarker = "su -p ";

// Frame bytes and line ends end a message in either family.
bool EndsMessage(char byte) {
    return byte == 0x02 || byte == 0x03 || byte == '\r' || byte == '\n';
}

}  // namespace

std::string SecretMask::mask(std::string_view bytes) {
    std::string shown(bytes);
    for (char& byte : shown) {
        if (EndsMessage(byte)) {
            place_ = Place::Scanning;
            recent_.clear();
            continue;
        }
        if (place_ != Place::Scanning && byte != ' ') {
            place_ = Place::InPassword;
            byte = '*';
            continue;
        }
        if (place_ == Place::InPassword)
            place_ = Place::Scanning;  // the blank before the user name
        if (place_ == Place::BeforePassword)
            continue;  // more blanks before the password
        recent_ += byte;
        if (recent_.size() > kMarker.size())
            recent_.erase(0, recent_.size() - kMarker.size());
        if (recent_ == kMarker)
            place_ = Place::BeforePassword;
    }
    return shown;
}

}  // namespace tarvo::sim
