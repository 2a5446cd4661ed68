// Commands about a printer's configuration: show it, change settings, save it to a
// configuration file and send one back.
#include <array>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "config_objects.h"
#include "setting_catalog.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

using Values = std::array<int, PCU_CONFIG_SETTINGS>;

using Printer = IdentifiedPrinter;

Values ReadValues(int ctx) {
    std::array<int, PCU_CONFIG_SETTINGS> indices{};
    std::array<int, PCU_CONFIG_SETTINGS> kinds{};
    Values values{};
    for (int i = 0; i < PCU_CONFIG_SETTINGS; ++i)
        indices[static_cast<std::size_t>(i)] = i;
    PCUGetParms(ctx, PCU_CONFIG_SETTINGS, indices.data(), kinds.data(), values.data());
    return values;
}

bool Offered(const Printer& p, const SettingName& s) {
    return propCfgSupport(p.model, s.index, p.firmware.c_str()) == 1;
}

// Reads the configuration from the printer. Returns false (after saying why) on failure.
bool ReadConfiguration(int ctx, Values* values) {
    if (!ReadPrinterConfiguration(ctx))
        return false;
    *values = ReadValues(ctx);
    return true;
}

void Show(const Printer& p, const Values& v, bool json) {
    const Units units = ProfileUnits();
    if (json) {
        std::cout << "{\"model\": \"" << JsonEscape(p.name) << "\", \"firmware\": \""
                  << JsonEscape(p.firmware) << "\", \"settings\": {";
        bool first = true;
        for (const SettingName& s : SettingNames()) {
            if (!Offered(p, s))
                continue;
            const int value = v[static_cast<std::size_t>(s.index)];
            std::cout << (first ? "" : ", ") << "\"" << s.name << "\": {\"value\": " << value
                      << ", \"shown\": \"" << JsonEscape(ShowValue(s, p.model, value, units))
                      << "\"}";
            first = false;
        }
        std::cout << "}}\n";
        return;
    }
    std::cout << "Model " << p.name << ", firmware " << p.firmware << "\n";
    for (const SettingName& s : SettingNames()) {
        if (Offered(p, s))
            std::printf("  %-22s %s\n", s.name,
                        ShowValue(s, p.model, v[static_cast<std::size_t>(s.index)], units).c_str());
    }
}

// Prints the settings a configuration carries to the printer whose values differ (what the
// printer only reports, such as free memory, is left out); returns how many did.
int ShowChanges(const Printer& p, const Values& before, const Values& after) {
    const Units units = ProfileUnits();
    int changed = 0;
    for (const SettingName& s : SettingNames()) {
        const auto i = static_cast<std::size_t>(s.index);
        if (before[i] == after[i] || !Offered(p, s) ||
            !SettingReachesPrinter(p.model, p.firmware, s.index, nullptr))
            continue;
        std::printf("  %-22s %s -> %s\n", s.name, ShowValue(s, p.model, before[i], units).c_str(),
                    ShowValue(s, p.model, after[i], units).c_str());
        ++changed;
    }
    return changed;
}

// Sends the context's configuration and reads it back into *readBack.
bool SendAndReadBack(int ctx, Values* readBack) {
    if (PCUPutCfg(ctx) != PCU_OK) {
        Fail("sending the configuration to " + PortOf(ctx) + " failed: " + ErrorText(ctx));
        return false;
    }
    return ReadConfiguration(ctx, readBack);
}

int Show(int ctx, const std::vector<std::string>& args) {
    const bool json = args.size() == 2 && args[1] == "--json";
    if (args.size() > 2 || (args.size() == 2 && !json))
        return Fail("usage: tarvo config show [--json]", kUsage);
    Printer p;
    Values v{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &v))
        return 1;
    Show(p, v, json);
    return 0;
}

// Reads NAME=VALUE into the setting and its value, refusing what cannot reach the printer.
bool ParseAssignment(const Printer& p, const std::string& arg, const SettingName** setting,
                     int* value) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos) {
        Fail("'" + arg + "' is not NAME=VALUE", kUsage);
        return false;
    }
    const std::string name = arg.substr(0, eq);
    *setting = FindSettingName(name);
    if (*setting == nullptr) {
        Fail("no setting named '" + name + "' (see tarvo config show)", kUsage);
        return false;
    }
    std::string why;
    if (!Offered(p, **setting)) {
        Fail(name + " is not a setting of the " + p.name + " with firmware " + p.firmware);
        return false;
    }
    if (!SettingReachesPrinter(p.model, p.firmware, (*setting)->index, &why)) {
        Fail("cannot set " + name + ": " + why);
        return false;
    }
    const auto parsed = ParseValue(**setting, p.model, arg.substr(eq + 1), &why);
    if (!parsed || !InDomain(**setting, p.model, *parsed, ProfileUnits(), &why)) {
        Fail(why, kUsage);
        return false;
    }
    *value = *parsed;
    return true;
}

