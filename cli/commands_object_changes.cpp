// `tarvo objects add-font|add-graphic|add-format|delete ...`: queues the changes in the
// context's object lists and commits them together (deletions first), or writes them into a
// configuration file with --to.
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
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

struct Touched {
    bool fonts = false, graphics = false, formats = false, pages = false, deletions = false;
};

Touched KindsOf(const std::vector<ObjectChange>& changes) {
    Touched t;
    for (const ObjectChange& c : changes) {
        t.fonts = t.fonts || c.kind == ChangeKind::Font || c.deleteKind == "fonts";
        t.graphics = t.graphics || c.kind == ChangeKind::Graphic || c.deleteKind == "graphics";
        t.formats = t.formats || c.kind == ChangeKind::Format || c.deleteKind == "formats";
        t.pages = t.pages || c.deleteKind == "pages" ||
                  (c.kind == ChangeKind::Format && c.format.isPage != 0);
        t.deletions = t.deletions || c.kind == ChangeKind::Delete;
    }
    return t;
}

// Reads the listings the changes work on, so that a queued object joins what the printer holds.
bool ReadListings(int ctx, const Touched& t) {
    struct Listing {
        bool wanted;
        const char* name;
        int (*read)(int, uint16_t*);
    };
    const Listing listings[] = {{t.fonts, "fonts", PCUGetFonts},
                                {t.graphics, "graphics", PCUGetGraphics},
                                {t.formats, "formats", PCUGetFormats},
                                {t.pages, "pages", PCUGetPages}};
    for (const Listing& l : listings) {
        uint16_t count = 0;
        if (!l.wanted)
            continue;
        const int rc = l.read(ctx, &count);
        if (rc != PCU_OK && LastErrorCode(ctx) != PCU_ERR_DIRECTORY_ENTRY) {
            Fail(std::string("reading the ") + l.name + " from the printer on " + PortOf(ctx) +
                 " failed: " + PCUErrStr(ctx));
            return false;
        }
    }
    return true;
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

int Commit(int ctx, const Touched& t) {
    struct Step {
        bool wanted;
        const char* what;
        int (*run)(int);
    };
    const Step steps[] = {{t.deletions, "deleting", PCUDelPtrObjs},
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

int WriteFile(int ctx, const Touched& t, const std::string& path) {
    if (PCUGetCfg(ctx) != PCU_OK)
        return Fail("reading the configuration from the printer on " + PortOf(ctx) +
                    " failed: " + PCUErrStr(ctx));
    PCUSetDnldFlags(ctx, 1, t.fonts, t.graphics, t.formats || t.pages);
    if (const int status = PCUToFile(ctx, path.c_str()); status != PCU_OK)
        return Fail("writing " + path + " failed: " + DescribeFailure(ctx, status));
    std::cout << "Saved the configuration and the object changes to " << path << ".\n";
    return 0;
}

}  // namespace

int RunObjectChanges(int ctx, const CommandLine& line) {
    std::vector<ObjectChange> changes;
    std::string toFile, error;
    if (!ParseObjectChanges(line.args, &changes, &toFile, &error))
        return Fail(error, kUsage);
    const Touched touched = KindsOf(changes);
    if (!ReadListings(ctx, touched))
        return 1;
    for (const ObjectChange& c : changes) {
        if (!Queue(ctx, c))
            return 1;
    }
    if (!toFile.empty())
        return WriteFile(ctx, touched, toFile);
    if (const int status = Commit(ctx, touched); status != 0)
        return status;
    std::cout << "Done. The printer now holds:\n";
    return RunObjectListing(ctx, touched.fonts, touched.graphics, touched.formats, touched.pages);
}

}  // namespace tarvo::cli
