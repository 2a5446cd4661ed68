/* gaugebar: the progress indicator that long transfers show (font, graphic, command-file and
 * firmware downloads, file transfers to script-language printers).
 *
 * One progress window exists at a time. A transfer calls InitProgressBar once,
 * RunProgressBar as often as it likes, and DeleteProgressBar once on every way out, failures
 * included. Positions are in the caller's own unit (bytes of a file, characters of a font,
 * pieces of a job); the indicator never assumes bytes.
 *
 * How the window looks is up to a backend. The default one draws a text line on standard
 * error when that is a terminal and is silent otherwise; a program with a window system
 * installs its own with SetProgressBackend.
 *
 * Threads: the functions may be called from any thread, one call at a time is served. A call
 * made from inside a backend function (say a cancel button that closes the window) is ignored,
 * since the window is already being worked on. */
#ifndef GAUGEBAR_H
#define GAUGEBAR_H

#include <stdint.h>

#ifdef __cplusplus
#define GAUGEBAR_EXTERN_C extern "C"
#else
#define GAUGEBAR_EXTERN_C
#endif

#define GAUGEBAR_API GAUGEBAR_EXTERN_C __attribute__((visibility("default")))

/* Longest title kept, in bytes; longer titles are cut (never inside a UTF-8 character). */
#define GAUGEBAR_MAX_TITLE 255

/* A progress window of the host's own making. Every function may be null (nothing is done for
 * it); each receives `user` first. The record is copied when installed.
 *   open:   a window appears. `title` is the indicator's own copy, valid until close returns.
 *           `high` equal to `low` asks for a bar that shows activity but no fraction.
 *   update: the bar moves. Positions are clamped to low..high (no upper bound when high equals
 *           low), so a backend never sees a position outside the range it was given.
 *   close:  the window goes away. */
typedef struct GaugeBackend {
    void* user;
    void (*open)(void* user, const char* title, int32_t low, int32_t high);
    void (*update)(void* user, int32_t position);
    void (*close)(void* user);
} GaugeBackend;

/* Opens the progress window with `title` (null means an empty title) for work from `low` to
 * `high`, the bar at `low`. A window that is still open is closed first. `high` equal to `low`
 * (the total is unknown, e.g. 0) gives a bar without a fraction; a `high` below `low` is taken
 * as equal to it. */
GAUGEBAR_API void InitProgressBar(const char* title, int32_t low, int32_t high);

/* Moves the bar to `position`, clamped to the window's range. Does nothing without a window. */
GAUGEBAR_API void RunProgressBar(int32_t position);

/* Closes the window. Does nothing without a window. */
GAUGEBAR_API void DeleteProgressBar(void);

/* Installs `backend` (copied) for the windows to come; null restores the default text line.
 * A window that is open is closed on the backend that opened it first. */
GAUGEBAR_API void SetProgressBackend(const GaugeBackend* backend);

#endif
