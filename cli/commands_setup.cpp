// Commands about a Brakenholm printer's setup: show it, change settings, send it whole, save it
// to a setup file and load one back, restore the factory setup.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_setting_text.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"

namespace tarvo::cli {
namespace {

using app::BrakSetting;
using app::OpResult;

int Failed(const std::string& what, const OpResult& result) {
    return Fail(what + ": " + app::Describe(result));
}

// Reads the printer's setup listing into the printer object.
bool ReadSetup(BrakenholmSession& s) {
    const app::ListingRead read = s.printer().ReadSetupListing();
    if (!read.parsed) {
        Fail("the printer did not send a setup listing that could be read");
        return false;
    }
    if (read.truncated)
        std::cerr << "tarvo: warning: the printer's setup listing was longer than the buffer\n";
    return true;
}

void PrintSetup(BrakenholmSession& s, bool json) {
    app::CBrakPrinter& p = s.printer();
    const app::BrakSetup setup = p.GetSetup();
    const int generation = p.SetupGeneration();
    if (json) {
        Json settings = Json::object();
        for (int i = 0; i < app::kBrakSettingCount; ++i) {
            const auto setting = static_cast<BrakSetting>(i);
            settings[std::string(app::SettingName(setting))] =
                Utf8Text(app::SettingValueText(setting, setup, generation));
        }
        PrintJson({{"model", Utf8Text(s.session().modelName)},
                   {"tree", Utf8Text(std::string(p.TreeVersion()))},
                   {"settings", settings}});
        return;
    }
    std::cout << "Model " << s.session().modelName << ", setup tree " << p.TreeVersion() << "\n";
    for (int i = 0; i < app::kBrakSettingCount; ++i) {
        const auto setting = static_cast<BrakSetting>(i);
        std::printf("  %-20s %s\n", std::string(app::SettingName(setting)).c_str(),
                    app::SettingValueText(setting, setup, generation).c_str());
    }
    for (const std::string& line : p.Unrecognised())
        std::cout << "  (not read: " << line << ")\n";
}

int Show(BrakenholmSession& s, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo setup show [--json]", kUsage);
    if (!ReadSetup(s))
        return 1;
    PrintSetup(s, line.options.json);
    return 0;
}

int Set(BrakenholmSession& s, const CommandLine& line) {
    const auto& a = line.args;
    if (a.size() < 2)
        return Fail("usage: tarvo setup set NAME=VALUE ...", kUsage);
    if (!ReadSetup(s))
        return 1;
    app::CBrakPrinter& p = s.printer();
    app::BrakSetup setup = p.GetSetup();
    std::vector<BrakSetting> changed;
    for (std::size_t i = 1; i < a.size(); ++i) {
        const auto eq = a[i].find('=');
        if (eq == std::string::npos)
            return Fail("'" + a[i] + "' is not NAME=VALUE", kUsage);
        const std::string name = a[i].substr(0, eq);
        const auto setting = app::SettingByName(name);
        if (!setting)
            return Fail("no setting named '" + name + "' (see tarvo setup show)", kUsage);
        const app::Writability w = app::CanWriteSetting(*setting, p.SetupGeneration());
        if (!w.writable)
            return Fail("cannot set " + name + ": " + w.reason);
        if (const auto why =
                app::SetSettingFromText(*setting, a[i].substr(eq + 1), p.SetupGeneration(), setup))
            return Fail(*why, kUsage);
        changed.push_back(*setting);
    }
    if (const Consent c = Confirm(line, "Change " + std::to_string(changed.size()) +
                                            " setting(s) of the " + s.session().modelName + "?");
        c != Consent::Given)
        return Declined(c, "nothing changed");
    p.SetSetup(setup);
    if (const OpResult r = p.SendSettings(changed); !r.ok())
        return Failed("sending the settings failed", r);
    if (!ReadSetup(s))
        return 1;
    const app::BrakSetup after = p.GetSetup();
    for (const BrakSetting setting : changed) {
        const std::string want = app::SettingValueText(setting, setup, p.SetupGeneration());
        const std::string got = app::SettingValueText(setting, after, p.SetupGeneration());
        std::printf("  %-20s %s\n", std::string(app::SettingName(setting)).c_str(), got.c_str());
        if (want != got)
            return Fail("the printer did not take " + std::string(app::SettingName(setting)));
    }
    return 0;
}

int Send(BrakenholmSession& s, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo setup send", kUsage);
    if (!ReadSetup(s))
        return 1;
    if (const OpResult r = s.printer().SendAllSetup(); !r.ok())
        return Failed("sending the setup failed", r);
    std::cout << "Sent the whole setup.\n";
    return 0;
}

int Save(BrakenholmSession& s, const std::vector<std::string>& a) {
    if (a.size() != 2)
        return Fail("usage: tarvo setup save FILE", kUsage);
    if (!ReadSetup(s))
        return 1;
    if (const OpResult r = s.printer().SaveSetupFileTo(a[1]); !r.ok())
        return Failed("saving " + a[1] + " failed", r);
    std::cout << "Saved the setup of the " << s.session().modelName << " to " << a[1] << ".\n";
    return 0;
}

int Load(BrakenholmSession& s, const CommandLine& line) {
    const auto& a = line.args;
    const bool send = a.size() == 3 && a[2] == "--send";
    if (a.size() < 2 || a.size() > 3 || (a.size() == 3 && !send))
        return Fail("usage: tarvo setup load FILE [--send]", kUsage);
    if (const OpResult r = s.printer().LoadSetupFileFrom(a[1]); !r.ok())
        return Failed("loading " + a[1] + " failed", r);
    if (!send) {
        PrintSetup(s, false);
        return 0;
    }
    if (const OpResult r = s.printer().SendAllSetup(); !r.ok())
        return Failed("sending the setup failed", r);
    std::cout << "Sent the setup from " << a[1] << ".\n";
    return 0;
}

int RestoreDefaults(BrakenholmSession& s, const CommandLine& line) {
    if (const Consent c =
            Confirm(line, "Restore the factory setup of the " + s.session().modelName + "?",
                    Stakes::Erasure);
        c != Consent::Given)
        return Declined(c, "nothing changed");
    const OpResult r = s.printer().RestoreSetupDefaults();
    if (r.status == app::OpStatus::NotSupported)
        return Fail("the " + s.session().modelName + " cannot restore its factory setup");
    if (!r.ok())
        return Failed("restoring the factory setup failed", r);
    std::cout << "Restored the factory setup.\n";
    return 0;
}

}  // namespace

int RunSetup(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    const std::string verb = a.empty() ? "" : a[0];
    if (verb != "show" && verb != "set" && verb != "send" && verb != "save" && verb != "load" &&
        verb != "restore-defaults")
        return Fail("usage: tarvo setup show|set|send|save|load|restore-defaults ...", kUsage);
    if (line.options.json && verb != "show")
        return Fail("setup " + verb + " shows nothing to write as JSON", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    if (verb == "show")
        return Show(s, line);
    if (verb == "set")
        return Set(s, line);
    if (verb == "send")
        return Send(s, line);
    if (verb == "save")
        return Save(s, a);
    if (verb == "load")
        return Load(s, line);
    return RestoreDefaults(s, line);
}

}  // namespace tarvo::cli
