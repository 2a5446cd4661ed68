#include "tarvo/base/script_firmware.h"

#include <algorithm>

namespace tarvo::platform {
namespace {

constexpr std::string_view kTag = "#BRAKENHOLM-FIRMWARE ";
constexpr std::size_t kMaxVersionText = 32;

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

std::string ScriptFirmwareHeader(std::string_view versionText) {
    return std::string(kTag) + std::string(versionText) + "\n";
}

std::optional<std::string> ScriptFirmwareVersion(std::string_view start) {
    if (start.substr(0, kTag.size()) != kTag)
        return std::nullopt;
    start.remove_prefix(kTag.size());
    const std::size_t end = start.find('\n');
    if (end == std::string_view::npos || end == 0 || end > kMaxVersionText ||
        !Printable(start.substr(0, end)))
        return std::nullopt;
    return std::string(start.substr(0, end));
}

}  // namespace tarvo::platform
