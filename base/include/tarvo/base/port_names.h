// The seven logical port names and the devices they map to by default.
#pragma once

#include <string>
#include <vector>

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

// Where the device lists below look; other roots are for tests.
struct DeviceRoots {
    std::string dev = "/dev";
    std::string sysTty = "/sys/class/tty";
};

// The roots of this machine: "/dev" and "/sys/class/tty", both below $TARVO_SYSROOT when it is
// set (a test's or a container's own tree).
DeviceRoots MachineDeviceRoots();

// The serial devices on this machine, for the operator to map a port to: the stable names under
// /dev/serial/by-id first, then /dev/ttyUSB*, /dev/ttyACM*, and the /dev/ttyS* a UART stands
// behind (the kernel lists ttyS0 to ttyS31 whether or not a chip is there; /sys/class/tty gives
// those without one the type 0). Each kind sorted by name; empty when none is found.
std::vector<std::string> SerialDevicesFound(const DeviceRoots& roots = MachineDeviceRoots());

// The parallel printer devices on this machine: /dev/lp* and /dev/usb/lp*, sorted by name.
std::vector<std::string> ParallelDevicesFound(const DeviceRoots& roots = MachineDeviceRoots());

}  // namespace tarvo
