// The command files (formats and pages) the operator queued for the printer, and the installed
// ones marked for deletion. The queue lives in the desk, not in the kernel's object lists, since
// every directory read replaces those lists; it is handed to the kernel just before the commit
// that carries it out (a send or a configuration file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tarvo/directory.h"

namespace tarvo::app {

// A page's command file waits in the kernel's format list under its page number plus this
// offset, above every format number, and is sent under its page number.
inline constexpr std::uint16_t kPageEntryOffset = 100;

struct CommandFileQueue {
    // Format entries to download (pending PCU_PENDING_DOWNLOAD); a page's has isPage set and
    // its page number + kPageEntryOffset as id.
    std::vector<FormatInfo> downloads;
    std::vector<std::uint16_t> formatDeletions;  // installed formats to delete
    std::vector<std::uint16_t> pageDeletions;    // installed pages to delete

    bool empty() const {
        return downloads.empty() && formatDeletions.empty() && pageDeletions.empty();
    }
    bool operator==(const CommandFileQueue& other) const;
};

// What the queue will do, for the list of changes shown before a send: "Command files:" and a
// line for each file ("  send labels.fmt as page 3 (LABELS)") and deletion ("  delete format
// 4"); empty for an empty queue.
std::string CommandFileChangesText(const CommandFileQueue& queue);

// Marks the queued deletions in context `ctx`'s lists (PCU_STATUS_DELETE), for the next
// PCUDelPtrObjs or PCUToFile. An object the lists no longer hold is skipped: there is nothing to
// delete. Returns PCU_OK or the first error of the kernel.
int RegisterCommandFileDeletions(int ctx, const CommandFileQueue& queue);

// Puts the queued downloads into context `ctx`'s format list, for the next PCUPutFormats or
// PCUToFile; an entry for an object the printer holds keeps its status. Returns PCU_OK or the
// first error of the kernel (PCU_ERR_ARGUMENT for a description the printer cannot take).
int RegisterCommandFileDownloads(int ctx, const CommandFileQueue& queue);

}  // namespace tarvo::app
