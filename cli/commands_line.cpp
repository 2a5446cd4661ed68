// Commands about the line itself: ping, ports, profile values, raw messages.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/paths.h"
#include "tarvo/base/port_names.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {

int RunPing(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("ping takes no arguments", kUsage);
    const std::string port = PortOf(ctx);
    if (PCUPing(ctx) == 1) {
        std::cout << "The printer on " << port << " answered.\n";
        return 0;
    }
    std::cout << "The printer on " << port << " did not answer.\n";
    return 1;
}

int RunPorts(int /*ctx*/, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("ports takes no arguments", kUsage);
    const bool json = line.options.json;
    Json ports = Json::array();
    if (!json)
        std::cout << "Logical ports (profile " << platform::ProfilePath() << "):\n";
    for (int i = 0; i < PCU_PORT_COUNT; ++i) {
        const std::string device =
            ProfileString(PortDeviceKey(i).c_str(), DefaultPortDevice(i).c_str());
        const bool mapped = device != kNoPortDevice;
        const bool present = mapped && std::filesystem::exists(device);
        if (json) {
            ports.push_back({{"port", PortName(i)},
                             {"device", mapped ? Json(Utf8Text(device)) : Json(nullptr)},
                             {"present", present}});
            continue;
        }
        std::printf("  %-5s %-40s %s\n", PortName(i).c_str(), device.c_str(),
                    !mapped   ? "(not mapped)"
                    : present ? ""
                              : "(missing)");
    }
    const std::vector<std::string> devices = SerialDevicesFound();
    Json found = Json::array();
    if (!json)
        std::cout << "Serial devices on this machine:\n";
    for (const std::string& device : devices) {
        // A stable name under /dev/serial/by-id is a link to the node it stands for.
        std::error_code ec;
        const std::string node = std::filesystem::canonical(device, ec).string();
        const bool usable = ::access(device.c_str(), R_OK | W_OK) == 0;
        if (json) {
            found.push_back({{"path", Utf8Text(device)},
                             {"node", ec ? Json(nullptr) : Json(Utf8Text(node))},
                             {"accessible", usable}});
            continue;
        }
        std::cout << "  " << device;
        if (!ec && node != device)
            std::cout << " -> " << node;
        std::cout << (usable ? "" : "  (no access: join the dialout group)") << "\n";
    }
    if (json) {
        PrintJson(
            {{"profile", Utf8Text(platform::ProfilePath())}, {"ports", ports}, {"devices", found}});
        return 0;
    }
    if (devices.empty())
        std::cout << "  (none)\n";
    return 0;
}

int RunProfile(int /*ctx*/, const CommandLine& line) {
    const auto& a = line.args;
    if (a.size() == 2 && a[0] == "get") {
        char value[65536];
        const int rc =
            PCUGetProfileString("Communications", a[1].c_str(), "", value, sizeof value, 0);
        if (rc == PCU_ERR_PROFILE_OPEN) {
            return Fail("no profile at " + platform::ProfilePath());
        }
        if (rc == PCU_ERR_PROFILE_READ)
            return Fail("no value '" + a[1] + "' in the profile");
        if (rc != PCU_OK)
            return Fail("cannot read '" + a[1] + "' from the profile");
        std::cout << value << "\n";
        return 0;
    }
    if (a.size() == 3 && a[0] == "set") {
        if (PCUCreateProfile() != PCU_OK) {
            return Fail("cannot create the profile " + platform::ProfilePath());
        }
        const int rc = PCUWriteProfileString("Communications", a[1].c_str(), a[2].c_str(), 0);
        if (rc == PCU_ERR_ARGUMENT)
            return Fail("'" + a[1] + "' is not a valid key", kUsage);
        if (rc != PCU_OK)
            return Fail("cannot write '" + a[1] + "' to " + platform::ProfilePath());
        return 0;
    }
    return Fail("usage: tarvo profile get KEY | tarvo profile set KEY VALUE", kUsage);
}

int RunSend(int ctx, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo send TEXT", kUsage);
    const std::string& text = line.args[0];
    const std::string port = PortOf(ctx);
    if (const Consent c = Confirm(line, "Send " + text + " to the printer on " + port + "?");
        c != Consent::Given)
        return Declined(c, "not sent");
    if (PCUOpenPrinter(ctx) != 1)
        return Fail("cannot open the printer on " + port);
    if (PCUWritePrinter(ctx, text.c_str()) != 1) {
        PCUClosePrinter(ctx);
        return Fail("the printer on " + port + " did not take the message");
    }
    PCUWait(300);
    char reply[PCU_READ_BUFFER_SIZE];
    int count = 0;
    const int read = PCUReadPrinter(ctx, reply, &count);
    PCUClosePrinter(ctx);
    if (read != 1)
        return Fail("reading the reply from " + port + " failed");
    if (count == 0) {
        std::cout << "(no reply)\n";
    } else {
        std::cout << RenderMnemonics(std::string_view(reply, static_cast<std::size_t>(count)))
                  << "\n";
    }
    return 0;
}

}  // namespace tarvo::cli
