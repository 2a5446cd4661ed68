/*
 * The configuration of an escape-language printer: reading it from the printer, changing it by
 * setting index, writing it back, and saving it to or loading it from a configuration file.
 *
 * Each context holds one configuration record of 43 settings (indices 0..42, the same indices as
 * the model tables of models.h). Functions that talk to a printer open a connection from the
 * context's communication parameters and close it before they return. Calls made while another
 * kernel operation is in progress are refused with PCU_ERR_BUSY.
 *
 * Return conventions:
 *
 *   function                  success       failure
 *   PCUSetDnldFlags           1             0 (unknown context)
 *   every other function      PCU_OK (0)    a PCU_ERR_* code, or a port or framing status
 *
 * Functions that allocate return PCU_ERR_NO_MEMORY when memory runs out.
 */
#ifndef TARVO_CONFIG_H
#define TARVO_CONFIG_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/* Number of configuration settings. */
#define PCU_CONFIG_SETTINGS 43

/* Kinds PCUGetParms reports for a setting. */
enum {
    PCU_PARM_BYTE = 0,     /* 8-bit field, zero-extended */
    PCU_PARM_SIGNED = 1,   /* signed 32-bit field */
    PCU_PARM_WORD = 2,     /* 16-bit field (top of form, setting 18, sign-extended, the others
                              zero-extended), and the 32-bit print speed */
    PCU_PARM_NO_FIELD = 5, /* the index is tied to no field (setting 1, or outside 0..42) */
};

/*
 * Reads the printer's configuration into the context: asks <ESC>p up to five times until a reply
 * comes, parses it (the record changes only when the whole reply parsed), then asks <ESC>m for
 * the memory size and free memory, takes the image buffer size from the model table or asks
 * <ESC>m1, and derives paper handling. A memory reply that is not two numbers ends the reading
 * there, successfully; no memory reply skips the rest.
 * Returns PCU_OK (or PCU_ERR_CLOSE when closing the port failed), PCU_ERR_NO_CONTEXT,
 * PCU_ERR_BUSY, PCU_ERR_NO_MEMORY, PCU_ERR_READ_CONFIG (no reply after five requests) or
 * PCU_ERR_PARSE_CONFIG (the reply does not parse; a number too long or too large for its field
 * counts as not parsing). The last two are also recorded in the context's lastError.
 */
TARVO_API int PCUGetCfg(int ctx);

/*
 * Writes the context's configuration to the printer: <SI>-letter commands (leaving program mode
 * first), batched into as few framed messages as the line protocol allows. When everything was
 * sent, waits 100 ms and sets the extra delay every PCUWait adds to the configuration's message
 * delay plus inter-character delay.
 * Under the XON/XOFF and RTS/CTS protocols a printer acknowledges nothing, so a silent printer
 * cannot be told from a listening one here.
 * Returns PCU_OK; PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_ARGUMENT when the record's model is not
 * an escape-language model (0..25) or its start or end character is `;` or `<`, which no command
 * can carry (nothing is sent); PCU_ERR_NO_MEMORY; PCU_ERR_CLOSE; or the port or framing status
 * (400..425, 700..705) of the first message that could not be sent (also in lastError and
 * lastSysError); sending stops there.
 */
TARVO_API int PCUPutCfg(int ctx);

/*
 * Copies `count` settings out of the context's record. Emulation (setting 2) is in the kernel's
 * order, the index into propGetPrinterEmulate's table.
 * `settings` [in]: `count` setting indices; an index without a field gives PCU_PARM_NO_FIELD
 * and 0.
 * `kinds` [out]: `count` entries, kinds[i] the PCU_PARM_* kind of settings[i].
 * `values` [out]: `count` entries, values[i] the value of settings[i].
 * The arrays must not be null when `count` is positive; they may be when it is 0.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, or PCU_ERR_ARGUMENT (negative count, or a null array when
 * count is positive; nothing is written).
 */
TARVO_API int PCUGetParms(int ctx, int count, const int* settings, int* kinds, int* values);

/*
 * Stores `count` settings into the context's record.
 * `settings` [in]: `count` setting indices; indices without a field are skipped.
 * `values` [in]: one 4-byte slot per setting: an 8-bit field takes the slot's first byte, a
 * 16-bit field its first two, a 32-bit field all four.
 * The arrays must not be null when `count` is positive; they may be when it is 0.
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT, or PCU_ERR_ARGUMENT (negative count, a null array when
 * count is positive, or a model, setting 0, outside 0..41): then nothing is stored.
 */
TARVO_API int PCUPutParms(int ctx, int count, const int* settings, const void* values);

