/*
 * Identifying the attached printer and searching ports and line settings for one.
 *
 * Escape-language printers answer <ESC>M1 with their program number and firmware version; the
 * number is looked up in the built-in program-number table and then in the site's
 * program-number file (TarvoProgNo.txt in the data directory: $TARVO_HOME, else
 * $XDG_DATA_HOME/tarvo). Script-language printers are asked with PRINT VERSION$(n) lines.
 *
 * Return conventions:
 *
 *   function                                   success      failure
 *   PCUGetPrinterID, PCUGetRealPrinterID,      PCU_OK (0)   a PCU_ERR_* code
 *   PCUPrinterLookup
 *   PCUAutoConnect, PCUSerialConnect           1 (found)    0
 */
#ifndef TARVO_IDENTIFY_H
#define TARVO_IDENTIFY_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/* Buffer sizes the identification functions need; every copy is cut to them. */
#define PCU_ID_MODEL_SIZE 64
#define PCU_ID_NUMBER_SIZE 64
#define PCU_ID_FIRMWARE_SIZE 64
#define PCU_ID_TYPE_SIZE 64

/*
 * Identifies the printer of the context.
 * `query` 0 reports what the context holds: the model's name and first program number, and the
 * firmware text last read (PCU_ERR_NO_FIRMWARE when none is known).
 * Otherwise the printer is asked. A script-language context whose `modelName` on entry is not
 * "DEFAULT" is asked with PRINT VERSION$(1), (0) and (2) over the raw port: model name,
 * firmware and program number. Every other context is asked <ESC>M1 (after the frame characters
 * the printer puts around its replies have been found and stored); the reply's program number
 * picks the model, which the context then holds.
 * `modelName` [in, out]: PCU_ID_MODEL_SIZE bytes, read first (see above), then the model's
 * name; must not be null.
 * `programNumber`, `firmware` [out]: PCU_ID_NUMBER_SIZE and PCU_ID_FIRMWARE_SIZE bytes; must not
 * be null.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY, PCU_ERR_NO_ANSWER (6), PCU_ERR_OPEN (11),
 * PCU_ERR_NO_FIRMWARE (14), PCU_ERR_UNKNOWN_DEVICE (32, also recorded in lastError) or
 * PCU_ERR_ARGUMENT (a null buffer).
 */
TARVO_API int PCUGetPrinterID(int ctx, char* modelName, char* programNumber, char* firmware,
                              int query);

/*
 * Asks <ESC>M1 and gives the reply's fields as they came. The context is not changed.
 * `type` [out]: PCU_ID_TYPE_SIZE bytes, the third field (when present, else empty).
 * `programNumber` [out]: PCU_ID_NUMBER_SIZE bytes, the first field.
 * `firmware` [out]: PCU_ID_FIRMWARE_SIZE bytes, the second field.
 * None may be null; all three are emptied first.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY, PCU_ERR_NO_ANSWER (no reply or no comma),
 * PCU_ERR_OPEN or PCU_ERR_ARGUMENT (a null buffer).
 */
TARVO_API int PCUGetRealPrinterID(int ctx, char* type, char* programNumber, char* firmware);

/*
 * Looks a model up in the program-number table without a printer.
 * `how` 0: the row *model; 1: the row named `name`; 2: the first row whose first number (or
 * non-empty second number) matches `number1` (or `number2`) once leading f, t, F, T and 0 are
 * skipped and the row's number is taken without its first character; any other `how`: the row
 * whose index `number2` holds as a decimal text.
 * A row 0..25: *model, `name`, `number1` and `number2` receive it (the texts as in the table).
 * Otherwise the program-number file is searched for `number1` (upper-cased); a line whose model
 * name agrees with the name of row *model in its first characters (the file name's length less
 * one, at most five) gives that name; otherwise `name` becomes "Default".
 * `model` [in, out]: the row asked for (`how` 0) or the model the caller has in mind; receives
 * the row found.
 * `name` [in, out]: PCU_ID_MODEL_SIZE bytes.
 * `number1`, `number2` [in, out]: PCU_ID_NUMBER_SIZE bytes each.
 * None may be null. Needs no context and no printer.
 * Returns PCU_OK when a row or a line of the file matched, PCU_ERR_DEFAULT_MODEL (25) when
 * neither did, or PCU_ERR_ARGUMENT for a null pointer (nothing is written).
 */
TARVO_API int PCUPrinterLookup(int how, int* model, char* name, char* number1, char* number2);

/* Messages of the auto-connect search, numbered as window messages after WM_USER (0x400). */
enum {
    PCU_MSG_AUTOCONNECT_TRIAL = 0x400 + 2, /* wParam 1 parallel, 0 serial; record = trial */
    PCU_MSG_AUTOCONNECT_FOUND = 0x400 + 4,
    PCU_MSG_AUTOCONNECT_NONE = 0x400 + 5,
};

/*
 * Receives the search's progress. `trial` holds the port, baud, parity, data bits, stop bits
 * and protocol being tried (and after FOUND, what was found); setting its cancelRequest to
 * nonzero stops the search before the next attempt. Called synchronously on the caller's thread.
 */
typedef struct PCUNotify {
    void* user;
    void (*notify)(void* user, unsigned message, int wParam, commState* trial);
} PCUNotify;

/*
 * Searches for a printer: the parallel ports first (missing devices are skipped), then on each
 * usable serial port every rate 9600..115200, data bits 7 and 8, parity Even, Odd and None,
 * protocol Standard and XON/XOFF. The first printer that answers with a known program number
 * ends the search; its settings are written to the profile (all nine values in one replacement
 * of the file, creating it when needed) and loaded into the context.
 * `notify` [in]: the progress observer, called synchronously; may be null.
 * Returns 1 when a printer was found and its settings stored; 0 when none answered, the search
 * was cancelled (the profile is unchanged), the settings could not be stored (the context keeps
 * them and lastError says 44 or 46), for an unknown context, or while another kernel operation
 * is in progress.
 */
TARVO_API int PCUAutoConnect(int ctx, const PCUNotify* notify);

/*
 * Tries one set of line settings: asks <ESC>M twice and checks the second answer against the
 * known program numbers, detecting the printer's frame characters on the way (a frame character
 * the detection gets no answer about keeps the context's value).
 * Returns 1 and stores the settings and frame characters in the context when a known printer
 * answered; 0 otherwise (also for an unknown context, a port outside 0..6, or while another
 * kernel operation is in progress).
 */
TARVO_API int PCUSerialConnect(int ctx, int port, int baud, int parity, int dataBits, int stopBits,
                               int protocol);

#endif
