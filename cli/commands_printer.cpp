// Commands about which printer is attached: the model list, identification, the search.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "autoconnect_devices.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "shell/search_observer.h"
#include "tarvo/base/paths.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

const char* FamilyOf(int model) {
    if (model < PROP_DEFAULT_MODEL)
        return "Lanmere";
    if (model == PROP_DEFAULT_MODEL)
        return "Lanmere (generic)";
    if (model < PROP_UNKNOWN_MODEL)
        return "Brakenholm";
    return "-";
}

// Prints one line per trial unless quiet; Ctrl-C asks the search to stop before its next trial.
class TrialPrinter final : public app::SearchObserver {
  public:
    explicit TrialPrinter(bool quiet) : quiet_(quiet) {}
    void Trial(const commState& trial) override {
        if (!quiet_)
            std::cout << "Trying " << DescribeLine(trial) << std::endl;
    }
    void Found(const commState&) override {}
    void NotFound() override {}
    bool CancelRequested() override { return InterruptScope::Interrupted(); }

  private:
    bool quiet_;
};

void ReportExtraDevices(const ExtraDeviceMapping& extra) {
    for (const auto& [port, device] : extra.mapped())
        std::cout << "Searching " << device << " as " << PortName(port) << std::endl;
    for (const std::string& device : extra.unsearched())
        std::cout << "Not searching " << device
                  << ": every COM port names a device already (see tarvo ports)" << std::endl;
}

// Searches for a Brakenholm printer with the printer object of the selected model.
int SearchBrakenholm(int ctx, const CommandLine& line, bool quiet) {
    BrakenholmSession s(line);
    if (!s.openForSearch(ctx))
        return 1;
    TrialPrinter observer(quiet);
    app::OpResult result;
    {
        InterruptScope interrupts;
        result = s.printer().SearchPrinter(observer);
    }
    if (InterruptScope::Interrupted()) {
        std::cout << "Cancelled; the profile is unchanged.\n";
        return 130;
    }
    if (result.status == app::OpStatus::NoAnswer) {
        std::cout << "No printer answered.\n";
        return 1;
    }
    if (!result.ok())
        return Fail("the search failed: " + app::Describe(result));
    commState c{};
    PCUInitCommParm(ctx);
    PCUGetCommState(ctx, &c);
    std::cout << "Found a printer on " << DescribeLine(c) << ".\n"
              << "Stored in " << platform::ProfilePath() << ".\n";
    return 0;
}

}  // namespace

int RunModels(int /*ctx*/, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("models takes no arguments", kUsage);
    const bool json = line.options.json;
    if (!json)
        std::printf("%-3s %-16s %-18s %-5s %s\n", "#", "Model", "Family", "dpi", "Speeds (in/s)");
    Json models = Json::array();
    for (int model = 0; model < propGetPrinterCount(); ++model) {
        char name[PROP_NAME_SIZE];
        propGetPrinterStr(model, name);
        std::string dpi = "-";
        std::string speeds;
        Json speedList = Json::array();
        if (model < PROP_TABLE_MODELS) {
            dpi = std::to_string(static_cast<int>(25.4 / propGetMMPerDot(model) + 0.5));
            int cursor = 0;
            char text[PROP_SPEED_TEXT_SIZE];
            while (propEnumPrintSpeedStr(model, 0, &cursor, text) == 1) {
                speeds += (speeds.empty() ? "" : " ") + std::string(text);
                speedList.push_back(text);
            }
        }
        if (json) {
            models.push_back({{"number", model},
                              {"name", name},
                              {"family", FamilyOf(model)},
                              {"dpi", dpi == "-" ? Json(nullptr) : Json(std::stoi(dpi))},
                              {"speeds", speedList}});
            continue;
        }
        std::printf("%-3d %-16s %-18s %-5s %s\n", model, name, FamilyOf(model), dpi.c_str(),
                    speeds.empty() ? "-" : speeds.c_str());
    }
    if (json)
        PrintJson(models);
    return 0;
}

