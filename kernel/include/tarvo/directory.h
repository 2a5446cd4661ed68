/*
 * The printer's object directory: fonts, graphics, formats and pages stored in an
 * escape-language printer, mirrored in one list per kind inside each context together with what
 * the operator has queued on the host (downloads, deletions).
 *
 * The lists own their entries; callers exchange copies of the records below and never hold an
 * entry. Lists read from the printer are in reply order; entries added by the put-info functions
 * go before the first entry with a larger number, so an ascending list stays ascending.
 *
 * Every function takes the context handle first. Unless stated otherwise they return PCU_OK,
 * PCU_ERR_NO_CONTEXT (unknown handle, nothing changed), PCU_ERR_NO_ENTRY (no entry with that
 * number) or PCU_ERR_ARGUMENT (a required pointer is null; nothing changed). The functions that
 * change a list refuse with PCU_ERR_BUSY while another kernel operation is in progress (a call
 * from the host's message pump during a transfer), since that operation may be walking the list.
 *
 * Return conventions:
 *
 *   function                  success                      failure
 *   PCUGetFmtLoc              1                            0
 *   every other function      PCU_OK (0)                   a PCU_ERR_* code
 */
#ifndef TARVO_DIRECTORY_H
#define TARVO_DIRECTORY_H

#include <stdint.h>

#include "tarvo/export.h"
#include "tarvo/types.h"

/* Result codes of the directory beside those of types.h. */
enum {
    PCU_ERR_DIRECTORY_ENTRY = 33, /* a directory line from the printer did not parse */
    PCU_ERR_NO_ENTRY = 50,        /* no entry with that number */
};

/* Sizes of the text fields, terminator included. Every copy into them is cut to fit. */
#define PCU_DESCRIPTION_SIZE 33 /* descriptions and names: at most 32 characters */
#define PCU_FACE_NAME_SIZE 33
#define PCU_FONT_PATH_SIZE 257
#define PCU_OBJECT_PATH_SIZE 258 /* graphic and format files */
#define PCU_DBCS_RANGES_SIZE 32

/* Pending action (`pending`). */
enum {
    PCU_PENDING_NONE = 0,
    PCU_PENDING_DOWNLOAD = 2, /* to be downloaded by the next commit */
};

/* Printer status (`status`). */
enum {
    PCU_STATUS_HOST_ONLY = 0, /* not in the printer: a host-side entry */
    PCU_STATUS_STORED = 2,    /* stored in the printer */
    PCU_STATUS_DELETE = 3,    /* marked for deletion by the next commit */
    PCU_STATUS_EMPTY = 4,     /* fonts only: listed by the printer with size 0 */
};

/* FontInfo.source: 2 names an installed face (`faceName`); any other value a file (`path`). */
enum { PCU_FONT_SOURCE_FACE = 2 };

/* FontInfo.kind. */
enum {
    PCU_FONT_KIND_OUTLINE = 1, /* downloaded as its file */
    PCU_FONT_KIND_BITMAP = 2,  /* generated character by character from a host font */
};

/* FontInfo.fontType, as the printer reports it. */
enum {
    PCU_FONT_TYPE_BITMAP = 0,
    PCU_FONT_TYPE_TRUETYPE = 1,
    PCU_FONT_TYPE_SPEEDO = 3,
};

/* FontInfo.sizeMode and GraphicInfo.scaleMode: 1 selects the point size or the scale factor;
 * any other value width and height. */
enum { PCU_SIZE_BY_POINTS = 1, PCU_SCALE_BY_FACTOR = 1 };

typedef struct FontInfo {
    int16_t source;
    char path[PCU_FONT_PATH_SIZE]; /* TrueType, Speedo or .IBF file */
    char faceName[PCU_FACE_NAME_SIZE];
    int16_t kind;                              /* PCU_FONT_KIND_* */
    int16_t sizeMode;                          /* PCU_SIZE_BY_POINTS or width and height */
    int16_t pending;                           /* PCU_PENDING_* */
    int16_t status;                            /* PCU_STATUS_* */
    int16_t pointSize;                         /* used when sizeMode is PCU_SIZE_BY_POINTS */
    float width;                               /* character width in inches, otherwise */
    float height;                              /* character height in inches, otherwise */
    int16_t fontType;                          /* PCU_FONT_TYPE_* */
    char newDescription[PCU_DESCRIPTION_SIZE]; /* given to the font at its next download */
    char description[PCU_DESCRIPTION_SIZE];    /* as stored in the printer */
    uint32_t size;                             /* bytes, as the printer reports it */
    uint16_t id;                               /* font number: the key of the list */
    /* Characters of a bitmap font: 1 letters and digits, 2 digits, 3 printable, 4..7 a
     * double-byte font by dbcsRanges, anything else the host font's whole range. */
    int16_t charRange;
    unsigned char dbcsRanges[PCU_DBCS_RANGES_SIZE];
} FontInfo;

