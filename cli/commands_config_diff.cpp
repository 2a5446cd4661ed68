// `tarvo config diff A.tcf [B.tcf]`: what differs between two configuration files, or between a
// file and the attached printer, setting by setting in the user's units, and, between two
// files, the object downloads and deletions each carries. Exit status as diff's: 0 when equal,
// 1 when they differ, 2 for trouble.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "config_objects.h"
#include "desk/setting_catalog.h"
#include "json_output.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr int kTrouble = 2;

// One side of the comparison: its name for people, its values and its object lines.
struct Side {
    std::string name;
    std::string firmware;
    app::LanValues values{};
    std::vector<std::string> objects;
    bool hasObjects = false;  // a printer's side carries no object sections to compare
};

std::string ModelName(int model) {
    char name[PROP_NAME_SIZE] = "";
    propGetPrinterStr(model, name);
    return name;
}

// Loads a configuration file into a context of its own. False, after saying why, on failure.
bool LoadFile(const std::string& path, Side* side) {
    const int ctx = PCUCfgInit();
    if (ctx == 0) {
        Fail("cannot create a printer context", kTrouble);
        return false;
    }
    if (const int status = PCUFromFile(ctx, path.c_str()); status != PCU_OK) {
        Fail(DescribeFileFailure(ctx, status, path), kTrouble);
        return false;
    }
    std::string error;
    if (!ReadObjectSections(path, &side->objects, &error)) {
        Fail(error, kTrouble);
        return false;
    }
    char model[PCU_ID_MODEL_SIZE] = "DEFAULT";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    PCUGetPrinterID(ctx, model, number, firmware, 0);
    side->name = path;
    side->firmware = firmware;
    side->values = app::ReadKernelValues(ctx);
    side->hasObjects = true;
    return true;
}

bool LoadPrinter(int ctx, Side* side) {
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer) || !ReadPrinterConfiguration(ctx))
        return false;
    side->name = "the " + printer.name + " on " + PortOf(ctx);
    side->firmware = printer.firmware;
    side->values = app::ReadKernelValues(ctx);
    return true;
}

struct Difference {
    std::string name;
    int a = 0, b = 0;
    std::string shownA, shownB;
};

// Every setting a configuration carries (what a send would change) whose value differs, each
// value shown as its own model reads it. Values the printer only reports (its free memory)
// are no part of a configuration.
std::vector<Difference> SettingDifferences(const Side& a, const Side& b) {
    const app::Units units = app::ProfileUnits();
    const int modelA = a.values[0], modelB = b.values[0];
    std::vector<Difference> out;
    if (modelA != modelB)
        out.push_back({"model", modelA, modelB, ModelName(modelA), ModelName(modelB)});
    for (const app::LanSetting& s : app::LanSettings()) {
        const auto i = static_cast<std::size_t>(s.index);
        if (s.index == 0 || a.values[i] == b.values[i] ||
            !(app::SettingSendable(modelA, a.firmware, s.index) ||
              app::SettingSendable(modelB, b.firmware, s.index)))
            continue;
        out.push_back({s.name, a.values[i], b.values[i],
                       app::ShowValue(s, modelA, a.values[i], units),
                       app::ShowValue(s, modelB, b.values[i], units)});
    }
    return out;
}

// The lines of `from` that `other` lacks, in `from`'s order.
std::vector<std::string> Missing(const std::vector<std::string>& from,
                                 const std::vector<std::string>& other) {
    std::vector<std::string> out;
    for (const std::string& line : from) {
        if (std::find(other.begin(), other.end(), line) == other.end())
            out.push_back(line);
    }
    return out;
}

void PrintText(const std::vector<Difference>& settings, const std::vector<std::string>& onlyA,
               const std::vector<std::string>& onlyB) {
    for (const Difference& d : settings)
        std::printf("  %-22s %s -> %s\n", d.name.c_str(), d.shownA.c_str(), d.shownB.c_str());
    for (const std::string& line : onlyA)
        std::cout << "  object - " << line << "\n";
    for (const std::string& line : onlyB)
        std::cout << "  object + " << line << "\n";
}

void PrintJsonDiff(const Side& a, const Side& b, const std::vector<Difference>& settings,
                   const std::vector<std::string>& onlyA, const std::vector<std::string>& onlyB) {
    Json list = Json::array();
    for (const Difference& d : settings) {
        list.push_back({{"name", d.name},
                        {"a", {{"value", d.a}, {"shown", Utf8Text(d.shownA)}}},
                        {"b", {{"value", d.b}, {"shown", Utf8Text(d.shownB)}}}});
    }
    const auto lines = [](const std::vector<std::string>& from) {
        Json out = Json::array();
        for (const std::string& line : from)
            out.push_back(Utf8Text(line));
        return out;
    };
    PrintJson({{"a", Utf8Text(a.name)},
               {"b", Utf8Text(b.name)},
               {"equal", settings.empty() && onlyA.empty() && onlyB.empty()},
               {"settings", list},
               {"objects", {{"onlyInA", lines(onlyA)}, {"onlyInB", lines(onlyB)}}}});
}

}  // namespace

int RunConfigDiff(int ctx, const CommandLine& line) {
    const auto& args = line.args;
    if (args.size() != 2 && args.size() != 3)
        return Fail("usage: tarvo config diff A.tcf [B.tcf]", kTrouble);
    Side a, b;
    if (!LoadFile(args[1], &a))
        return kTrouble;
    if (args.size() == 3 ? !LoadFile(args[2], &b) : !LoadPrinter(ctx, &b))
        return kTrouble;
    const std::vector<Difference> settings = SettingDifferences(a, b);
    // A printer's side has a directory, not object sections: only two files compare objects.
    const bool compareObjects = a.hasObjects && b.hasObjects;
    const auto onlyA = compareObjects ? Missing(a.objects, b.objects) : std::vector<std::string>{};
    const auto onlyB = compareObjects ? Missing(b.objects, a.objects) : std::vector<std::string>{};
    if (line.options.json)
        PrintJsonDiff(a, b, settings, onlyA, onlyB);
    else
        PrintText(settings, onlyA, onlyB);
    return settings.empty() && onlyA.empty() && onlyB.empty() ? 0 : 1;
}

}  // namespace tarvo::cli
