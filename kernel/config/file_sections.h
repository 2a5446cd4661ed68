// The sections of a configuration file after its configuration part: the deletions and
// downloads queued in the context's object lists, written as command lines. The directory code
// provides the writers; PCUToFile runs them in file order according to the download flags.
#pragma once

#include <string>

#include "session/kernel_state.h"

namespace tarvo {

// Writes one section's command lines to *file (through SendCommand with no connection).
// Returns 0 or the status of the step that failed.
using SectionWriter = int (*)(Context& context, std::string* file);

// A null writer is a section with nothing to write.
struct ObjectSectionWriters {
    SectionWriter fontDeletions = nullptr;     // download flag 2
    SectionWriter graphicDeletions = nullptr;  // download flag 3
    SectionWriter formatDeletions = nullptr;   // download flag 4, then the pages
    SectionWriter pageDeletions = nullptr;     // download flag 4
    SectionWriter fontDownloads = nullptr;     // download flag 2
    SectionWriter graphicDownloads = nullptr;  // download flag 3
    SectionWriter formatDownloads = nullptr;   // download flag 4
};

// The writers in use.
const ObjectSectionWriters& ObjectSections();

}  // namespace tarvo