typedef struct GraphicInfo {
    char path[PCU_OBJECT_PATH_SIZE]; /* host bitmap file */
    int16_t scaleMode;               /* PCU_SCALE_BY_FACTOR or fit to width by height */
    int16_t rotation; /* 0 none, 1 quarter turn clockwise, 2 half, 3 quarter counter-clockwise */
    int16_t pending;
    int16_t status;
    float scale;      /* used when scaleMode is PCU_SCALE_BY_FACTOR */
    float width;      /* target width in inches */
    float height;     /* target height in inches */
    int16_t reserved; /* the caller's own; copied, never interpreted */
    char newDescription[PCU_DESCRIPTION_SIZE];
    char description[PCU_DESCRIPTION_SIZE];
    uint32_t size;
    uint16_t id;
} GraphicInfo;

typedef struct FormatInfo {
    char path[PCU_OBJECT_PATH_SIZE]; /* command file defining the format or page */
    int16_t pending;
    int16_t status;
    char newDescription[PCU_DESCRIPTION_SIZE];
    char description[PCU_DESCRIPTION_SIZE];
    int32_t isPage; /* nonzero: the command file defines a page rather than a format */
    uint32_t size;
    uint16_t id;
} FormatInfo;

typedef struct PageInfo {
    int16_t pending;
    int16_t status;
    uint16_t id;
} PageInfo;

/* ---- Counting and listing (host side only) ---- */

/*
 * Counts the entries of one kind.
 * `count` [out]: receives the number of entries (0 for an empty list); must not be null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT or PCU_ERR_ARGUMENT (null count).
 */
TARVO_API int PCUGetFontCount(int ctx, uint16_t* count);
TARVO_API int PCUGetGraphicCount(int ctx, uint16_t* count);
TARVO_API int PCUGetFormatCount(int ctx, uint16_t* count);
TARVO_API int PCUGetPageCount(int ctx, uint16_t* count);

/*
 * Lists the entries of one kind, in list order.
 * `ids` [out]: at least *count entries, receiving the entries' numbers; must not be null.
 * `descriptions` [out]: *count PCU_DESCRIPTION_SIZE-byte buffers receiving the descriptions;
 * may be null (skipped).
 * `newDescriptions` [out], fonts and graphics only: the same for the new descriptions; may be
 * null (skipped).
 * `count` [in, out]: how many entries the arrays hold; returns how many were copied. Must not be
 * null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_ARGUMENT (null ids or count; nothing copied) or
 * PCU_ERR_NO_MEMORY.
 */
TARVO_API int PCUGetFontIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                            char (*newDescriptions)[PCU_DESCRIPTION_SIZE], uint16_t* count);
TARVO_API int PCUGetGraphicIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                               char (*newDescriptions)[PCU_DESCRIPTION_SIZE], uint16_t* count);
TARVO_API int PCUGetFormatIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                              uint16_t* count);
TARVO_API int PCUGetPageIDs(int ctx, uint16_t* ids, uint16_t* count);

/* ---- Entry access ---- */

/*
 * Copies the entry numbered `number`.
 * `out` [in, out]: receives the entry; for fonts every field except dbcsRanges, which keeps what
 * the caller had there. Must not be null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_NO_ENTRY or PCU_ERR_ARGUMENT (null out).
 */
TARVO_API int PCUGetFontInfo(int ctx, uint16_t number, FontInfo* out);
TARVO_API int PCUGetGraphicInfo(int ctx, uint16_t number, GraphicInfo* out);
TARVO_API int PCUGetFormatInfo(int ctx, uint16_t number, FormatInfo* out);
TARVO_API int PCUGetPageInfo(int ctx, uint16_t number, PageInfo* out);

