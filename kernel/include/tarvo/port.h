/*
 * Raw port functions and waits.
 *
 * The raw functions give a plain handle on a serial port with no framing and no retries; the
 * script-language printers are driven through them. Ports are named by index (COM1..LPT3) and
 * mapped to devices through the profile values Device.COM1 .. Device.LPT3.
 */
#ifndef TARVO_PORT_H
#define TARVO_PORT_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/*
 * Opens a serial port for raw use. `portIndex` 0..3 names COM1..COM4, PCU_PORT_FROM_CONTEXT (or
 * any value above 6) the port of the context. `dcbText` ("COM1:9600,n,8,1" or "9600,n,8,1") sets
 * the line explicitly; null takes the context's settings, where every rate below 19200 opens at
 * 9600. Parallel ports are refused. The input and output queues are purged.
 * Returns the handle, or PCU_INVALID_HANDLE (unknown context, not a serial device, open or
 * configure failure, bad dcbText).
 */
TARVO_API PCUHandle OpenPrinterG(int ctx, unsigned portIndex, const char* dcbText);

/* Closes a handle from OpenPrinterG. Returns 1 on success, 0 on failure or an unknown handle. */
TARVO_API int ClosePrinterG(PCUHandle handle);

/*
 * Reads what the printer has queued into `buf` (`size` bytes), waiting PCUWait(200) before the
 * first look and between reads while bytes keep arriving. The buffer is zero-filled first, so
 * the data is terminated whenever fewer than `size` bytes came; a full buffer has no terminator.
 * *count receives the byte count, *sysErr the OS error (0 on success).
 * Returns 0 when everything queued was read, 1 when more was queued than `size` allowed, and 0
 * with *sysErr set on failure (EIO when the line went away, EBADF for an unknown handle).
 */
TARVO_API int ReadFromPrinterG(PCUHandle handle, char* buf, unsigned size, unsigned* count,
                               unsigned* sysErr);

/*
 * Writes `len` bytes. *written and *sysErr are cleared on entry.
 * Returns nonzero on success; on failure the OS error number, also stored in *sysErr.
 */
TARVO_API int WriteToPrinterG(PCUHandle handle, const void* buf, int len, unsigned* written,
                              unsigned* sysErr);

/*
 * Writes `len` bytes one at a time with PCUWait(50) after each, stopping at the first failure.
 * Returns `len` on success (also when `len` is 0 or negative), the OS error number on failure
 * (also in *sysErr).
 */
TARVO_API int WriteCharsToPrinterG(PCUHandle handle, const char* buf, int len, unsigned* written,
                                   unsigned* sysErr);

/*
 * Hides `secret` (a password on its way to the printer) from the byte trace until the matching
 * PCUTraceSecretEnd: every occurrence in traced bytes, either way, is shown as *****. Pairs nest
 * and belong to the thread that writes to the port. The kernel keeps a copy, wiped at the end.
 * Returns 1, or 0 for a null or empty secret (nothing is hidden, and no end is due) or when
 * memory ran out.
 */
TARVO_API int PCUTraceSecretBegin(const char* secret);

/* Ends the innermost PCUTraceSecretBegin; does nothing when none is in force. */
TARVO_API void PCUTraceSecretEnd(void);

/*
 * Waits `units` milliseconds scaled by the profile's Baud value (x5 at 110, x4 at 300, x3 at
 * 600, x2 at 1200, x1.5 at 2400 and 4800, x1 otherwise), plus the inter-character and message
 * delay of the configuration last sent. Sleeps, calling the host's message pump. A negative
 * count is refused (no wait).
 */
TARVO_API void PCUWait(int units);

#endif
