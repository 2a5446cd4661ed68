/*
 * Downloads and deletions of printer objects: committing what the object lists have queued
 * (see directory.h) to an escape-language printer, and reading the header of a label-format
 * command file.
 *
 * The commit functions open the context's connection, run their loops, pause briefly so the
 * printer finishes storing, and close the connection; a failure to close is not reported, since
 * the loops' work is done by then. A failed download also records the error in the context's
 * lastError, the object's number in lastSysError and its new description in lastErrorText
 * (PCUErrInfo); the entry keeps its pending download, and the printer has left program mode.
 * After a failure the caller re-reads the directory (PCUGetFonts...) rather than guessing what
 * the printer stored.
 *
 * Return convention (every function here): PCU_OK (0) for success, otherwise a PCU_ERR_* code
 * or the port or framing status (400..425, 700..705) of a message that could not be sent.
 */
#ifndef TARVO_DOWNLOADS_H
#define TARVO_DOWNLOADS_H

#include <stdint.h>

#include "tarvo/directory.h"
#include "tarvo/export.h"
#include "tarvo/types.h"

/* Result codes of the downloads beside those of types.h and directory.h. */
enum {
    PCU_ERR_SEND = 5,            /* a font file stopped before its end, or a send failed */
    PCU_ERR_EMPTY_FONT = 13,     /* the font is listed with size 0 (status 4) */
    PCU_ERR_FILE_OPEN = 20,      /* an object's file (font, bitmap, command file) cannot be read */
    PCU_ERR_FACE = 28,           /* the font's face cannot be found */
    PCU_ERR_NOT_OUTLINE = 31,    /* the font cannot be downloaded as an outline file */
    PCU_ERR_PRINTER_MEMORY = 60, /* the printer has too little free memory for the object */
    PCU_ERR_IMAGE_FORMAT = 51,   /* the bitmap file is not one this kernel reads */
    PCU_ERR_IMAGE_SIZE = 52,     /* the graphic's size in dots is out of range */
    PCU_ERR_GRAPHIC_FRAME = 53,  /* a graphic column does not fit the protocol's messages */
    PCU_ERR_OBJECT_NUMBER = 54,  /* a command file names no valid format or page number */
    PCU_ERR_DBCS_RANGES = 55,    /* a double-byte font's ranges or output name are not valid */
};

/* lastError recorded when a font does not fit the printer's memory (PCU_ERR_PRINTER_MEMORY). */
#define PCU_LAST_ERROR_FONT_MEMORY 40

/*
 * Sends every font with pending PCU_PENDING_DOWNLOAD: an .IBF file as it is, a font with kind
 * PCU_FONT_KIND_OUTLINE as its font file, a double-byte font (charRange 4..7 with dbcsRanges
 * set) converted to an .ibf image first, any other font converted character by character.
 * A downloaded entry gets pending 0, status PCU_STATUS_STORED and its new description.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY, or the first error of its loop (a code above, or a port or framing
 * status).
 */
TARVO_API int PCUPutFonts(int ctx);

/*
 * Sends every graphic with pending PCU_PENDING_DOWNLOAD, converted from its bitmap file.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY, or the first error of its loop (a code above, or a port or framing
 * status).
 */
TARVO_API int PCUPutGraphics(int ctx);

/*
 * Sends every format (and page command file, isPage set) with pending PCU_PENDING_DOWNLOAD.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY, or the first error of its loop (a code above, or a port or framing
 * status).
 */
TARVO_API int PCUPutFormats(int ctx);

/*
 * Deletes every page with status PCU_STATUS_DELETE from the printer and from the list.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY, or the first error of its loop (a code above, or a port or framing
 * status).
 */
TARVO_API int PCUPutPages(int ctx);

/*
 * Deletes every font, graphic, format and page with status PCU_STATUS_DELETE, in that order of
 * kinds, from the printer and from the lists. Every kind's loop runs, also after one failed.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY, or the error of the first loop that failed (a code above, or a port or
 * framing status).
 */
TARVO_API int PCUDelPtrObjs(int ctx);

/*
 * Reads the header of a command file (the lines before the first field command): the last
 * "F<n>[,name];" or "A<n>[,name];" line gives a format number 1..99, an "S<n>[,name];" line a
 * page number 1..9 and sets *isPage. Needs no context and no printer.
 * `path` [in]: the command file; must not be null.
 * `isPage`, `number` [out]: set to 0 first, then to what the header says; must not be null.
 * `name` [out]: at least PCU_DESCRIPTION_SIZE bytes, written only when a header line carries a
 * name; must not be null.
 * Returns PCU_OK, PCU_ERR_FILE_OPEN (the file cannot be opened), PCU_ERR_NO_MEMORY or
 * PCU_ERR_ARGUMENT (a null pointer; nothing is written).
 */
TARVO_API int PCUGetFormatFileInfo(const char* path, int32_t* isPage, int32_t* number, char* name);

#endif
