/*
 * Contexts, communication parameters, the profile and error texts.
 *
 * A context is a small integer handle (1..32) naming one printer-configuration context; the
 * kernel owns the table and never frees a context. Every function taking a handle answers an
 * unknown handle (0, above 32, or an empty slot) with PCU_ERR_NO_CONTEXT, or with 0 where it
 * returns a flag.
 *
 * Return conventions:
 *
 *   function                                  success            failure
 *   PCUCfgInit                                a handle 1..32     0
 *   PCUInitCommParm, PCUGetProfileString,     PCU_OK (0)         a PCU_ERR_* code
 *   PCUWriteProfileString, PCUCreateProfile,
 *   PCUSetHostHooks
 *   PCUErrInfo                                the context's last error code
 *   PCUErrStr                                 a text, never null
 *   PCUGetCommState, PCUSetCommState          (no result)
 */
#ifndef TARVO_CONTEXT_H
#define TARVO_CONTEXT_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/* Largest number of contexts one process can create. */
#define PCU_MAX_CONTEXTS 32

/*
 * Creates a context in the first free slot: empty configuration and object lists, and the
 * communication parameters loaded from the profile (PCUInitCommParm).
 * Returns the handle 1..32, or 0 when every slot is taken or memory is exhausted.
 */
TARVO_API int PCUCfgInit(void);

/*
 * Loads the context's communication parameters from the profile (Family, Port, Protocol,
 * Preamble, Postamble, Baud, Parity, DataBits, StopBits). Unknown texts leave a field as it
 * was; an LPT port selects the parallel protocol and reads nothing further.
 * Returns PCU_OK or PCU_ERR_NO_CONTEXT.
 */
TARVO_API int PCUInitCommParm(int ctx);

/*
 * Copies port, baud, parity, data bits, stop bits, protocol, preamble and postamble of the
 * context into *out (family and the other fields are left alone).
 * `out` [out]: the caller's record; may be null (nothing is done).
 * Returns nothing; an unknown context leaves *out as it was.
 */
TARVO_API void PCUGetCommState(int ctx, commState* out);

/*
 * The reverse copy of PCUGetCommState, same fields.
 * `in` [in]: the caller's record; may be null (nothing is done).
 * Returns nothing; an unknown context is left alone.
 */
TARVO_API void PCUSetCommState(int ctx, const commState* in);

/*
 * Reads the profile value `key` into `out`; a longer value is cut. When the profile does not
 * exist, or the value is missing or empty, `out` receives `defaultText` (cut the same way).
 * A key is usable when it is non-empty, holds no control character, `=`, `[` or `]`, has no blank
 * at either end and does not start with `;` or `#`.
 * `section` [in]: only documents where the value belongs; not looked at, may be null.
 * `key` [in]: compared without regard to case; null counts as unusable.
 * `defaultText` [in]: may be null, which counts as empty; may be `out` itself.
 * `out` [out]: a buffer of `size` bytes including the terminator; must not be null.
 * Returns PCU_OK (also for an empty value), PCU_ERR_PROFILE_OPEN (no profile file, or it cannot
 * be read or is a directory), PCU_ERR_PROFILE_READ (value missing, or the file is larger than
 * 1 MiB) or PCU_ERR_ARGUMENT (null out or size < 1: nothing is written; unusable key: `out`
 * receives `defaultText`).
 */
TARVO_API int PCUGetProfileString(const char* section, const char* key, const char* defaultText,
                                  char* out, int size, int reserved);

/*
 * Stores `value` under `key`, replacing the profile file atomically under its lock, so two
 * processes never lose each other's values. Other lines of the file are kept as they are. The
 * profile must exist (PCUCreateProfile); a symbolic link to it stays a link.
 * `section` [in]: ignored; may be null.
 * `key` [in]: usable as for PCUGetProfileString; null counts as unusable.
 * `value` [in]: any bytes, they read back unchanged; must not be null.
 * Returns PCU_OK, PCU_ERR_PROFILE_OPEN (no profile file, or not a regular file),
 * PCU_ERR_PROFILE_WRITE (lock or write failed, or the file would grow beyond 1 MiB; the old file
 * is left as it was) or PCU_ERR_ARGUMENT (unusable key as for PCUGetProfileString, null value).
 */
TARVO_API int PCUWriteProfileString(const char* section, const char* key, const char* value,
                                    int reserved);

