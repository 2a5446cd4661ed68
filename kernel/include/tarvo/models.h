/*
 * The printer model tables: names, resolution, speeds, resident fonts, character sets and, for
 * each of the 43 configuration settings, whether a model offers it and its kind, default and
 * domain. Read-only; none of these functions touches a printer.
 *
 * Model indices: 0..24 escape-language models, 25 DEFAULT (the generic escape-language
 * configuration), 26..40 script-language models, 41 "Unknown". Only 0..25 have per-model rows.
 */
#ifndef TARVO_MODELS_H
#define TARVO_MODELS_H

#include "tarvo/export.h"

#define PROP_MODEL_COUNT 42
#define PROP_TABLE_MODELS 26 /* models 0..25 have per-model rows */
#define PROP_DEFAULT_MODEL 25
#define PROP_UNKNOWN_MODEL 41
#define PROP_SETTING_COUNT 43
#define PROP_NAME_SIZE 32      /* room for any model name and its terminator */
#define PROP_SPEED_TEXT_SIZE 8 /* room for any speed text ("12.0", "30.0") and terminator */
#define PROP_FONT_TEXT_SIZE 34 /* resident font texts are 33 characters */

/* Kinds of a setting's domain. */
enum {
    PROP_KIND_LIST = 0,  /* the allowed values are the set bits of a mask */
    PROP_KIND_RANGE = 1, /* minimum and maximum */
    PROP_KIND_OTHER = 2, /* flag, number or text without a declared domain */
};

/* Number of models: 42. */
TARVO_API int propGetPrinterCount(void);

/*
 * Copies the name of `model` into `out` (at least PROP_NAME_SIZE bytes). Returns 1; for an
 * index outside 0..41 writes an empty string and returns 0. A null `out` returns 0.
 */
TARVO_API int propGetPrinterStr(int model, char* out);

/* Index of the first model named exactly `name` (case-sensitive), or -1 (also for null). */
TARVO_API int propGetPrinterID(const char* name);

/* Dots per inch of printer emulation 0..4 (100, 200, 66, 400, 300); -1 otherwise. */
TARVO_API int propGetPrinterEmulate(int i);

/* Dot pitch of `model` in millimetres; 0 outside 0..25. */
TARVO_API double propGetMMPerDot(int model);

/* Largest font size, `unit` 0 inches, 1 centimetres; 0 outside 0..25 or for another unit. */
TARVO_API float propGetMaxFontSize(int model, int unit);

/* 1 when `model` answers the object-directory commands; 0 otherwise and outside 0..25. */
TARVO_API int propDirCmd(int model);

/* 1 when font number `fontNumber` is taken by a resident font or reserved on `model`; 0
 * otherwise, outside 0..25 and for numbers outside 0..47. */
TARVO_API int propCheckFontLoc(int model, int fontNumber);

/* Number of resident fonts of `model` (9, 22 or 24); 0 outside 0..25. */
TARVO_API int propGetResFontCount(int model);

/* The i-th resident font text of `model` (33 characters, static storage); null for a bad model
 * or index. */
TARVO_API const char* propGetResFont(int model, int i);

/* Copies at most `max` characters of character set `i`'s name and a terminator into `out`
 * (`max` + 1 bytes); returns the length copied. For `i` outside 0..10, or `max` < 0, writes an
 * empty string (when `out` is not null) and returns 0. */
TARVO_API int propGetCharSetStr(int i, char* out, int max);

/* The n-th (from 0, ascending) print-speed key of `model` (tenths of an inch per second);
 * 0 when there are fewer or the model is outside 0..25. The speeds are the model's own speed
 * list, which may differ from the allowed values of setting 3 (propGetCfgSetting). */
TARVO_API int propGetPrintSpeedInt(int model, int n);

/*
 * Walks a model's speeds (the same list as propGetPrintSpeedInt): starting at bit *cursor
 * (0..23) finds the next speed of `model`, writes its text (unit 0 inches, 1 centimetres;
 * PROP_SPEED_TEXT_SIZE bytes), sets *cursor to the following bit and returns 1. Returns 0, with
 * *cursor and `out` unchanged, when no speed is left, *cursor is outside 0..23, or an argument
 * is bad.
 */
TARVO_API int propEnumPrintSpeedStr(int model, int unit, int* cursor, char* out);

/* Writes the text of speed key `key` (20, 25, ..., 120) in `unit` into `out`
 * (PROP_SPEED_TEXT_SIZE bytes); `out` is left unchanged for another key or unit. */
TARVO_API void propGetPrintSpeedStr(int key, int unit, char* out);

/*
 * 1 when `model` (0..25) offers `setting` (0..42) and `firmware` compares byte by byte greater
 * than or equal to the setting's minimum firmware text (so "2.9" counts as later than "2.10",
 * as the printers' own version texts have always been compared); else 0. A null firmware text
 * counts as empty.
 */
TARVO_API int propCfgSupport(int model, int setting, const char* firmware);

/* Kind of `setting` on `model` (PROP_KIND_*); 0 for indices out of range. */
TARVO_API int propGetCfgDataType(int model, int setting);

/* Writes the default of `setting` on `model` to *out and returns 1; 0 for indices out of
 * range or a null `out`. */
TARVO_API int propGetCfgDefault(int model, int setting, int* out);

/*
 * The domain of `setting` on `model`: a list writes its mask to *a (`b` is not used and may be
 * null); a range writes its minimum to *a and maximum to *b (returns 0 and writes nothing when
 * `b` is null); other kinds write nothing. Returns 1; 0 for indices out of range or a null `a`.
 */
TARVO_API int propGetCfgSetting(int model, int setting, int* a, int* b);

#endif
