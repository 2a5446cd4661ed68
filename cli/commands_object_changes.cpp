// `tarvo objects add-font|add-graphic|add-format|delete ...`: queues the changes in the
// context's object lists and commits them together (deletions first), or writes them into a
// configuration file with --to.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli_support.h"
#include "command_runs.h"
#include "object_changes.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

// What went wrong with a commit, in the user's words: the kernel's text, and the object.
std::string DescribeFailure(int ctx, int status) {
    const char* text = nullptr;
    int object = 0;
    const char* detail = nullptr;
    PCUErrInfo(ctx, &text, &object, &detail);
    std::string message;
    switch (status) {
        case PCU_ERR_FILE_OPEN:
            message = "a file of the object cannot be read";
            break;
        case PCU_ERR_FILE_READ:
            message = "a file of the object is cut short or has a line that is too long";
            break;
        case PCU_ERR_FACE:
            message = "the font's face cannot be found among the installed fonts or in the file";
            break;
        case PCU_ERR_SEND:
            message = "the font file ended early";
            break;
        default:
            message = text != nullptr ? text : "error " + std::to_string(status);
    }
    if (detail != nullptr && *detail != '\0')
        message += " (object " + std::to_string(object) + ", " + detail + ")";
    return message + " [code " + std::to_string(status) + "]";
}

ObjectKinds KindsOf(const std::vector<ObjectChange>& changes) {
    ObjectKinds k;
    for (const ObjectChange& c : changes) {
        k.fonts = k.fonts || c.kind == ChangeKind::Font || c.deleteKind == "fonts";
        k.graphics = k.graphics || c.kind == ChangeKind::Graphic || c.deleteKind == "graphics";
        k.formats = k.formats || c.kind == ChangeKind::Format || c.deleteKind == "formats";
        k.pages = k.pages || c.deleteKind == "pages" ||
                  (c.kind == ChangeKind::Format && c.format.isPage != 0);
    }
    return k;
}

bool HasDeletions(const std::vector<ObjectChange>& changes) {
    return std::any_of(changes.begin(), changes.end(),
                       [](const ObjectChange& c) { return c.kind == ChangeKind::Delete; });
}

// The listing an object of `c` appears in ("graphics") and its number there.
std::pair<std::string, unsigned> ListingOf(const ObjectChange& c) {
    switch (c.kind) {
        case ChangeKind::Font:
            return {"fonts", c.font.id};
        case ChangeKind::Graphic:
            return {"graphics", c.graphic.id};
        case ChangeKind::Format:
            return {c.format.isPage ? "pages" : "formats", c.format.id};
        case ChangeKind::Delete:
            break;
    }
    return {c.deleteKind, c.deleteId};
}

// "graphic 5", as the user named the object.
std::string NameOf(const ObjectChange& c) {
    const auto [listing, number] = ListingOf(c);
    return listing.substr(0, listing.size() - 1) + " " + std::to_string(number);
}

std::string DeletionList(const std::vector<ObjectChange>& changes) {
    std::string names;
    for (const ObjectChange& c : changes) {
        if (c.kind == ChangeKind::Delete)
            names += (names.empty() ? "" : ", ") + NameOf(c);
    }
    return names;
}

// Queues one download under its number, keeping the status of an object the printer holds.
template <class Record>
bool QueueDownload(int ctx, Record record, std::uint16_t number, int (*get)(int, uint16_t, Record*),
                   int (*put)(int, uint16_t, const Record*)) {
    Record stored{};
    record.status =
        get(ctx, number, &stored) == PCU_OK ? stored.status : std::int16_t{PCU_STATUS_HOST_ONLY};
    record.pending = PCU_PENDING_DOWNLOAD;
    record.id = number;
    if (put(ctx, number, &record) != PCU_OK) {
        Fail("object " + std::to_string(number) + ": the name '" + record.newDescription +
             "' cannot be sent to the printer (at most 32 characters, no ; , or <)");
        return false;
    }
    return true;
}

template <class Record>
bool MarkForDeletion(int ctx, unsigned number, const char* kind, int (*get)(int, uint16_t, Record*),
                     int (*put)(int, uint16_t, const Record*)) {
    Record record{};
    const auto id = static_cast<uint16_t>(number);
    if (get(ctx, id, &record) != PCU_OK) {
        Fail(std::string("the printer holds no ") + kind + " " + std::to_string(number));
        return false;
    }
    record.status = PCU_STATUS_DELETE;
    return put(ctx, id, &record) == PCU_OK;
}