/*
 * Reads the printer status of font `number`.
 * `status` [out]: receives the entry's `status` (PCU_STATUS_*); must not be null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_NO_ENTRY or PCU_ERR_ARGUMENT (null status).
 */
TARVO_API int PCUGetFontPrintStatus(int ctx, uint16_t number, int16_t* status);

/*
 * Stores a copy of *in (dbcsRanges included) as the entry numbered `number`: overwrites it when
 * it exists, otherwise inserts a new entry before the first one with a larger number. The number
 * the entry keeps is in->id; an entry renumbered this way moves to its place in number order and
 * replaces any other entry that already had in->id, so numbers stay unique and ascending.
 * `in` [in]: the record; text fields are cut to their size and terminated. Must not be null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_ARGUMENT (null record, or a newDescription that
 * could not be sent to the printer: longer than 32 characters, or holding `;`, `,`, `<` or a
 * control byte), PCU_ERR_NO_MEMORY or PCU_ERR_BUSY. Never PCU_ERR_NO_ENTRY.
 */
TARVO_API int PCUPutFontInfo(int ctx, uint16_t number, const FontInfo* in);
TARVO_API int PCUPutGraphicInfo(int ctx, uint16_t number, const GraphicInfo* in);
TARVO_API int PCUPutFormatInfo(int ctx, uint16_t number, const FormatInfo* in);
TARVO_API int PCUPutPageInfo(int ctx, uint16_t number, const PageInfo* in);

/*
 * Withdraws a host-side change to entry `number`. An entry the printer holds or that is marked
 * (nonzero status) stays, with its pending download cancelled; a host-only entry is removed.
 * To delete an object in the printer, set its status to PCU_STATUS_DELETE with the put-info
 * function and commit.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_NO_ENTRY or PCU_ERR_BUSY.
 */
TARVO_API int PCUDelFont(int ctx, uint16_t number);
TARVO_API int PCUDelGraphic(int ctx, uint16_t number);
TARVO_API int PCUDelFormat(int ctx, uint16_t number);
TARVO_API int PCUDelPage(int ctx, uint16_t number);

/* ---- Reading the directory from the printer ---- */

/*
 * Replaces the kind's list with the printer's directory listing (<ESC>v fonts, <ESC>u graphics,
 * <ESC>x formats, <ESC>y pages), throwing away every host-side change of that kind (also when
 * the printer then does not answer). A listing line that does not parse is dropped and
 * recorded as PCU_ERR_DIRECTORY_ENTRY in the context's lastError; the other lines are still
 * read and the function succeeds.
 * `count` [out]: set to 0 first, then to the number of entries read; must not be null.
 * Returns the result of closing the connection (PCU_OK or PCU_ERR_CLOSE), PCU_ERR_NO_CONTEXT,
 * PCU_ERR_OPEN (the port could not be opened; also recorded in lastError), PCU_ERR_NO_ANSWER
 * (no reply at all, the list stays empty; also recorded), PCU_ERR_NO_MEMORY, PCU_ERR_ARGUMENT
 * (null count) or PCU_ERR_BUSY. A printer that sends nothing to a listing is pinged (<ESC>M1):
 * silence again is PCU_ERR_NO_ANSWER; an answer shows it has caught up, and the listing is asked
 * once more. A printer holds no graphics, formats or pages when it sends nothing to that second
 * request: the list is then empty and the result success. Fonts: no listing is always
 * PCU_ERR_NO_ANSWER.
 */
TARVO_API int PCUGetFonts(int ctx, uint16_t* count);
TARVO_API int PCUGetGraphics(int ctx, uint16_t* count);
TARVO_API int PCUGetFormats(int ctx, uint16_t* count);
TARVO_API int PCUGetPages(int ctx, uint16_t* count);

/*
 * Proposes where to store a new format. Models 5240 and 5040 (4 and 5): the lowest number from
 * 1 to 100 that no format of the context's list uses. Every other model: the profile value
 * FormatLoc (default "19"), which must be a whole number from 0 to 65535.
 * `location` [out]: receives the number; must not be null (0).
 * Returns 1 with *location set, or 0 (location unchanged) for an unknown context, a null
 * pointer, all of 1..100 in use, a FormatLoc that is not such a number, or when memory ran out.
 */
TARVO_API int PCUGetFmtLoc(int ctx, int* location);

#endif
