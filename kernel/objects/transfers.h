// The per-object transfers a commit starts, one per way an object reaches the printer. Each
// writes through SendCommand / SendCommandList, so the same transfer serves a printer
// connection (`conn` set, `file` null) and a configuration file's text (`conn` null, `file`
// set). Each returns 0 or an error code of downloads.h / types.h; none of them touches the
// entry's list or its pending and status fields, which the commit loops own.
#pragma once

#include <string>

#include "port/framing.h"
#include "session/kernel_state.h"
#include "tarvo/directory.h"

namespace tarvo {

// ---- command files and .IBF files ----

// Sends a format or page command file: <ESC>P, the header built from the entry ("E%02d;F%02d,%s;"
// for a format, "s%02d;S%02d;" for a page numbered 1..9), the file's body lines, "R".
// Returns 0, PCU_ERR_FILE_OPEN, PCU_ERR_OBJECT_NUMBER (a page outside 1..9, a format outside
// 1..99), PCU_ERR_FILE_READ (a line too long or a read error; "R" is still sent) or the first
// failing send's status (after which "R" is still attempted).
int SendCommandFile(Connection* conn, std::string* file, const FormatInfo& entry);

// Sends an .IBF font image as font entry.id. To a printer, first checks the printer's free
// memory (<ESC>m, kept in `context`) against the image size the file's first line states:
// PCU_ERR_PRINTER_MEMORY when it does not fit (recorded in `context` as
// PCU_LAST_ERROR_FONT_MEMORY, the font's number and its new description; nothing of the font
// sent; the printer back in program mode). `context` may be null when there is no `conn`.
// Returns 0, PCU_ERR_FILE_OPEN, PCU_ERR_PRINTER_MEMORY, PCU_ERR_FILE_READ (a first line that
// states no image size, a line over 255 characters or a read error), PCU_ERR_NO_CONTEXT (a
// connection without a context) or the first failing send's status.
int SendIbfFont(Context* context, Connection* conn, std::string* file, const FontInfo& entry);

// ---- fonts ----

// Sends a TrueType or Speedo font file hex-encoded ("J..." then "j..." commands).
// Returns 0, PCU_ERR_EMPTY_FONT, PCU_ERR_NOT_OUTLINE, PCU_ERR_FACE, PCU_ERR_FILE_OPEN,
// PCU_ERR_NO_MEMORY, PCU_ERR_SEND (the file ended early) or the failing send's status.
int SendOutlineFont(Connection* conn, std::string* file, const FontInfo& entry);

// Renders the entry's face at its size (dots from `emulation`) and sends it character by
// character ("T..;x..;y..;" then "t..;Z..;u..;" per character).
// Returns 0, PCU_ERR_FACE, PCU_ERR_ARGUMENT (an unknown emulation code or a size out of range)
// or the failing send's status.
int SendBitmapFont(Connection* conn, std::string* file, const FontInfo& entry, int emulation);

// Renders a double-byte font into an .ibf image file and sets *ibfPath to it; the caller then
// sends that file with SendIbfFont. Returns 0, PCU_ERR_FACE, PCU_ERR_DBCS_RANGES,
// PCU_ERR_ARGUMENT, PCU_ERR_NO_MEMORY or PCU_ERR_FILE_WRITE.
int ConvertDoubleByteFont(const FontInfo& entry, int emulation, std::string* ibfPath);

}  // namespace tarvo