bool Queue(int ctx, const ObjectChange& c) {
    switch (c.kind) {
        case ChangeKind::Font:
            return QueueDownload(ctx, c.font, c.font.id, PCUGetFontInfo, PCUPutFontInfo);
        case ChangeKind::Graphic:
            return QueueDownload(ctx, c.graphic, c.graphic.id, PCUGetGraphicInfo,
                                 PCUPutGraphicInfo);
        case ChangeKind::Format: {
            // A page's command file waits in the format list above the format numbers.
            const auto number =
                static_cast<std::uint16_t>(c.format.isPage ? c.format.id + 100 : c.format.id);
            return QueueDownload(ctx, c.format, number, PCUGetFormatInfo, PCUPutFormatInfo);
        }
        case ChangeKind::Delete:
            break;
    }
    if (c.deleteKind == "fonts")
        return MarkForDeletion(ctx, c.deleteId, "font", PCUGetFontInfo, PCUPutFontInfo);
    if (c.deleteKind == "graphics")
        return MarkForDeletion(ctx, c.deleteId, "graphic", PCUGetGraphicInfo, PCUPutGraphicInfo);
    if (c.deleteKind == "formats")
        return MarkForDeletion(ctx, c.deleteId, "format", PCUGetFormatInfo, PCUPutFormatInfo);
    return MarkForDeletion(ctx, c.deleteId, "page", PCUGetPageInfo, PCUPutPageInfo);
}

template <class Record>
bool InList(int ctx, unsigned number, int (*get)(int, uint16_t, Record*)) {
    Record record{};
    return get(ctx, static_cast<uint16_t>(number), &record) == PCU_OK;
}

// Whether the context's lists, as last read from the printer, hold the object of `c`.
bool Listed(int ctx, const ObjectChange& c) {
    const auto [listing, number] = ListingOf(c);
    if (listing == "fonts")
        return InList(ctx, number, PCUGetFontInfo);
    if (listing == "graphics")
        return InList(ctx, number, PCUGetGraphicInfo);
    if (listing == "formats")
        return InList(ctx, number, PCUGetFormatInfo);
    return InList(ctx, number, PCUGetPageInfo);
}

int Commit(int ctx, const ObjectKinds& t, bool deletions) {
    struct Step {
        bool wanted;
        const char* what;
        int (*run)(int);
    };
    const Step steps[] = {{deletions, "deleting", PCUDelPtrObjs},
                          {t.fonts, "downloading the fonts", PCUPutFonts},
                          {t.graphics, "downloading the graphics", PCUPutGraphics},
                          {t.formats, "downloading the formats", PCUPutFormats}};
    for (const Step& s : steps) {
        if (!s.wanted)
            continue;
        if (const int status = s.run(ctx); status != PCU_OK) {
            Fail(std::string(s.what) + " failed: " + DescribeFailure(ctx, status) +
                 "; run `tarvo objects list` to see what the printer holds");
            return 1;
        }
    }
    return 0;
}

int WriteFile(int ctx, const ObjectKinds& t, const std::string& path) {
    if (!ReadPrinterConfiguration(ctx))
        return 1;
    PCUSetDnldFlags(ctx, 1, t.fonts, t.graphics, t.formats || t.pages);
    if (const int status = PCUToFile(ctx, path.c_str()); status != PCU_OK)
        return Fail("writing " + path + " failed: " + DescribeFailure(ctx, status));
    std::cout << "Saved the configuration and the object changes to " << path << ".\n";
    return 0;
}

// Whether the printer's listings, read after the commit, hold what was downloaded and no longer
// hold what was deleted. A printer that took the bytes but kept nothing must not pass for done.
bool Confirmed(int ctx, const std::vector<ObjectChange>& changes) {
    bool all = true;
    for (const ObjectChange& c : changes) {
        const bool listed = Listed(ctx, c);
        if (listed == (c.kind == ChangeKind::Delete)) {
            Fail("the printer on " + PortOf(ctx) + (listed ? " still lists " : " does not list ") +
                 NameOf(c) + " after the changes");
            all = false;
        }
    }
    return all;
}

}  // namespace

int RunObjectChanges(int ctx, const CommandLine& line) {
    std::vector<ObjectChange> changes;
    std::string toFile, error;
    if (!ParseObjectChanges(line.args, &changes, &toFile, &error))
        return Fail(error, kUsage);
    // The model decides the dot size, the limits and the configuration a file carries.
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    const ObjectKinds kinds = KindsOf(changes);
    if (!ReadObjectLists(ctx, kinds))
        return 1;
    for (const ObjectChange& c : changes) {
        if (!Queue(ctx, c))
            return 1;
    }
    if (!toFile.empty())
        return WriteFile(ctx, kinds, toFile);
    const bool deletions = HasDeletions(changes);
    if (deletions) {
        const Consent c = Confirm(line,
                                  "Delete " + DeletionList(changes) + " from the " + printer.name +
                                      " on " + PortOf(ctx) + "?",
                                  Stakes::Erasure);
        if (c != Consent::Given)
            return Declined(c, "nothing changed");
    }
    if (const int status = Commit(ctx, kinds, deletions); status != 0)
        return status;
    if (!ReadObjectLists(ctx, kinds) || !Confirmed(ctx, changes))
        return 1;
    std::cout << "Done. The printer now holds:\n";
    PrintObjectLists(ctx, kinds);
    return 0;
}

}  // namespace tarvo::cli
