#include "desk/command_files.h"

#include <cstring>
#include <filesystem>

namespace tarvo::app {
namespace {

bool SameEntry(const FormatInfo& a, const FormatInfo& b) {
    return a.id == b.id && a.isPage == b.isPage && std::strcmp(a.path, b.path) == 0 &&
           std::strcmp(a.newDescription, b.newDescription) == 0;
}

}  // namespace

bool CommandFileQueue::operator==(const CommandFileQueue& other) const {
    if (downloads.size() != other.downloads.size())
        return false;
    for (std::size_t i = 0; i < downloads.size(); ++i) {
        if (!SameEntry(downloads[i], other.downloads[i]))
            return false;
    }
    return formatDeletions == other.formatDeletions && pageDeletions == other.pageDeletions;
}

std::string CommandFileChangesText(const CommandFileQueue& queue) {
    if (queue.empty())
        return {};
    std::string text = "Command files:\n";
    for (const FormatInfo& f : queue.downloads) {
        const bool page = f.isPage != 0;
        text += "  send " + std::filesystem::path(f.path).filename().string() + " as " +
                (page ? "page " + std::to_string(f.id - kPageEntryOffset)
                      : "format " + std::to_string(f.id)) +
                " (" + f.newDescription + ")\n";
    }
    for (const std::uint16_t id : queue.formatDeletions)
        text += "  delete format " + std::to_string(id) + "\n";
    for (const std::uint16_t id : queue.pageDeletions)
        text += "  delete page " + std::to_string(id) + "\n";
    return text;
}

int RegisterCommandFileDeletions(int ctx, const CommandFileQueue& queue) {
    for (const std::uint16_t id : queue.formatDeletions) {
        FormatInfo format{};
        if (PCUGetFormatInfo(ctx, id, &format) != PCU_OK)
            continue;
        format.status = PCU_STATUS_DELETE;
        if (const int r = PCUPutFormatInfo(ctx, id, &format); r != PCU_OK)
            return r;
    }
    for (const std::uint16_t id : queue.pageDeletions) {
        PageInfo page{};
        if (PCUGetPageInfo(ctx, id, &page) != PCU_OK)
            continue;
        page.status = PCU_STATUS_DELETE;
        if (const int r = PCUPutPageInfo(ctx, id, &page); r != PCU_OK)
            return r;
    }
    return PCU_OK;
}

int RegisterCommandFileDownloads(int ctx, const CommandFileQueue& queue) {
    for (FormatInfo entry : queue.downloads) {
        FormatInfo stored{};
        entry.status = PCUGetFormatInfo(ctx, entry.id, &stored) == PCU_OK
                           ? stored.status
                           : std::int16_t{PCU_STATUS_HOST_ONLY};
        entry.pending = PCU_PENDING_DOWNLOAD;
        if (const int r = PCUPutFormatInfo(ctx, entry.id, &entry); r != PCU_OK)
            return r;
    }
    return PCU_OK;
}

}  // namespace tarvo::app
