/*
 * The printer session: one process-wide connection opened between PCUOpenPrinter and
 * PCUClosePrinter, and the liveness probes. Flag functions return 1 for success, 0 for failure.
 */
#ifndef TARVO_SESSION_H
#define TARVO_SESSION_H

#include "tarvo/export.h"

/* Size a PCUReadPrinter buffer must have. */
#define PCU_READ_BUFFER_SIZE 4096

/*
 * Prepares the shared connection from the context (the port opens on the first read or write;
 * an earlier shared connection is closed first). Flag.
 */
TARVO_API int PCUOpenPrinter(int ctx);

/*
 * Closes the shared connection. A failed close returns 0 and records PCU_ERR_CLOSE in the
 * context's lastError with the port status in lastSysError. Flag.
 */
TARVO_API int PCUClosePrinter(int ctx);

/* Sends `text` (control-character notation) as one framed message, 5 retries. Flag. */
TARVO_API int PCUWritePrinter(int ctx, const char* text);

/*
 * One framed read on the shared connection into `buf`, which must hold PCU_READ_BUFFER_SIZE
 * bytes (no terminator is added); *count receives the byte count. Flag.
 */
TARVO_API int PCUReadPrinter(int ctx, char* buf, int* count);

/*
 * Liveness probes; each opens its own connection and closes it. Return 1 when the printer
 * answered. PCUPing asks <ESC>M1 (a script-language printer: SYSVAR(18)=2, answered with "Ok"),
 * PCUPong asks <ESC>m, PCUCheckForResponse only listens (always 0 for script-language printers).
 */
TARVO_API int PCUPing(int ctx);
TARVO_API int PCUPong(int ctx);
TARVO_API int PCUCheckForResponse(int ctx);

#endif
