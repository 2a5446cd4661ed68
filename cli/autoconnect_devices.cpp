#include "autoconnect_devices.h"

#include <filesystem>
#include <set>

#include "cli_support.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

std::string Canonical(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path node = std::filesystem::canonical(path, ec);
    return ec ? path : node.string();
}

std::string MappedDevice(int port) {
    return ProfileString(PortDeviceKey(port).c_str(), DefaultPortDevice(port).c_str());
}

// Whether a port's device leaves the port free for another: it maps to nothing, names nothing
// that exists, or names a ttyS node with no UART behind it (the kernel makes those whether or
// not a chip is there). A device the user named on purpose is never taken away.
bool NothingBehind(const std::string& device, const DeviceRoots& roots,
                   const std::set<std::string>& found) {
    std::error_code ec;
    if (device == kNoPortDevice || !std::filesystem::exists(device, ec))
        return true;
    const std::filesystem::path node = Canonical(device);
    return node.filename().string().starts_with("ttyS") &&
           node.parent_path() == Canonical(roots.dev) && found.count(node.string()) == 0;
}

}  // namespace

ExtraDeviceMapping::ExtraDeviceMapping(const DeviceRoots& roots) {
    // One name per device node: the first found wins, so a stable /dev/serial/by-id name is
    // the one stored rather than a ttyUSB number that changes with the plugging order.
    std::set<std::string> nodes;
    std::vector<std::string> devices;
    for (const std::string& device : SerialDevicesFound(roots)) {
        if (nodes.insert(Canonical(device)).second)
            devices.push_back(device);
    }
    const std::set<std::string> found = nodes;
    std::vector<int> freePorts;
    for (int port = PCU_PORT_COM1; port <= PCU_PORT_COM4; ++port) {
        const std::string device = MappedDevice(port);
        if (NothingBehind(device, roots, found))
            freePorts.push_back(port);
        else
            nodes.erase(Canonical(device));  // the search tries this port's device anyway
    }
    std::size_t next = 0;
    for (const std::string& device : devices) {
        if (nodes.count(Canonical(device)) == 0)
            continue;  // a COM port names it already
        if (next == freePorts.size()) {
            unsearched_.push_back(device);
            continue;
        }
        const int port = freePorts[next++];
        saved_.push_back({port, ProfileString(PortDeviceKey(port).c_str(), "")});
        if (PCUWriteProfileString("Communications", PortDeviceKey(port).c_str(), device.c_str(),
                                  0) == PCU_OK)
            mapped_.emplace_back(port, device);
    }
}

ExtraDeviceMapping::~ExtraDeviceMapping() {
    for (const Saved& s : saved_) {
        if (s.port != kept_)
            PCUWriteProfileString("Communications", PortDeviceKey(s.port).c_str(), s.value.c_str(),
                                  0);
    }
}

std::string ExtraDeviceMapping::deviceOf(int port) const {
    for (const auto& [p, device] : mapped_) {
        if (p == port)
            return device;
    }
    return {};
}

}  // namespace tarvo::cli
