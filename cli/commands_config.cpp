// Commands about a printer's configuration: show it, change settings, save it to a
// configuration file and send one back.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "config_objects.h"
#include "config_push_many.h"
#include "desk/last_send.h"
#include "desk/setting_catalog.h"
#include "json_output.h"
#include "stream_file.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

using app::LanSetting;
using app::LanValues;
using app::Units;
using Values = LanValues;
using Printer = IdentifiedPrinter;

bool Offered(const Printer& p, const LanSetting& s) {
    return propCfgSupport(p.model, s.index, p.firmware.c_str()) == 1;
}

// Reads the configuration from the printer. Returns false (after saying why) on failure.
bool ReadConfiguration(int ctx, Values* values) {
    if (!ReadPrinterConfiguration(ctx))
        return false;
    *values = app::ReadKernelValues(ctx);
    return true;
}

void Show(const Printer& p, const Values& v, bool json) {
    const Units units = app::ProfileUnits();
    if (json) {
        Json settings = Json::object();
        for (const LanSetting& s : app::LanSettings()) {
            if (!Offered(p, s))
                continue;
            const int value = v[static_cast<std::size_t>(s.index)];
            settings[s.name] = {{"value", value},
                                {"shown", Utf8Text(app::ShowValue(s, p.model, value, units))}};
        }
        PrintJson({{"model", Utf8Text(p.name)},
                   {"firmware", Utf8Text(p.firmware)},
                   {"settings", settings}});
        return;
    }
    std::cout << "Model " << p.name << ", firmware " << p.firmware << "\n";
    for (const LanSetting& s : app::LanSettings()) {
        if (Offered(p, s))
            std::printf(
                "  %-22s %s\n", s.name,
                app::ShowValue(s, p.model, v[static_cast<std::size_t>(s.index)], units).c_str());
    }
}

// Prints what sending `after` changes on a printer that holds `before`, under `heading`.
void ShowChanges(const std::string& heading, const Printer& p, const Values& before,
                 const Values& after) {
    std::cout << heading << "\n"
              << app::ChangesText(
                     app::ListChanges(p.model, p.firmware, before, after, app::ProfileUnits()));
}

// Keeps what the printer holds now, so that `config undo` can send it back.
bool RememberBeforeSending(int ctx, const Printer& p, const Values& held) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    std::string error;
    if (!app::SaveLastSend({comm.port, p.model, p.firmware, held}, &error)) {
        Fail("nothing sent: " + error);
        return false;
    }
    return true;
}

// Keeps what the printer holds, puts `wanted` into the context, sends the configuration, reads
// it back and checks that every setting a send carries arrived. False after saying why.
bool Send(int ctx, const Printer& p, const Values& held, const Values& wanted,
          std::ostream& say = std::cout) {
    if (!RememberBeforeSending(ctx, p, held))
        return false;
    for (const LanSetting& s : app::LanSettings()) {
        if (app::SettingSendable(p.model, p.firmware, s.index))
            PCUPutParms(ctx, 1, &s.index, &wanted[static_cast<std::size_t>(s.index)]);
    }
    if (PCUPutCfg(ctx) != PCU_OK) {
        Fail("sending the configuration to " + PortOf(ctx) + " failed: " + ErrorText(ctx));
        return false;
    }
    Values after{};
    if (!ReadConfiguration(ctx, &after))
        return false;
    for (const LanSetting& s : app::LanSettings()) {
        const auto i = static_cast<std::size_t>(s.index);
        if (app::SettingSendable(p.model, p.firmware, s.index) && after[i] != wanted[i]) {
            Fail(std::string("the printer did not take ") + s.name);
            return false;
        }
    }
    say << "Sent.\n";
    return true;
}

int Show(int ctx, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo config show [--json]", kUsage);
    Printer p;
    Values v{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &v))
        return 1;
    Show(p, v, line.options.json);
    return 0;
}

