#include "tarvo/base/port_names.h"

#include <array>

namespace tarvo {
namespace {

constexpr std::array<const char*, 7> kNames = {"COM1", "COM2", "COM3", "COM4",
                                               "LPT1", "LPT2", "LPT3"};
constexpr std::array<const char*, 7> kDevices = {
    "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/lp0", "/dev/lp1", "/dev/lp2"};

bool InRange(int portIndex) {
    return portIndex >= 0 && portIndex < static_cast<int>(kNames.size());
}

}  // namespace

std::string PortName(int portIndex) {
    return InRange(portIndex) ? kNames[static_cast<std::size_t>(portIndex)] : "";
}

int PortIndexOf(const std::string& name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i])
            return static_cast<int>(i);
    }
    return -1;
}

std::string DefaultPortDevice(int portIndex) {
    return InRange(portIndex) ? kDevices[static_cast<std::size_t>(portIndex)] : "";
}

std::string PortDeviceKey(int portIndex) {
    return InRange(portIndex) ? "Device." + PortName(portIndex) : "";
}

}  // namespace tarvo
