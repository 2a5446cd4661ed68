// Commands about what the printer stores: fonts, graphics, formats and pages.
#include <array>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

struct Row {
    unsigned id;
    std::string description;
    unsigned long size;
};

// One kind of object: how to read its listing and walk what it left in the context.
struct Kind {
    const char* name;
    int (*read)(int, uint16_t*);
    std::vector<Row> (*rows)(int ctx);
};

std::vector<Row> FontRows(int ctx) {
    uint16_t count = 0;
    PCUGetFontCount(ctx, &count);
    std::vector<uint16_t> ids(count);
    PCUGetFontIDs(ctx, ids.data(), nullptr, nullptr, &count);
    std::vector<Row> rows;
    for (uint16_t i = 0; i < count; ++i) {
        FontInfo info{};
        if (PCUGetFontInfo(ctx, ids[i], &info) == PCU_OK)
            rows.push_back({info.id, info.description, static_cast<unsigned long>(info.size)});
    }
    return rows;
}

std::vector<Row> GraphicRows(int ctx) {
    uint16_t count = 0;
    PCUGetGraphicCount(ctx, &count);
    std::vector<uint16_t> ids(count);
    PCUGetGraphicIDs(ctx, ids.data(), nullptr, nullptr, &count);
    std::vector<Row> rows;
    for (uint16_t i = 0; i < count; ++i) {
        GraphicInfo info{};
        if (PCUGetGraphicInfo(ctx, ids[i], &info) == PCU_OK)
            rows.push_back({info.id, info.description, static_cast<unsigned long>(info.size)});
    }
    return rows;
}

std::vector<Row> FormatRows(int ctx) {
    uint16_t count = 0;
    PCUGetFormatCount(ctx, &count);
    std::vector<uint16_t> ids(count);
    PCUGetFormatIDs(ctx, ids.data(), nullptr, &count);
    std::vector<Row> rows;
    for (uint16_t i = 0; i < count; ++i) {
        FormatInfo info{};
        if (PCUGetFormatInfo(ctx, ids[i], &info) == PCU_OK)
            rows.push_back({info.id, info.description, static_cast<unsigned long>(info.size)});
    }
    return rows;
}

std::vector<Row> PageRows(int ctx) {
    uint16_t count = 0;
    PCUGetPageCount(ctx, &count);
    std::vector<uint16_t> ids(count);
    PCUGetPageIDs(ctx, ids.data(), &count);
    std::vector<Row> rows;
    for (uint16_t i = 0; i < count; ++i)
        rows.push_back({ids[i], "", 0});
    return rows;
}

const Kind kKinds[] = {
    {"fonts", PCUGetFonts, FontRows},
    {"graphics", PCUGetGraphics, GraphicRows},
    {"formats", PCUGetFormats, FormatRows},
    {"pages", PCUGetPages, PageRows},
};

// A listing line that did not parse leaves the others usable, with a warning.
bool ReadKind(int ctx, const Kind& kind) {
    uint16_t count = 0;
    const int rc = kind.read(ctx, &count);
    if (rc == PCU_OK)
        return true;
    if (LastErrorCode(ctx) == PCU_ERR_DIRECTORY_ENTRY) {
        std::cerr << "tarvo: warning: some " << kind.name
                  << " lines of the printer's listing could not be read and were left out\n";
        return true;
    }
    if (rc == PCU_ERR_NO_ANSWER) {
        Fail("the printer on " + PortOf(ctx) + " stopped answering: it sent no " + kind.name +
             " listing and no answer to a ping [code " + std::to_string(rc) + "]");
    } else {
        Fail(std::string("reading the ") + kind.name + " from the printer on " + PortOf(ctx) +
             " failed: " + ErrorText(ctx, rc));
    }
    return false;
}

void PrintKind(int ctx, const Kind& kind) {
    const std::vector<Row> rows = kind.rows(ctx);
    std::cout << kind.name << " (" << rows.size() << "):\n";
    for (const Row& r : rows) {
        if (kind.rows == PageRows) {
            std::printf("  %5u\n", r.id);
        } else {
            std::printf("  %5u  %-32s %10lu bytes\n", r.id, r.description.c_str(), r.size);
        }
    }
}

// The kind's rows as JSON: pages have numbers only.
Json KindJson(int ctx, const Kind& kind) {
    Json rows = Json::array();
    for (const Row& r : kind.rows(ctx)) {
        if (kind.rows == PageRows)
            rows.push_back({{"id", r.id}});
        else
            rows.push_back(
                {{"id", r.id}, {"description", Utf8Text(r.description)}, {"bytes", r.size}});
    }
    return rows;
}

std::array<bool, 4> Chosen(const ObjectKinds& kinds) {
    return {kinds.fonts, kinds.graphics, kinds.formats, kinds.pages};
}

}  // namespace

bool ReadObjectLists(int ctx, const ObjectKinds& kinds) {
    const std::array<bool, 4> chosen = Chosen(kinds);
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (chosen[i] && !ReadKind(ctx, kKinds[i]))
            return false;
    }
    return true;
}

void PrintObjectLists(int ctx, const ObjectKinds& kinds) {
    const std::array<bool, 4> chosen = Chosen(kinds);
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (chosen[i])
            PrintKind(ctx, kKinds[i]);
    }
}

namespace {

int ReadAndPrint(int ctx, const ObjectKinds& kinds, bool json) {
    if (!ReadObjectLists(ctx, kinds))
        return 1;
    if (!json) {
        PrintObjectLists(ctx, kinds);
        return 0;
    }
    Json document = Json::object();
    const std::array<bool, 4> chosen = Chosen(kinds);
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (chosen[i])
            document[kKinds[i].name] = KindJson(ctx, kKinds[i]);
    }
    PrintJson(document);
    return 0;
}

}  // namespace

int RunObjects(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    if (a.empty())
        return Fail(
            "usage: tarvo objects list [KIND] | add-font ... | add-graphic ... | "
            "add-format ... | delete KIND ID",
            kUsage);
    if (a[0] != "list") {
        if (line.options.json)
            return Fail("objects " + a[0] + " shows nothing to write as JSON", kUsage);
        return RunObjectChanges(ctx, line);
    }
    if (a.size() > 2)
        return Fail("usage: tarvo objects list [fonts|graphics|formats|pages]", kUsage);
    if (a.size() == 1)
        return ReadAndPrint(ctx, {true, true, true, true}, line.options.json);
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (a[1] == kKinds[i].name)
            return ReadAndPrint(ctx, {i == 0, i == 1, i == 2, i == 3}, line.options.json);
    }
    return Fail("unknown kind '" + a[1] + "' (fonts, graphics, formats or pages)", kUsage);
}

}  // namespace tarvo::cli
