/*
 * The configuration report: a plain-text account of a context's communication settings,
 * configuration and object directories, printed on the default print queue or saved as a log
 * file the operator names.
 *
 * Layout: pages of 60 lines of 80 characters. Every page starts with four lines (a row of '-',
 * the title "   Tarvo Configuration Report   " with the local date and time and the page
 * number, another row of '-', a blank line); the chosen sections follow in the order of the
 * PCU_REPORT_* bits. In a log file every line is followed by a line feed; a printed report is
 * the same text as one plain-text job with a form feed between pages.
 *
 * The report reads what the context holds (PCUGetCfg, PCUGetFonts and the other listings fill
 * it); it never talks to the printer. Messages, the save dialog and the cancel window go
 * through the host hooks (PCUSetHostHooks).
 *
 * Return convention (both functions): PCU_OK (0) for success, otherwise a PCU_ERR_* code.
 */
#ifndef TARVO_REPORT_H
#define TARVO_REPORT_H

#include "tarvo/export.h"

/* Sections (bit mask); always emitted in this order. */
#define PCU_REPORT_COMM 1     /* communication settings from the profile */
#define PCU_REPORT_CONFIG 2   /* the context's configuration parameters */
#define PCU_REPORT_FONTS 4    /* font directory (nothing when the list is empty) */
#define PCU_REPORT_GRAPHICS 8 /* graphic directory (nothing when empty) */
#define PCU_REPORT_FORMATS 16 /* format directory (nothing when empty) */
#define PCU_REPORT_ALL 31

/* Result codes of the report beside those of types.h. */
enum {
    PCU_ERR_LOG_FILE = 21,        /* the log file could not be created or written */
    PCU_ERR_SAVE_DIALOG = 37,     /* the save dialog could not be shown */
    PCU_ERR_NO_PRINTER = 38,      /* no default print queue */
    PCU_ERR_PRINT = 39,           /* the print system refused the job or a part of it */
    PCU_ERR_PRINT_CANCELLED = 41, /* the operator stopped printing */
    PCU_ERR_SAVE_CANCELLED = 42,  /* the operator cancelled the save dialog */
};

/*
 * Prints the report of `ctx` with the sections of `sections` (other bits are ignored; 0 gives
 * one page holding only its header).
 *
 * With `toFile` nonzero the host's save dialog asks for the log file (initial name
 * "report.log", filter "Log files (*.log)|*.log|", extension "log"); it is written as
 * PCUPrintReportToFile does. Otherwise the report goes to the default print queue as one job
 * titled "Tarvo Report", with the host's cancel window ("Print Report") open while the pages
 * are sent; a cancelled job is withdrawn from the queue.
 *
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY (another kernel operation is in progress),
 * PCU_ERR_NO_MEMORY ("Unable to allocate memory" shown), PCU_ERR_LOG_FILE ("Unable to open
 * selected Log file" shown), PCU_ERR_SAVE_DIALOG (no save dialog: "Unable to access File Save
 * dialog box" shown), PCU_ERR_SAVE_CANCELLED, PCU_ERR_NO_PRINTER, PCU_ERR_PRINT (a job that
 * could not be started also shows "General error - can't start document" under "Report Print
 * Error") or PCU_ERR_PRINT_CANCELLED. The messages go through the host's message box, titled
 * "Error" unless stated.
 */
TARVO_API int PCUPrintReport(int ctx, int sections, int toFile);

/*
 * Tarvo's addition for programs without a save dialog: writes the report of `ctx` with
 * `sections` into the log file `path`, without asking. The file appears whole or not at all
 * (written beside it and renamed into place; a file already there is replaced, keeping its
 * permissions, and a symbolic link is followed).
 * `path` [in]: the log file; must not be null or empty.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY, PCU_ERR_ARGUMENT (null or empty path),
 * PCU_ERR_NO_MEMORY or PCU_ERR_LOG_FILE, with the messages of PCUPrintReport.
 */
TARVO_API int PCUPrintReportToFile(int ctx, int sections, const char* path);

/*
 * Tarvo's addition for reports laid out by the program itself: sends `pageCount` pages of plain
 * text as one job titled `title` to the default print queue, a form feed between pages, with
 * the host's cancel window (caption `cancelCaption`, button "Cancel Printing") open while the
 * pages are sent. A job that failed or was cancelled is withdrawn from the queue.
 * `title`, `cancelCaption` [in]: not null, `title` not empty; `pages` [in]: `pageCount` (> 0)
 * texts, none null.
 * Returns PCU_OK, PCU_ERR_ARGUMENT, PCU_ERR_NO_PRINTER, PCU_ERR_PRINT (a job that could not be
 * started also shows "General error - can't start document") or PCU_ERR_PRINT_CANCELLED.
 */
TARVO_API int PCUPrintTextPages(const char* title, const char* cancelCaption,
                                const char* const* pages, int pageCount);

/*
 * Tarvo's addition: the name of the default print queue into `name` (`size` bytes, not null).
 * Returns PCU_OK, PCU_ERR_NO_PRINTER (there is none; `name` empty) or PCU_ERR_ARGUMENT (a null
 * buffer, or one too small for the name).
 */
TARVO_API int PCUGetDefaultPrintQueue(char* name, int size);

#endif
