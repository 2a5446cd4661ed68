#include "shell/settings.h"

#include <array>

#include "tarvo/context.h"

namespace tarvo::app {

std::string ReadSetting(std::string_view key, std::string_view fallback) {
    std::array<char, 512> value{};
    const std::string k(key);
    const std::string d(fallback);
    PCUGetProfileString(kSettingsSection, k.c_str(), d.c_str(), value.data(),
                        static_cast<int>(value.size()), 0);
    return value.data();
}

bool WriteSetting(std::string_view key, std::string_view value) {
    const std::string k(key);
    const std::string v(value);
    return PCUWriteProfileString(kSettingsSection, k.c_str(), v.c_str(), 0) == PCU_OK;
}

}  // namespace tarvo::app