// Reads NAME=VALUE into the setting and its value, refusing what cannot reach the printer.
bool ParseAssignment(const Printer& p, const std::string& arg, const LanSetting** setting,
                     int* value) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos) {
        Fail("'" + arg + "' is not NAME=VALUE", kUsage);
        return false;
    }
    const std::string name = arg.substr(0, eq);
    *setting = app::FindLanSetting(name);
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
    const auto parsed = app::ParseValue(**setting, p.model, arg.substr(eq + 1), &why);
    if (!parsed || !app::InDomain(**setting, p.model, *parsed, app::ProfileUnits(), &why)) {
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
    Values wanted = before;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const LanSetting* s = nullptr;
        int value = 0;
        if (!ParseAssignment(p, args[i], &s, &value))
            return 1;
        wanted[static_cast<std::size_t>(s->index)] = value;
    }
    ShowChanges("Changes:", p, before, wanted);
    if (const Consent c = Confirm(line, "Send them to the " + p.name + " on " + PortOf(ctx) + "?");
        c != Consent::Given)
        return Declined(c, "nothing changed");
    return Send(ctx, p, before, wanted) ? 0 : 1;
}

// With --with-objects the object sections the file already carries (queued with
// `objects ... --to FILE`) stay behind the fresh configuration; otherwise the file holds the
// configuration alone.
int Pull(int ctx, const std::vector<std::string>& args) {
    const bool withObjects = args.size() == 3 && args[2] == "--with-objects";
    if (args.size() != 2 && !withObjects)
        return Fail("usage: tarvo config pull FILE.tcf|- [--with-objects]", kUsage);
    StreamFile file(args[1]);
    if (file.isStream() && withObjects)
        return Fail("--with-objects keeps the object sections of a named file, not of -", kUsage);
    std::vector<std::string> sections;
    std::string error;
    if (withObjects && !ReadObjectSections(file.path(), &sections, &error))
        return Fail(error);
    if (!file.Prepare(false, &error))
        return Fail(error);
    Printer p;
    Values v{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &v))
        return 1;
    PCUSetDnldFlags(ctx, 1, 0, 0, 0);
    if (PCUToFile(ctx, file.path().c_str()) != PCU_OK)
        return Fail("writing " + file.name(true) + " failed: " + ErrorText(ctx));
    if (!sections.empty() && !AppendObjectSections(file.path(), sections, &error))
        return Fail(error);
    if (!file.Deliver(&error))
        return Fail(error);
    std::ostream& say = file.messages();
    say << "Saved the configuration of the " << p.name << " to " << file.name(true);
    if (!sections.empty())
        say << " with its " << sections.size() << " object-section lines";
    say << ".\n";
    return 0;
}

// The object sections of a pushed file: deletions and downloads the file carries.
int SendSections(int ctx, const CommandLine& line, const StreamFile& file, std::ostream& say) {
    std::vector<std::string> sections;
    std::string error;
    if (!ReadObjectSections(file.path(), &sections, &error))
        return Fail(error);
    if (sections.empty())
        return 0;
    if (const Consent c =
            Confirm(line, file.name(false) + " also carries " + std::to_string(sections.size()) +
                              " lines of object downloads and deletions. Send them?");
        c != Consent::Given)
        return Declined(c, "the object sections were not sent");
    if (const int status = SendObjectSections(ctx, sections); status != 0)
        return status;
    say << "Sent the object sections.\n";
    return 0;
}

// Where nothing should be said: with --json, standard output carries the document alone.
std::ostream& Nowhere() {
    static std::ostream nowhere(nullptr);
    return nowhere;
}

