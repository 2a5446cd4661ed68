/*
 * String utilities for printer replies and user input. All work in place on NUL-terminated text
 * and treat only plain ASCII: bytes from 0x80 up are never case-mapped and never printable.
 *
 * Return convention:
 *
 *   function                                  result
 *   StrToUpper, SqueezeStr, ConvertTo7Bit     the argument itself (null for null)
 *   StrIsPrintable                            1 printable, 0 not
 */
#ifndef TARVO_STRINGS_H
#define TARVO_STRINGS_H

#include "tarvo/export.h"

/*
 * Upper-cases every ASCII letter of `s`.
 * `s` [in, out]: the text; may be null (nothing is done).
 * Returns `s`.
 */
TARVO_API char* StrToUpper(char* s);

/*
 * Tells whether every byte before the terminator is printable ASCII (0x20..0x7E) or CR or LF.
 * `s` [in]: the text; may be null, which counts as empty.
 * Returns 1 when it is (also for empty or null text), 0 at the first other byte.
 */
TARVO_API int StrIsPrintable(const char* s);

/*
 * Splits `s` at space, CR and LF (not tab), and joins the non-empty pieces with one space each,
 * over `s`.
 * `s` [in, out]: the text; may be null (nothing is done).
 * Returns `s`.
 */
TARVO_API char* SqueezeStr(char* s);

/*
 * Clears bit 7 of every byte of `s`.
 * `s` [in, out]: the text; may be null (nothing is done).
 * Returns `s`.
 */
TARVO_API char* ConvertTo7Bit(char* s);

#endif
