// The seven logical port names and the devices they map to by default.
#pragma once

#include <string>

namespace tarvo {

// The logical name of a port index ("COM1" .. "LPT3"); empty outside 0..6.
std::string PortName(int portIndex);

// Port index of a logical name; -1 when unknown. Exact match.
int PortIndexOf(const std::string& name);

// The device a port uses when the profile maps it to nothing else: /dev/ttyS0../dev/ttyS3,
// /dev/lp0../dev/lp2; empty outside 0..6.
std::string DefaultPortDevice(int portIndex);

// The profile key mapping a port to its device ("Device.COM1").
std::string PortDeviceKey(int portIndex);

// The profile value that maps a port to no device at all.
inline constexpr const char* kNoPortDevice = "none";

}  // namespace tarvo
