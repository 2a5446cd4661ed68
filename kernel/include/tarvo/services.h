/*
 * Printer services of an escape-language printer: test labels, the test-and-service mode's
 * sensor and test values, a check that queued downloads fit the printer's memory, and a reset of
 * the printer's communication settings to its factory values.
 *
 * Each function opens a connection of its own from the context and closes it before it returns.
 * Every function returns PCU_ERR_NO_CONTEXT for an unknown handle and PCU_ERR_BUSY while another
 * kernel operation is in progress; argument checks come before any printer traffic. Functions
 * that allocate return PCU_ERR_NO_MEMORY when memory runs out.
 *
 * Return conventions:
 *
 *   function                  success                 failure
 *   PCUGetBarcodeSampleName   the name                null
 *   every other function      PCU_OK (0)              a PCU_ERR_* code
 */
#ifndef TARVO_SERVICES_H
#define TARVO_SERVICES_H

#include <stdint.h>

#include "tarvo/export.h"
#include "tarvo/list.h"
#include "tarvo/types.h"

/* Result codes of the services beside those of types.h, directory.h and downloads.h. */
enum {
    PCU_ERR_NO_PING = 26,       /* the printer did not answer the identification ping */
    PCU_ERR_TEST_SERVICE = 34,  /* a test-and-service query got no usable reply */
    PCU_ERR_GRAPHIC_LIMIT = 35, /* a graphic is larger than the model allows */
    PCU_ERR_NO_FREE_FORMAT = 56 /* no format number known to be free for a test label */
};

/* What PCUTestPrint prints (`kind`). */
enum {
    PCU_TEST_FORMAT = 0,   /* stored format number `selector` */
    PCU_TEST_FONT = 1,     /* a composed label showing font `fontNumber` */
    PCU_TEST_GRAPHIC = 2,  /* a composed label showing graphic `graphicNumber` */
    PCU_TEST_BARCODE = 3,  /* a composed label showing bar-code sample `symbology` */
    PCU_TEST_PAGE = 4,     /* stored page number `selector` */
    PCU_TEST_BUILT_IN = 5, /* one of the printer's own test labels, by `selector` */
};

/* Label size of the composed labels (`labelSize`). */
enum {
    PCU_LABEL_2X3 = 0, /* 2 x 3 inches */
    PCU_LABEL_4X6 = 1, /* 4 x 6 inches */
};

/* Built-in test labels (`selector` of PCU_TEST_BUILT_IN); any other value selects the fourth,
 * PCU_BUILT_IN_PITCH. The labels' contents are the printer's own. */
enum {
    PCU_BUILT_IN_PITCH = 0,    /* sent as "s" */
    PCU_BUILT_IN_HARDWARE = 1, /* sent as "h" */
    PCU_BUILT_IN_QUALITY = 2,  /* sent as "Q" */
    PCU_BUILT_IN_SOFTWARE = 3, /* sent as "C" */
};

/* Number of bar-code samples (PCU_TEST_BARCODE `symbology` 0..19). */
#define PCU_BARCODE_SAMPLES 20

/*
 * The name of bar-code sample `index` as its label prints it, padded with blanks to 15
 * characters ("Code 39        ").
 * Returns the name (static storage), or null for an index of 20 or more.
 */
TARVO_API const char* PCUGetBarcodeSampleName(uint16_t index);

/* Test-and-service items (PCUTestService), each answered by the printer with a number. */
enum {
    PCU_SERVICE_G = 0,  /* letter G */
    PCU_SERVICE_L = 1,  /* letter L */
    PCU_SERVICE_M = 2,  /* letter M */
    PCU_SERVICE_P = 3,  /* letter P */
    PCU_SERVICE_S1 = 4, /* first number of the reply to S */
    PCU_SERVICE_S2 = 5, /* second number of the reply to S */
    PCU_SERVICE_S3 = 6, /* third number of the reply to S */
    PCU_SERVICE_T = 7,  /* letter T */
    PCU_SERVICE_U = 8,  /* letter U */
    PCU_SERVICE_V = 9,  /* letter V */
    PCU_SERVICE_ITEMS = 10,
};

/*
 * Prints a test label. The printer is pinged first (<ESC>M1, as PCUPing); without an answer
 * nothing else is sent. Built-in labels ("<ESC>T;", then "h;", "Q;", "C;" or "s;", then "R"),
 * stored formats ("<ESC>E<n><ETB>") and pages ("<ESC>G<n><ETB>") take `selector` only.
 * Composed labels (kinds 1..3) are defined as a temporary format, printed once and erased: its
 * number is the profile's FormatLoc (default 1) when the printer's format listing, read afresh,
 * does not hold it, else the lowest number 1..99 it does not hold. Without a listing there is
 * no temporary format (PCU_ERR_NO_FREE_FORMAT): on a model that has no directory commands, or
 * when the listing is empty and the printer then answers no ping. The context's own object lists
 * are left alone. `labelSize` and the context's emulation code (0..4) place the fields; a font
 * label shows the font's description when the context's font list has the font as stored in the
 * printer and the description can be sent (otherwise the text has none); `pointSize` 0 keeps the
 * font's own size.
 * Returns the result of closing the connection (PCU_OK or PCU_ERR_CLOSE), PCU_ERR_NO_CONTEXT,
 * PCU_ERR_BUSY, PCU_ERR_NO_PING,
 * PCU_ERR_OPEN (the port would not open; recorded in lastError), PCU_ERR_SEND (a message was not
 * taken by the printer; the remaining messages were still sent, so a temporary format is still
 * erased), PCU_ERR_NO_FREE_FORMAT (recorded in lastError; nothing printed), PCU_ERR_NO_MEMORY or
 * PCU_ERR_ARGUMENT (`kind` above 5; for composed labels a `labelSize` above 1 or an emulation
 * code outside 0..4; for bar codes `symbology` above 19).
 */
