// How a firmware file of the script family names itself: its first line is a tag and the
// firmware's version text ("Tallyscript 7.31"), which the host shows and compares before a
// download and the printer reports once it runs the firmware.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::platform {

// The first line of a firmware file for `versionText` (1..32 printable characters).
std::string ScriptFirmwareHeader(std::string_view versionText);

// The version text of a file that begins with `start` (at least its first line); nullopt when
// it is not a firmware file of the script family.
std::optional<std::string> ScriptFirmwareVersion(std::string_view start);

}  // namespace tarvo::platform
