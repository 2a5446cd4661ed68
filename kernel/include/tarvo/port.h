/*
 * Raw port functions and waits.
 *
 * The raw functions give a plain handle on a serial port with no framing and no retries; the
 * script-language printers are driven through them. Ports are named by index (COM1..LPT3) and
 * mapped to devices through the profile values Device.COM1 .. Device.LPT3. A call made while
 * another kernel operation is in progress is refused (PCU_INVALID_HANDLE, 0, or EBUSY).
 *
 * Return conventions differ from function to function; callers have always tested them this
 * way, so they stay:
 *
 *   function               success                         failure
 *   OpenPrinterG           a handle                        PCU_INVALID_HANDLE
 *   ClosePrinterG          1                               0
 *   ReadFromPrinterG       0 (or 1: more was queued)       0, with *sysErr nonzero
 *   WriteToPrinterG        1                               the OS error number (nonzero)
 *   WriteCharsToPrinterG   len                             the OS error number
 *   PCUTraceSecretBegin    1                               0
 *   PCUTraceSecretEnd      (no result)
 *   PCUWait                (no result)
 *   PCUSetTiming           PCU_OK                          PCU_ERR_ARGUMENT
 *
 * So a raw read succeeded when *sysErr is 0, whatever it returned, and a raw write when it
 * returned 1 and *sysErr is 0.
 */
#ifndef TARVO_PORT_H
#define TARVO_PORT_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/*
 * Opens a serial port for raw use. `portIndex` 0..3 names COM1..COM4, PCU_PORT_FROM_CONTEXT (or
 * any value above 6) the port of the context. Parallel ports are refused. The input and output
 * queues are purged.
 * `dcbText` [in]: "COM1:9600,n,8,1" or "9600,n,8,1", with an optional fifth field "x" (XON/XOFF)
 * or "p" (RTS/CTS), sets the line explicitly; may be null, which takes the context's settings,
 * where every rate below 19200 opens at 9600 and every protocol but RTS/CTS runs XON/XOFF.
 * Returns the handle, or PCU_INVALID_HANDLE (unknown context, a parallel port, not a serial
 * device, open or configure failure, bad dcbText, another kernel operation in progress).
 */
TARVO_API PCUHandle OpenPrinterG(int ctx, unsigned portIndex, const char* dcbText);

/*
 * Closes a handle from OpenPrinterG; the handle is gone afterwards even when closing failed.
 * Returns 1 on success, 0 on failure, for an unknown handle or while another kernel operation is
 * in progress.
 */
TARVO_API int ClosePrinterG(PCUHandle handle);

/*
 * Reads what the printer has queued into `buf`, waiting PCUWait(200) before the first look and
 * between reads while bytes keep arriving.
 * `buf` [out]: `size` bytes, zero-filled first, so the data is terminated whenever fewer than
 * `size` bytes came (a full buffer has no terminator); may be null only when `size` is 0
 * (otherwise *sysErr becomes EINVAL).
 * `count` [out]: receives the byte count; may be null.
 * `sysErr` [out]: receives the OS error, 0 on success; may be null (the error is then lost).
 * Returns 0 when everything queued was read (also when nothing was queued), 1 when more was
 * queued than `size` allowed, and 0 with *sysErr set on failure (EIO when the line went away,
 * EBADF for an unknown handle, EINVAL for a null buffer, EBUSY while another kernel operation is
 * in progress).
 */
TARVO_API int ReadFromPrinterG(PCUHandle handle, char* buf, unsigned size, unsigned* count,
                               unsigned* sysErr);

/*
 * Writes `len` bytes, giving up after 5 ms per byte plus 50 ms. "Written" means handed to the
 * operating system, not that the printer took them.
 * `buf` [in]: the bytes; may be null only when `len` is 0 (otherwise EINVAL).
 * `written` [out]: cleared on entry, then receives the number of bytes written (also after a
 * failure part-way); may be null.
 * `sysErr` [out]: cleared on entry, then receives the OS error on failure; may be null.
 * Returns 1 on success; on failure the OS error number (ETIMEDOUT when the time ran out, EBADF
 * for an unknown handle, EINVAL for a negative `len` or a null buffer, EBUSY while another
 * kernel operation is in progress), also stored in *sysErr.
 */
TARVO_API int WriteToPrinterG(PCUHandle handle, const void* buf, int len, unsigned* written,
                              unsigned* sysErr);

/*
 * Writes `len` bytes one at a time as WriteToPrinterG does, with PCUWait(50) after each,
 * stopping at the first failure.
 * `buf` [in]: the bytes; a null buffer fails with EINVAL at the first byte.
 * `written` [out]: cleared on entry, then the bytes written so far; may be null.
 * `sysErr` [out]: cleared on entry, then the OS error of the failing byte; may be null.
 * Returns `len` on success (also when `len` is 0 or negative, when nothing is written), the OS
 * error number on failure (also in *sysErr).
 */
TARVO_API int WriteCharsToPrinterG(PCUHandle handle, const char* buf, int len, unsigned* written,
                                   unsigned* sysErr);

/*
 * Hides `secret` (a password on its way to the printer) from the byte trace until the matching
 * PCUTraceSecretEnd: every occurrence in traced bytes, either way, is shown as *****. Pairs nest
 * and belong to the thread that writes to the port. The kernel keeps a copy, wiped at the end.
 * `secret` [in]: the text to hide; may be null or empty (nothing is hidden, and no end is due).
 * Returns 1; 0 (nothing is hidden, and no end is due) for a null or empty secret or when memory
 * ran out.
 */
TARVO_API int PCUTraceSecretBegin(const char* secret);

/*
 * Ends the innermost PCUTraceSecretBegin; does nothing when none is in force.
 * Returns nothing.
 */
TARVO_API void PCUTraceSecretEnd(void);

/*
 * Waits `units` milliseconds scaled by the profile's Baud value (x5 at 110, x4 at 300, x3 at
 * 600, x2 at 1200, x1.5 at 2400 and 4800, x1 otherwise), plus the inter-character and message
 * delay of the configuration last sent. Sleeps, calling the host's message pump. A negative
 * count is refused (no wait).
 * Returns nothing.
 */
TARVO_API void PCUWait(int units);

/* How the kernel times a reply: as the profile's Timing value says (Adaptive unless it is
 * Prescribed), or as this process chose with PCUSetTiming. */
#define PCU_TIMING_PROFILE 0
/* A reply is read as soon as it is complete, waiting at most the prescribed wait plus the read
 * time-out for it. */
#define PCU_TIMING_ADAPTIVE 1
/* Every prescribed wait is kept in full before a reply is read, for printers that need it. */
#define PCU_TIMING_PRESCRIBED 2

/*
 * Chooses the timing of replies for this process, over the profile's Timing value.
 * `timing` [in]: PCU_TIMING_PROFILE, PCU_TIMING_ADAPTIVE or PCU_TIMING_PRESCRIBED.
 * Returns PCU_OK, or PCU_ERR_ARGUMENT for another value (nothing changes).
 */
TARVO_API int PCUSetTiming(int timing);

#endif