/*
 * Creates an empty profile (with its directory) when none exists; an existing profile is left
 * as it is. Programs call it once at start-up, as an installer would.
 * Returns PCU_OK or PCU_ERR_PROFILE_WRITE (also when something other than a file is in its place).
 */
TARVO_API int PCUCreateProfile(void);

/*
 * Text of the context's last recorded error. Codes 1..37 give their table text, and so do the
 * codes this kernel added with a text of their own (PCU_ERR_BUSY, PCU_ERR_ARGUMENT,
 * PCU_ERR_IMAGE_FORMAT .. PCU_ERR_NO_FREE_FORMAT, PCU_ERR_PRINTER_MEMORY); 0 and every other
 * code give "Error occurred in KERNEL DLL"; an unknown context gives
 * "Could not find configuration context.".
 * Returns a pointer into a process-wide buffer that stays valid until the next call of
 * PCUErrStr; never null.
 */
TARVO_API const char* PCUErrStr(int ctx);

/*
 * The context's last error with its details. The texts live in a process-wide buffer valid
 * until the next call of PCUErrInfo.
 * `text` [out]: receives the text as PCUErrStr gives it, except that the codes without a text
 * of their own give "Error occurred in PCU DLL"; may be null.
 * `sysError` [out]: for a code with a text of its own, the recorded OS error or port status (for
 * a failed download the object's number); otherwise 0. May be null.
 * `detailText` [out]: for a code with a text of its own, the name of the object concerned
 * (possibly empty); otherwise null. May be null.
 * Returns the context's last error code, PCU_ERR_NO_CONTEXT for an unknown context.
 */
TARVO_API int PCUErrInfo(int ctx, const char** text, int* sysError, const char** detailText);

/*
 * Hooks through which the kernel reaches the program that hosts it. A null function means the
 * terminal default. The record is copied; `user` is passed back unchanged.
 */
typedef struct PCUHostHooks {
    void* user;
    /* Called between slices of every wait: repaint and run timers, but dispatch no input. */
    void (*pumpMessages)(void* user);
    /*
     * Shows `text` under `caption` and waits for the operator. `style` is one PCU_MB_* button
     * set or'ed with one PCU_MB_ICON_* icon. Returns the button pressed (PCU_MB_ID_*).
     * Default: prints "caption: text" on standard error and returns PCU_MB_ID_OK.
     */
    int (*messageBox)(void* user, const char* caption, const char* text, int style);
    /*
     * Asks the operator where to save a file. `filter` lists description and pattern pairs,
     * every part ended by '|' ("Log files (*.log)|*.log|"); `initialName` is proposed and
     * `defaultExtension` (without the dot) is added to a name typed without one. The chosen
     * path is written, terminated, into `path` (`pathSize` bytes).
     * Returns 1 when a path was chosen, 0 when the operator cancelled, -1 when no dialog could
     * be shown. Default (null): no dialog can be shown.
     */
    int (*saveFileDialog)(void* user, const char* title, const char* filter,
                          const char* initialName, const char* defaultExtension, char* path,
                          int pathSize);
    /*
     * A modeless window with which the operator can stop a printing report. openCancelWindow
     * shows it with `caption` and `text` and returns the host's handle for it (passed back
     * unchanged, null included); cancelRequested returns nonzero once the operator asked to
     * stop; closeCancelWindow removes it (called once, also after a cancel). The kernel asks
     * between pages, after pumping messages. Default (null members): no window, and printing is
     * never cancelled.
     */
    void* (*openCancelWindow)(void* user, const char* caption, const char* text);
    int (*cancelRequested)(void* user, void* window);
    void (*closeCancelWindow)(void* user, void* window);
} PCUHostHooks;

/* Button sets and icons of PCUHostHooks.messageBox (`style`). */
#define PCU_MB_OK 0x0000
#define PCU_MB_OKCANCEL 0x0001
#define PCU_MB_ICON_ERROR 0x0010
#define PCU_MB_ICON_WARNING 0x0030
#define PCU_MB_ICON_INFORMATION 0x0040
/* Buttons a message box returns. */
#define PCU_MB_ID_OK 1
#define PCU_MB_ID_CANCEL 2

/*
 * Installs the host hooks. Every member is taken as it is, so a host may set only the hooks it
 * has.
 * `hooks` [in]: copied; may be null, which restores the defaults.
 * Returns PCU_OK.
 */
TARVO_API int PCUSetHostHooks(const PCUHostHooks* hooks);

#endif