/*
 * Asks the printer which option is installed (<ESC>O).
 * `opt1`, `opt2`, `opt3` [out]: cleared first; the reply's leading number 1 sets *opt1, 2 sets
 * *opt2, 3 or 4 sets *opt3 to 1; anything else, or no reply, leaves them 0. None may be null.
 * Returns PCU_OK (or PCU_ERR_CLOSE), PCU_ERR_NO_CONTEXT, PCU_ERR_BUSY, PCU_ERR_NO_MEMORY or
 * PCU_ERR_ARGUMENT (a null output; nothing is sent).
 */
TARVO_API int PCUGetOptions(int ctx, int* opt1, int* opt2, int* opt3);

/*
 * Stores the four download flags that PCUToFile consults: 1 the configuration, 2 fonts,
 * 3 graphics, 4 formats and pages.
 * Returns 1 when the context exists, else 0.
 */
TARVO_API int PCUSetDnldFlags(int ctx, int f1, int f2, int f3, int f4);

/*
 * Empties the context's font, format and graphic lists (the page list stays).
 * Returns PCU_OK, PCU_ERR_NO_CONTEXT or PCU_ERR_BUSY.
 */
TARVO_API int PCUClearDirectoryInfo(int ctx);

/*
 * Reprograms the printer's serial port to `wanted`: leaves program mode, sends
 * <SI>Pbaud,parity,dataBits-7,handshake,flag (baud codes 0 1200, 1 2400, 2 4800, 4 19200,
 * 5 38400, 6 57600, 7 115200, 3 for 9600 and any other rate; parity 0 None, 1 Even, 2 Odd;
 * handshake 0 for XON/XOFF, else 2; flag 1 when the context's serial flag, setting 39, is set)
 * and, except on models 14, 15 and 20..24, <SI>p with wanted->serialOption1 and serialOption2;
 * waits PCUWait(1500) and, when `reset` is nonzero, sends <BS> and waits 100 ms. The printer
 * takes the new settings at once; the caller then changes its own.
 * `wanted` [in]: the line to program (baud, parity, dataBits, protocol, serialOption1 and 2);
 * must not be null.
 * Returns PCU_OK (or PCU_ERR_CLOSE); PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_NO_MEMORY;
 * PCU_ERR_ARGUMENT (null `wanted`, Mark or Space parity, data bits other than 7 and 8; nothing
 * is sent); or the status of the first message that could not be sent (also in lastError);
 * sending stops there.
 */
TARVO_API int PCUSendCommParm(int ctx, const commState* wanted, int reset);

/*
 * Saves to the file `path`, according to the download flags (PCUSetDnldFlags): flag 1 the
 * configuration (a header line "<ETX>model,firmware", then "<STX>R<ETX>" and one
 * "<STX>command<ETX>" line per configuration command, control characters written as their
 * names), then the sections of queued deletions and downloads. Lines end in CR LF.
 * The file is replaced only when everything was written: on any failure the previous file stays
 * as it was. A symbolic link is followed; the file keeps its permissions (new files get 0644).
 * `path` [in]: the file; must not be null.
 * Returns PCU_OK; PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_NO_MEMORY; PCU_ERR_ARGUMENT (null
 * path; or, with flag 1, a configuration PCUPutCfg would refuse); PCU_ERR_FILE_WRITE (the file
 * cannot be written; also recorded in lastError with the OS error); or the first failing
 * section's status.
 */
TARVO_API int PCUToFile(int ctx, const char* path);

/*
 * Loads the configuration part of a configuration file into the context: the model named in the
 * header (one of models 0..25), its firmware (up to a blank), and every configuration command up
 * to the end of the file or the first line that starts the object sections (<ESC>P). Memory
 * free and image size become 0 and paper handling is derived. The context changes only when
 * the whole configuration part was read and parsed.
 * `path` [in]: the file; must not be null.
 * Returns PCU_OK; PCU_ERR_NO_CONTEXT; PCU_ERR_BUSY; PCU_ERR_NO_MEMORY; PCU_ERR_ARGUMENT (null
 * path);
 * PCU_ERR_FILE_PARSE (a command does not parse, a line is longer than 256 characters, or the
 * configuration part is longer than 4096 bytes); PCU_ERR_FILE_WRITE (the file cannot be
 * opened); PCU_ERR_FILE_READ (reading failed); PCU_ERR_FILE_MODEL (no header naming a model
 * 0..25, or no R line after it). Failures are also recorded in lastError, with, as the detail
 * text, the number of a line that failed and the file's name ("line 3 of fleet.tcf", cut as
 * every detail text is).
 */
TARVO_API int PCUFromFile(int ctx, const char* path);

#endif
