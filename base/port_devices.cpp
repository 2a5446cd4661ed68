// The devices a logical port can be mapped to, as this machine has them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tarvo/base/port_names.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The paths of the entries of `dir` whose names begin with `prefix` and pass `keep`, sorted.
template <typename Keep>
std::vector<std::string> Listed(const std::string& dir, const std::string& prefix, Keep keep) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && keep(name))
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> Listed(const std::string& dir, const std::string& prefix) {
    return Listed(dir, prefix, [](const std::string&) { return true; });
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Whether a UART stands behind ttyS<n>: the serial core states its type, 0 when none.
bool HasUart(const DeviceRoots& roots, const std::string& name) {
    std::ifstream in(roots.sysTty + "/" + name + "/type");
    int type = 0;
    return (in >> type) && type != 0;
}

// "ttyS" followed by digits only ("ttyS0", not "ttySAC0" of other drivers, which are kept
// apart by their own names).
bool IsNumberedTtyS(const std::string& name) {
    return name.size() > 4 &&
           std::all_of(name.begin() + 4, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

DeviceRoots MachineDeviceRoots() {
    const char* root = std::getenv("TARVO_SYSROOT");
    const std::string prefix = root != nullptr ? root : "";
    return {prefix + "/dev", prefix + "/sys/class/tty"};
}

std::vector<std::string> SerialDevicesFound(const DeviceRoots& roots) {
    std::vector<std::string> found = Listed(roots.dev + "/serial/by-id", "");
    Append(found, Listed(roots.dev, "ttyUSB"));
    Append(found, Listed(roots.dev, "ttyACM"));
    Append(found, Listed(roots.dev, "ttyS", [&roots](const std::string& name) {
               return IsNumberedTtyS(name) && HasUart(roots, name);
           }));
    return found;
}

std::vector<std::string> ParallelDevicesFound(const DeviceRoots& roots) {
    std::vector<std::string> found = Listed(roots.dev, "lp");
    Append(found, Listed(roots.dev + "/usb", "lp"));
    return found;
}

}  // namespace tarvo
