// The loops that carry the object lists' queued changes out: deletions of entries marked
// PCU_STATUS_DELETE and downloads of entries with PCU_PENDING_DOWNLOAD. The same loops commit
// to a printer (`conn` set, `file` null) and write a configuration file's object sections
// (`conn` null, `file` set), since every command goes through the command writer.
//
// Each loop returns 0 or the first error it met. The context must exist; the loops run inside
// an admitted kernel operation, so nothing else changes the lists while they walk them.
#pragma once

#include <string>

#include "port/framing.h"
#include "session/kernel_state.h"

namespace tarvo {

// Program mode brackets every object change.
inline constexpr const char* kProgramMode = "<ESC>P";
inline constexpr const char* kLeaveProgramMode = "R";

// ---- deletions: each marked entry is removed from its list once its command was written ----

// <ESC>P before the first marked font, "T<n>;" per font, "R" after the last. Nothing when no
// font is marked.
int DeleteMarkedFonts(Context& context, Connection* conn, std::string* file);
// <ESC>P whenever the list holds entries, "G<n>;" per marked graphic, "R".
int DeleteMarkedGraphics(Context& context, Connection* conn, std::string* file);
// Per marked format: <ESC>P, then "E<n>;R".
int DeleteMarkedFormats(Context& context, Connection* conn, std::string* file);
// Per marked page: <ESC>P, then "s<n>;R".
int DeleteMarkedPages(Context& context, Connection* conn, std::string* file);

// ---- downloads ----
// A downloaded entry gets pending 0 and its new description; committing to a printer also
// sets status PCU_STATUS_STORED. The first failure stops the loop: it is recorded in the
// context (code, object number, new description), the entry keeps its pending download, the
// printer is taken out of program mode with "R", and the error is returned.

int DownloadFonts(Context& context, Connection* conn, std::string* file);
int DownloadGraphics(Context& context, Connection* conn, std::string* file);
// Formats and page command files (isPage) alike.
int DownloadFormats(Context& context, Connection* conn, std::string* file);

}  // namespace tarvo
