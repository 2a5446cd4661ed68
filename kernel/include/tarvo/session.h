/*
 * The printer session: one process-wide connection opened between PCUOpenPrinter and
 * PCUClosePrinter, and the liveness probes.
 *
 * Return convention (the same for every function here):
 *
 *   function                          success   failure
 *   PCUOpenPrinter, PCUClosePrinter   1         0
 *   PCUWritePrinter, PCUReadPrinter   1         0
 *   PCUPing, PCUPong,                 1         0 (also for an unknown context or while another
 *   PCUCheckForResponse                           kernel operation is in progress)
 */
#ifndef TARVO_SESSION_H
#define TARVO_SESSION_H

#include "tarvo/export.h"

/* Size a PCUReadPrinter buffer must have. */
#define PCU_READ_BUFFER_SIZE 4096

/*
 * Prepares the shared connection from the context (the port opens on the first read or write;
 * an earlier shared connection is closed first).
 * Returns 1 when the connection is prepared; 0 for an unknown context or while another kernel
 * operation is in progress.
 */
TARVO_API int PCUOpenPrinter(int ctx);

/*
 * Closes the shared connection.
 * Returns 1 when it closed or none was open; 0 for an unknown context, while another kernel
 * operation is in progress, or when closing failed (then PCU_ERR_CLOSE is recorded in the
 * context's lastError with the port status in lastSysError).
 */
TARVO_API int PCUClosePrinter(int ctx);

/*
 * Sends `text` as one framed message on the shared connection, 5 retries. `ctx` is not looked
 * at: the message goes to the connection PCUOpenPrinter prepared.
 * `text` [in]: the message in control-character notation; must not be null (0).
 * Returns 1 when the message was taken; 0 when it was not, when no shared connection is
 * prepared, for a null text, or while another kernel operation is in progress.
 */
TARVO_API int PCUWritePrinter(int ctx, const char* text);

/*
 * One framed read on the shared connection. A reply longer than the buffer is delivered in
 * parts: the next read gets the rest. `ctx` is not looked at.
 * `buf` [out]: PCU_READ_BUFFER_SIZE bytes (no terminator is added); must not be null (0).
 * `count` [out]: set to 0 on entry, then to the byte count; may be null.
 * Returns 1 when a reply (or the part that fits) was read; 0 when nothing usable came, when no
 * shared connection is prepared, for a null buffer, or while another kernel operation is in
 * progress.
 */
TARVO_API int PCUReadPrinter(int ctx, char* buf, int* count);

/*
 * Liveness probes; each opens its own connection and closes it. PCUPing asks <ESC>M1 (a
 * script-language printer: SYSVAR(18)=2, answered with "Ok"), PCUPong asks <ESC>m,
 * PCUCheckForResponse only listens (always 0 for script-language printers).
 * Returns 1 when the printer answered; 0 when it did not, for an unknown context, or while
 * another kernel operation is in progress.
 */
TARVO_API int PCUPing(int ctx);
TARVO_API int PCUPong(int ctx);
TARVO_API int PCUCheckForResponse(int ctx);

#endif
