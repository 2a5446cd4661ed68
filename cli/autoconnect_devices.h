// The search for a printer reaches serial devices that no COM port names (a USB-serial adapter,
// above all): for the length of one search, the COM ports with no serial hardware behind them
// are pointed at those devices.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tarvo/base/port_names.h"

namespace tarvo::cli {

class ExtraDeviceMapping {
  public:
    // Maps each COM port whose device is not among the machine's serial devices (found under
    // `roots`) to one of the devices no COM port names, in the profile. Ports and devices are
    // paired in order; devices left over are not searched (see unsearched()).
    explicit ExtraDeviceMapping(const DeviceRoots& roots);
    // Puts back every mapping except the kept one.
    ~ExtraDeviceMapping();
    ExtraDeviceMapping(const ExtraDeviceMapping&) = delete;
    ExtraDeviceMapping& operator=(const ExtraDeviceMapping&) = delete;

    // The port's temporary mapping stays: the search found the printer there.
    void keep(int port) { kept_ = port; }
    // The device `port` was pointed at, or "" when it keeps its own.
    std::string deviceOf(int port) const;
    // (port, device) for every temporary mapping, in port order.
    const std::vector<std::pair<int, std::string>>& mapped() const { return mapped_; }
    // Devices that found no free COM port.
    const std::vector<std::string>& unsearched() const { return unsearched_; }

  private:
    struct Saved {
        int port;
        std::string value;  // the profile's own value, "" when it had none
    };
    std::vector<std::pair<int, std::string>> mapped_;
    std::vector<Saved> saved_;
    std::vector<std::string> unsearched_;
    int kept_ = -1;
};

}  // namespace tarvo::cli