// A Brakenholm printer tells more about itself: its clock and its memory.
int IdentifyBrakenholm(int ctx, const CommandLine& line) {
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    const app::OpResult r = s.printer().ReadPrinterIdentity();
    const app::BrakIdentity& id = s.printer().Identity();
    if (id.version1.empty())
        return Fail("the printer on " + PortOf(ctx) +
                    " did not say which model it is: " + app::Describe(r));
    if (line.options.json) {
        const auto text = [](const std::string& value) {
            return value.empty() ? Json(nullptr) : Json(Utf8Text(value));
        };
        PrintJson({{"family", "brakenholm"},
                   {"model", text(id.version1)},
                   {"programNumber", text(id.version2)},
                   {"firmware", text(id.version0)},
                   {"clock", text(id.printerDate)},
                   {"storageFree", text(id.storageFree)},
                   {"storageUsed", text(id.storageUsed)},
                   {"heapFree", text(id.heapFree)},
                   {"heapAllocated", text(id.heapAllocated)}});
        return 0;
    }
    auto show = [](const char* label, const std::string& value) {
        std::printf("%-16s%s\n", label, value.empty() ? "(not read)" : value.c_str());
    };
    show("Model:", id.version1);
    show("Program number:", id.version2);
    show("Firmware:", id.version0);
    show("Clock:", id.printerDate);
    show("Storage free:", id.storageFree);
    show("Storage used:", id.storageUsed);
    show("Heap free:", id.heapFree);
    show("Heap allocated:", id.heapAllocated);
    return 0;
}

int RunIdentify(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("identify takes no arguments", kUsage);
    if (IsBrakenholmContext(ctx))
        return IdentifyBrakenholm(ctx, line);
    IdentifiedPrinter printer;
    if (!IdentifyPrinter(ctx, &printer))
        return 1;
    if (line.options.json) {
        PrintJson({{"family", "lanmere"},
                   {"model", Utf8Text(printer.name)},
                   {"programNumber", Utf8Text(printer.number)},
                   {"firmware", Utf8Text(printer.firmware)}});
        return 0;
    }
    std::cout << "Model:          " << printer.name << "\n"
              << "Program number: " << printer.number << "\n"
              << "Firmware:       " << printer.firmware << "\n";
    return 0;
}

int RunAutoConnect(int ctx, const CommandLine& line) {
    const bool quiet = line.args.size() == 1 && line.args[0] == "--quiet";
    if (!line.args.empty() && !quiet)
        return Fail("usage: tarvo autoconnect [--quiet]", kUsage);
    if (IsBrakenholmContext(ctx))
        return SearchBrakenholm(ctx, line, quiet);
    TrialPrinter observer(quiet);
    int found = 0;
    commState c{};
    std::string device;
    {
        // A run on a simulated printer or a named device probes that printer alone.
        std::optional<ExtraDeviceMapping> extra;
        if (line.options.simulate.empty() && line.options.device.empty())
            extra.emplace(MachineDeviceRoots());
        if (extra && !quiet)
            ReportExtraDevices(*extra);
        InterruptScope interrupts;
        const PCUNotify notify = app::MakeKernelNotify(observer);
        found = PCUAutoConnect(ctx, &notify);
        PCUGetCommState(ctx, &c);
        if (extra) {
            device = extra->deviceOf(c.port);
            if (found == 1 && !InterruptScope::Interrupted())
                extra->keep(c.port);
        }
    }
    if (InterruptScope::Interrupted()) {
        std::cout << "Cancelled; the profile is unchanged.\n";
        return 130;
    }
    if (found == 1) {
        std::cout << "Found a printer on " << DescribeLine(c)
                  << (device.empty() ? ""
                                     : " (" + device + ", now mapped to " + PortName(c.port) + ")")
                  << ".\n"
                  << "Stored in " << platform::ProfilePath() << ".\n";
        return 0;
    }
    const int error = LastErrorCode(ctx);
    if (error == PCU_ERR_PROFILE_OPEN || error == PCU_ERR_PROFILE_WRITE) {
        return Fail("found a printer on " + DescribeLine(c) + ", but could not store it in " +
                    platform::ProfilePath());
    }
    std::cout << "No printer answered.\n";
    return 1;
}

}  // namespace tarvo::cli
