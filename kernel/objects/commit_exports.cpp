// The exported commits of queued downloads and deletions, and the object sections of a
// configuration file, which run the same loops with the file as their target.
#include <initializer_list>
#include <string>

#include "config/file_sections.h"
#include "objects/commit_loops.h"
#include "port/scoped_connection.h"
#include "port/wait.h"
#include "session/export_boundary.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

// How long the printer is given to finish storing before the port closes.
constexpr int kFontPauseMs = 100;
constexpr int kGraphicPauseMs = 50;
constexpr int kFormatPauseMs = 100;
constexpr int kDeletionPauseMs = 100;

using Loop = int (*)(Context& context, Connection* conn, std::string* file);

// Runs `loops` in order on one connection, each whatever the others returned, pauses and
// closes. Returns the first loop's error; the close result is not reported, since the loops'
// work is done by then.
int Commit(int ctx, int pauseMs, std::initializer_list<Loop> loops) {
    return RunExport(ctx, [&](Context& context) -> int {
        ScopedConnection link(context);
        int first = PCU_OK;
        for (Loop loop : loops) {
            const int status = loop(context, &link.conn(), nullptr);
            if (first == PCU_OK)
                first = status;
        }
        WaitMs(pauseMs);
        link.close();
        return first;
    });
}

// A configuration file's section: the loop with the file's text as its target.
template <Loop loop>
int WriteSection(Context& context, std::string* file) {
    return loop(context, nullptr, file);
}

}  // namespace

const ObjectSectionWriters& ObjectSections() {
    static const ObjectSectionWriters writers{
        .fontDeletions = WriteSection<DeleteMarkedFonts>,
        .graphicDeletions = WriteSection<DeleteMarkedGraphics>,
        .formatDeletions = WriteSection<DeleteMarkedFormats>,
        .pageDeletions = WriteSection<DeleteMarkedPages>,
        .fontDownloads = WriteSection<DownloadFonts>,
        .graphicDownloads = WriteSection<DownloadGraphics>,
        .formatDownloads = WriteSection<DownloadFormats>,
    };
    return writers;
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUPutFonts(int ctx) {
    return Commit(ctx, kFontPauseMs, {DownloadFonts});
}

TARVO_API int PCUPutGraphics(int ctx) {
    return Commit(ctx, kGraphicPauseMs, {DownloadGraphics});
}

TARVO_API int PCUPutFormats(int ctx) {
    return Commit(ctx, kFormatPauseMs, {DownloadFormats});
}

TARVO_API int PCUPutPages(int ctx) {
    return Commit(ctx, kDeletionPauseMs, {DeleteMarkedPages});
}

TARVO_API int PCUDelPtrObjs(int ctx) {
    return Commit(
        ctx, kDeletionPauseMs,
        {DeleteMarkedFonts, DeleteMarkedGraphics, DeleteMarkedFormats, DeleteMarkedPages});
}
