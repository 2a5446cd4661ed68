/* String utilities for printer replies and user input. All work in place on NUL-terminated text. */
#ifndef TARVO_STRINGS_H
#define TARVO_STRINGS_H

#include "tarvo/export.h"

/* Upper-cases every ASCII letter of `s`; bytes from 0x80 up are left alone. Returns `s`. */
TARVO_API char* StrToUpper(char* s);

/*
 * Returns 1 when every byte before the terminator is printable ASCII (0x20..0x7E) or CR or LF,
 * 0 at the first other byte (bytes from 0x80 up count as not printable). Empty or null gives 1.
 */
TARVO_API int StrIsPrintable(const char* s);

/*
 * Splits `s` at space, CR and LF (not tab), and joins the non-empty pieces with one space each,
 * over `s`. Returns `s`.
 */
TARVO_API char* SqueezeStr(char* s);

/* Clears bit 7 of every byte of `s`. Returns `s`. */
TARVO_API char* ConvertTo7Bit(char* s);

#endif