TARVO_API int PCUTestPrint(int ctx, uint16_t kind, uint16_t labelSize, uint16_t selector,
                           uint16_t fontNumber, uint16_t pointSize, uint16_t graphicNumber,
                           uint16_t symbology);

/*
 * Reads test-and-service values: enters the mode (<ESC>T), sends the letter of each item and
 * reads its reply, then leaves the mode ("R"), whatever happened in between. The three S items
 * share one query.
 * `items` [in]: *count PCU_SERVICE_* numbers; may be null only when *count is 0.
 * `values` [out]: *count entries, one number per item: -1 for an item the context's model does
 * not offer (nothing is sent for it) or one whose reply was missing or not a number; may be null
 * only when *count is 0.
 * `count` [in, out]: the number of items; returns the number of letters sent. Must not be null.
 * Returns PCU_OK (or PCU_ERR_CLOSE); PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_TEST_SERVICE when
 * a reply was missing or unreadable (also recorded in lastError; models 14, 15 and 20..24 do not
 * always answer, so there it stays PCU_OK); PCU_ERR_OPEN (recorded in lastError; *count 0);
 * PCU_ERR_NO_MEMORY; PCU_ERR_ARGUMENT for a null pointer or an item outside 0..9 (nothing sent).
 */
TARVO_API int PCUTestService(int ctx, const uint16_t* items, int32_t* values, uint16_t* count);

/*
 * Checks whether the queued downloads fit. Entries with pending PCU_PENDING_DOWNLOAD add their
 * estimated size; entries with status PCU_STATUS_DELETE give their size back. A graphic larger
 * than the model allows (for the firmware the last identification found) stops the check before
 * any printer traffic. A font or graphic whose
 * file cannot be read adds nothing (PCUMemoryCheckReport names it). When both lists are empty
 * the printer is not asked; otherwise its free memory is read (<ESC>m) into the context's
 * configuration (setting 7) and the estimate compared with it, 1000 bytes to the kilobyte; a
 * missing or unreadable answer leaves the value the context had.
 * `fonts`, `graphics` [in]: heads of the caller's own lists of FontInfo and GraphicInfo records
 * (see directory.h); either may be null, which counts as an empty list.
 * Returns PCU_OK (everything fits); PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_GRAPHIC_LIMIT
 * (recorded in lastError with the graphic's number in lastSysError and its new description in
 * the detail text); PCU_ERR_PRINTER_MEMORY; PCU_ERR_OPEN (recorded in lastError);
 * PCU_ERR_NO_MEMORY.
 */
TARVO_API int PCUMemoryCheck(int ctx, cl_node* fonts, cl_node* graphics);

/* Kinds of object PCUMemoryCheckReport names. */
enum { PCU_OBJECT_FONT = 0, PCU_OBJECT_GRAPHIC = 1 };

/*
 * Called once for each queued object whose size could not be estimated; `reason` is the code
 * its download would fail with (PCU_ERR_FILE_OPEN, PCU_ERR_IMAGE_FORMAT, PCU_ERR_FACE, ...).
 */
typedef void (*PCUSkippedObject)(void* user, int objectKind, uint16_t id, int reason);

/* What PCUMemoryCheckReport found, beside its result. */
typedef struct PCUMemoryReport {
    int64_t bytesNeeded; /* estimate: downloads less deletions (may be negative) */
    uint32_t freeKb;     /* the printer's free memory as the context holds it after the check */
    int32_t asked;       /* 1 when the printer was asked for its free memory */
    PCUSkippedObject skipped; /* caller's: may be null */
    void* user;               /* passed to `skipped` */
} PCUMemoryReport;

/*
 * PCUMemoryCheck, also filling *report and calling report->skipped for every object that adds
 * nothing because it could not be read.
 * `fonts`, `graphics` [in]: as for PCUMemoryCheck; may be null.
 * `report` [in, out]: `skipped` and `user` are read; bytesNeeded, freeKb and asked are cleared
 * first, then filled. Must not be null.
 * Returns what PCUMemoryCheck returns, or PCU_ERR_ARGUMENT for a null report (nothing checked).
 */
TARVO_API int PCUMemoryCheckReport(int ctx, cl_node* fonts, cl_node* graphics,
                                   PCUMemoryReport* report);

/*
 * Resets the printer's communication settings to its factory values ("<ESC>T;D;R"; the printer
 * moves to them once the message is taken) and stores the same values in the profile: models 8
 * and 9 9600 baud, Even parity, 7 data bits, 1 stop bit, XON/XOFF; models 12..15 and 20..24 9600,
 * None, 8, 1, XON/XOFF; other models keep their line settings in the profile; every model gets
 * empty Preamble and Postamble. The context then reloads its communication parameters from the
 * profile (PCUInitCommParm), also when the profile could not be written.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY, PCU_ERR_NO_PING (nothing sent), PCU_ERR_OPEN
 * (recorded in lastError), PCU_ERR_CLOSE, PCU_ERR_NO_MEMORY, or the profile's error
 * (PCU_ERR_PROFILE_OPEN, PCU_ERR_PROFILE_WRITE) after the printer was reset.
 */
TARVO_API int PCUResetPrinter(int ctx);

#endif