int Push(int ctx, const CommandLine& line) {
    PushRequest request;
    if (const int status = ParsePush(line.args, &request); status != 0)
        return status;
    if (!request.devices.empty() || !request.ports.empty())
        return PushToMany(request, line.options.json);
    StreamFile file(request.file);
    std::string error;
    if (!file.Prepare(true, &error))
        return Fail(error);
    const std::string from = file.name(false);
    const bool json = line.options.json;
    std::ostream& say = json ? Nowhere() : std::cout;
    Printer p;
    Values before{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &before))
        return 1;
    const auto result = [&](const char* outcome, const std::string& reason) {
        if (json)
            PrintJson({{"model", Utf8Text(p.name)},
                       {"firmware", Utf8Text(p.firmware)},
                       {"result", outcome},
                       {"reason", reason.empty() ? Json(nullptr) : Json(Utf8Text(reason))}});
    };
    if (const int status = PCUFromFile(ctx, file.path().c_str()); status != PCU_OK)
        return Fail(DescribeFileFailure(ctx, status, from));
    Values loaded = app::ReadKernelValues(ctx);
    if (loaded[0] != p.model) {
        char fileModel[PROP_NAME_SIZE] = "";
        propGetPrinterStr(loaded[0], fileModel);
        const std::string why =
            from + " holds a configuration for the " + fileModel + ", not the " + p.name;
        if (!request.force) {
            result("skipped", why);
            return Fail(why + " (--force sends it all the same)", kSkipped);
        }
        loaded[0] = p.model;
    }
    if (!json)
        ShowChanges("Changes from " + from + ":", p, before, loaded);
    if (const Consent c = Confirm(line, "Send them to the " + p.name + " on " + PortOf(ctx) + "?");
        c != Consent::Given)
        return Declined(c, "nothing sent");
    if (!Send(ctx, p, before, loaded, say))
        return 1;
    if (const int status = SendSections(ctx, line, file, say); status != 0)
        return status;
    result("sent", "");
    return 0;
}

// Sends back what the printer on this port held before the last send from this host; that
// send's configuration is kept in turn, so a second undo redoes it.
int Undo(int ctx, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo config undo", kUsage);
    commState comm{};
    PCUGetCommState(ctx, &comm);
    std::string error;
    const auto saved = app::LoadLastSend(comm.port, &error);
    if (!saved)
        return Fail("nothing to undo: " + error);
    Printer p;
    Values before{};
    if (!IdentifyLanmere(ctx, &p) || !ReadConfiguration(ctx, &before))
        return 1;
    if (saved->model != p.model) {
        char savedModel[PROP_NAME_SIZE] = "";
        propGetPrinterStr(saved->model, savedModel);
        return Fail("the last send on " + PortOf(ctx) + " went to a " + savedModel +
                    ", not to this " + p.name + "; nothing sent");
    }
    ShowChanges("Changes back to before the last send:", p, before, saved->values);
    if (const Consent c = Confirm(line, "Send them to the " + p.name + " on " + PortOf(ctx) + "?");
        c != Consent::Given)
        return Declined(c, "nothing sent");
    return Send(ctx, p, before, saved->values) ? 0 : 1;
}

}  // namespace

bool ConfigRunsOffline(const CommandLine& line) {
    const auto& a = line.args;
    if (a.empty())
        return false;
    if (a[0] == "diff")
        return a.size() == 3;
    const auto names = [&](const char* option) {
        return std::find(a.begin(), a.end(), option) != a.end();
    };
    return a[0] == "push" && (names("--devices") || names("--ports"));
}

int RunConfig(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    const std::string verb = a.empty() ? "" : a[0];
    if (line.options.json && verb != "show" && verb != "diff" && verb != "push")
        return Fail("config " + verb + " shows nothing to write as JSON", kUsage);
    if (verb == "diff")
        return RunConfigDiff(ctx, line);
    if (verb == "show")
        return Show(ctx, line);
    if (verb == "set")
        return Set(ctx, line);
    if (verb == "pull")
        return Pull(ctx, a);
    if (verb == "push")
        return Push(ctx, line);
    if (verb == "undo")
        return Undo(ctx, line);
    return Fail("usage: tarvo config show|diff|set|pull|push|undo ...", kUsage);
}

}  // namespace tarvo::cli
