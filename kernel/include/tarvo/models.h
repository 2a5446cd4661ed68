/*
 * The printer model tables: names, resolution, speeds, resident fonts, character sets and, for
 * each of the 43 configuration settings, whether a model offers it and its kind, default and
 * domain. Read-only; none of these functions touches a printer.
 *
 * Model indices: 0..24 escape-language models, 25 DEFAULT (the generic escape-language
 * configuration), 26..40 script-language models, 41 "Unknown". Only 0..25 have per-model rows.
 *
 * Return conventions: no function here fails loudly; a bad index or a null pointer gives the
 * neutral answer its comment names.
 *
 *   function                                        answer                 bad argument
 *   propGetPrinterStr, propEnumPrintSpeedStr,       1                      0
 *   propGetCfgDefault, propGetCfgSetting
 *   propDirCmd, propCheckFontLoc, propCfgSupport    1 yes, 0 no            0
 *   propGetPrinterID, propGetPrinterEmulate         an index or a value    -1
 *   propGetMMPerDot, propGetMaxFontSize,            a value                0
 *   propGetResFontCount, propGetPrintSpeedInt,
 *   propGetCharSetStr, propGetCfgDataType
 *   propGetResFont                                  a text                 null
 *   propGetPrinterCount                             42
 *   propGetPrintSpeedStr                            (no result)
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

/*
 * The number of models.
 * Returns 42.
 */
TARVO_API int propGetPrinterCount(void);

/*
 * Copies the name of `model`.
 * `out` [out]: at least PROP_NAME_SIZE bytes; must not be null (0).
 * Returns 1; for an index outside 0..41 writes an empty string and returns 0; 0 for a null `out`.
 */
TARVO_API int propGetPrinterStr(int model, char* out);

/*
 * Finds a model by name.
 * `name` [in]: compared exactly (case-sensitive); may be null (-1).
 * Returns the index of the first model so named, or -1.
 */
TARVO_API int propGetPrinterID(const char* name);

/*
 * The resolution of a printer emulation.
 * Returns the dots per inch of emulation 0..4 (100, 200, 66, 400, 300); -1 for any other `i`.
 */
TARVO_API int propGetPrinterEmulate(int i);

/*
 * The dot pitch of `model`.
 * Returns the dot pitch in millimetres; 0 outside 0..25.
 */
TARVO_API double propGetMMPerDot(int model);

/*
 * The largest font size of `model`, `unit` 0 inches, 1 centimetres.
 * Returns the size; 0 outside 0..25 or for another unit.
 */
TARVO_API float propGetMaxFontSize(int model, int unit);

/*
 * Tells whether `model` answers the object-directory commands.
 * Returns 1 when it does; 0 otherwise and outside 0..25.
 */
TARVO_API int propDirCmd(int model);

/*
 * Tells whether font number `fontNumber` is taken by a resident font or reserved on `model`.
 * Returns 1 when it is; 0 otherwise, outside 0..25 and for numbers outside 0..47.
 */
TARVO_API int propCheckFontLoc(int model, int fontNumber);

/*
 * Counts the resident fonts of `model`.
 * Returns 9, 22 or 24; 0 outside 0..25.
 */
TARVO_API int propGetResFontCount(int model);

/*
 * The i-th resident font text of `model`.
 * Returns the text (33 characters, static storage); null for a bad model or index.
 */
TARVO_API const char* propGetResFont(int model, int i);

/*
 * Copies at most `max` characters of character set `i`'s name and a terminator.
 * `out` [out]: `max` + 1 bytes; may be null (nothing is written, 0).
 * Returns the length copied; for `i` outside 0..10, or `max` < 0, writes an empty string and
 * returns 0.
 */
TARVO_API int propGetCharSetStr(int i, char* out, int max);

/*
 * The n-th (from 0, ascending) print-speed key of `model`. The speeds are the model's own speed
 * list, which may differ from the allowed values of setting 3 (propGetCfgSetting).
 * Returns the key in tenths of an inch per second; 0 when there are fewer, `n` is negative or
 * the model is outside 0..25.
 */
TARVO_API int propGetPrintSpeedInt(int model, int n);

/*
 * Walks a model's speeds (the same list as propGetPrintSpeedInt): starting at bit *cursor
 * (0..23) finds the next speed of `model` and writes its text (unit 0 inches, 1 centimetres).
 * `cursor` [in, out]: the bit to start at; set to the bit after the speed found. Must not be
 * null (0).
 * `out` [out]: PROP_SPEED_TEXT_SIZE bytes; must not be null (0).
 * Returns 1 when a speed was found; 0, with *cursor and `out` unchanged, when no speed is left,
 * *cursor is outside 0..23, or an argument is bad.
 */
TARVO_API int propEnumPrintSpeedStr(int model, int unit, int* cursor, char* out);

/*
 * Writes the text of speed key `key` (20, 25, ..., 120) in `unit` (0 inches, 1 centimetres).
 * `out` [out]: PROP_SPEED_TEXT_SIZE bytes, left unchanged for another key or unit; may be null
 * (nothing is done).
 * Returns nothing.
 */
TARVO_API void propGetPrintSpeedStr(int key, int unit, char* out);

/*
 * Tells whether `model` (0..25) offers `setting` (0..42) with the firmware `firmware`: the text
 * must compare byte by byte greater than or equal to the setting's minimum firmware text (so
 * "2.9" counts as later than "2.10", as the printers' own version texts have always been
 * compared).
 * `firmware` [in]: the printer's firmware text; may be null, which counts as empty.
 * Returns 1 when it does; else 0 (also for indices out of range).
 */
TARVO_API int propCfgSupport(int model, int setting, const char* firmware);

/*
 * The kind of `setting` on `model`.
 * Returns PROP_KIND_*; 0 (which is also PROP_KIND_LIST) for indices out of range.
 */
TARVO_API int propGetCfgDataType(int model, int setting);

/*
 * The default of `setting` on `model`.
 * `out` [out]: receives the default; must not be null (0).
 * Returns 1; 0 (nothing written) for indices out of range or a null `out`.
 */
TARVO_API int propGetCfgDefault(int model, int setting, int* out);

/*
 * The domain of `setting` on `model`: a list's mask, a range's minimum and maximum; other kinds
 * write nothing.
 * `a` [out]: the mask or the minimum; must not be null (0).
 * `b` [out]: the maximum of a range; may be null for other kinds (a range then gives 0 and
 * writes nothing).
 * Returns 1; 0 for indices out of range, a null `a`, or a range with a null `b`.
 */
TARVO_API int propGetCfgSetting(int model, int setting, int* a, int* b);

#endif
