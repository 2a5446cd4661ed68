#include "brakenholm/brak_setup.h"

#include <array>

namespace tarvo::app {
namespace {

constexpr std::array<std::string_view, kBrakSettingCount> kNames = {
    "baud",
    "char-length",
    "parity",
    "stop-bits",
    "new-line",
    "rts-cts",
    "xon-xoff-to-host",
    "xon-xoff-from-host",
    "image-buffer-size",
    "receive-buffer",
    "transmit-buffer",
    "start-adjust",
    "stop-adjust",
    "lss-adjust",
    "x-start",
    "width",
    "length",
    "media-type",
    "paper-type",
    "label-constant",
    "label-factor",
    "ribbon-constant",
    "ribbon-factor",
    "label-offset",
    "contrast",
    "head-resistance",
    "print-speed",
    "new-supplies-1",
    "new-supplies-2",
    "performance",
    "network-present",
};

}  // namespace

std::string_view SettingName(BrakSetting setting) {
    return kNames[static_cast<std::size_t>(setting)];
}

std::optional<BrakSetting> SettingByName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name)
            return static_cast<BrakSetting>(i);
    }
    return std::nullopt;
}

namespace {

std::uint64_t Bit(BrakSetting setting) {
    return std::uint64_t{1} << static_cast<unsigned>(setting);
}

}  // namespace

bool WasRead(const BrakSetup& setup, BrakSetting setting) {
    return (setup.unread & Bit(setting)) == 0;
}

void MarkUnread(BrakSetup& setup, BrakSetting setting) {
    setup.unread |= Bit(setting);
}

void MarkRead(BrakSetup& setup, BrakSetting setting) {
    setup.unread &= ~Bit(setting);
}

}  // namespace tarvo::app