int Set(int ctx, const CommandLine& line) {
    const auto& args = line.args;
    if (args.size() < 2)
        return Fail("usage: tarvo config set NAME=VALUE ...", kUsage);
    Printer p;
    Values before{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &before))
        return 1;
    std::map<int, int> wanted;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const SettingName* s = nullptr;
        int value = 0;
        if (!ParseAssignment(p, args[i], &s, &value))
            return 1;
        wanted[s->index] = value;
    }
    if (const Consent c =
            Confirm(line, "Change " + std::to_string(wanted.size()) + " setting(s) of the " +
                              p.name + " on " + PortOf(ctx) + "?");
        c != Consent::Given)
        return Declined(c, "nothing changed");
    for (const auto& [index, value] : wanted) {
        const int slot = value;  // one 4-byte slot; the kernel takes the field's width of it
        PCUPutParms(ctx, 1, &index, &slot);
    }
    Values after{};
    if (!SendAndReadBack(ctx, &after))
        return 1;
    ShowChanges(p, before, after);
    for (const auto& [index, value] : wanted) {
        if (after[static_cast<std::size_t>(index)] != value) {
            for (const SettingName& s : SettingNames()) {
                if (s.index == index)
                    return Fail(std::string("the printer did not take ") + s.name);
            }
        }
    }
    return 0;
}

// With --with-objects the object sections the file already carries (queued with
// `objects ... --to FILE`) stay behind the fresh configuration; otherwise the file holds the
// configuration alone.
int Pull(int ctx, const std::vector<std::string>& args) {
    const bool withObjects = args.size() == 3 && args[2] == "--with-objects";
    if (args.size() != 2 && !withObjects)
        return Fail("usage: tarvo config pull FILE.tcf [--with-objects]", kUsage);
    const std::string& path = args[1];
    std::vector<std::string> sections;
    std::string error;
    if (withObjects && !ReadObjectSections(path, &sections, &error))
        return Fail(error);
    Printer p;
    Values v{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &v))
        return 1;
    PCUSetDnldFlags(ctx, 1, 0, 0, 0);
    if (PCUToFile(ctx, path.c_str()) != PCU_OK)
        return Fail("writing " + path + " failed: " + ErrorText(ctx));
    if (!sections.empty() && !AppendObjectSections(path, sections, &error))
        return Fail(error);
    std::cout << "Saved the configuration of the " << p.name << " to " << path;
    if (!sections.empty())
        std::cout << " with its " << sections.size() << " object-section lines";
    std::cout << ".\n";
    return 0;
}

// The object sections of a pushed file: deletions and downloads the file carries.
int SendSections(int ctx, const CommandLine& line, const std::string& path) {
    std::vector<std::string> sections;
    std::string error;
    if (!ReadObjectSections(path, &sections, &error))
        return Fail(error);
    if (sections.empty())
        return 0;
    if (const Consent c = Confirm(line, path + " also carries " + std::to_string(sections.size()) +
                                            " lines of object downloads and deletions. Send them?");
        c != Consent::Given)
        return Declined(c, "the object sections were not sent");
    if (const int status = SendObjectSections(ctx, sections); status != 0)
        return status;
    std::cout << "Sent the object sections.\n";
    return 0;
}

int Push(int ctx, const CommandLine& line) {
    const auto& args = line.args;
    if (args.size() != 2)
        return Fail("usage: tarvo config push FILE.tcf", kUsage);
    Printer p;
    Values before{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &before))
        return 1;
    if (const int status = PCUFromFile(ctx, args[1].c_str()); status != PCU_OK)
        return Fail(DescribeFileFailure(ctx, status, args[1]));
    const Values loaded = ReadValues(ctx);
    if (loaded[0] != p.model) {
        char fileModel[PROP_NAME_SIZE] = "";
        propGetPrinterStr(loaded[0], fileModel);
        return Fail(args[1] + " holds a configuration for the " + fileModel + ", not the " +
                    p.name);
    }
    std::cout << "Changes from " << args[1] << ":\n";
    if (ShowChanges(p, before, loaded) == 0)
        std::cout << "  (none)\n";
    if (const Consent c = Confirm(line, "Send them to the " + p.name + " on " + PortOf(ctx) + "?");
        c != Consent::Given)
        return Declined(c, "nothing sent");
    Values after{};
    if (!SendAndReadBack(ctx, &after))
        return 1;
    for (const SettingName& s : SettingNames()) {
        const auto i = static_cast<std::size_t>(s.index);
        if (Offered(p, s) && SettingReachesPrinter(p.model, p.firmware, s.index, nullptr) &&
            after[i] != loaded[i]) {
            return Fail(std::string("the printer did not take ") + s.name);
        }
    }
    std::cout << "Sent.\n";
    return SendSections(ctx, line, args[1]);
}

}  // namespace

int RunConfig(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    const std::string verb = a.empty() ? "" : a[0];
    if (verb == "show")
        return Show(ctx, a);
    if (verb == "set")
        return Set(ctx, line);
    if (verb == "pull")
        return Pull(ctx, a);
    if (verb == "push")
        return Push(ctx, line);
    return Fail("usage: tarvo config show|set|pull|push ...", kUsage);
}

}  // namespace tarvo::cli
