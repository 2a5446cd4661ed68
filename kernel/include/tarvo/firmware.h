/*
 * Firmware download for Lanmere-family printers.
 *
 * New firmware comes as a directory of three files: listfile.txt (a script whose first line is
 * ";" followed by the image's file name), flashldr.bin (the boot loader, a four-byte big-endian
 * length followed by that many bytes) and the image. The order of use is: verify the image
 * against the printer, invalidate the running firmware so that the printer falls back to its
 * boot ROM (skipped when it is already there), download, and identify the printer again.
 *
 * The directory is given as a drive text and a directory text. Linux has no drives: a nonempty
 * drive is put in front of the directory as it is ("/mnt" + "/fw" is "/mnt/fw"), and both empty
 * (a null drive counts as empty; a null directory is refused) mean the working directory, which
 * is never changed. Every file name taken from
 * listfile.txt must be a plain name in that directory (no '/', no "..").
 *
 * The result codes below belong to this road; they are not the codes of types.h, though the
 * numbers overlap. PCU_ERR_NO_CONTEXT (2), PCU_ERR_BUSY (47) and PCU_ERR_ARGUMENT (48) keep
 * their usual meaning. When memory runs out a function returns PCU_ERR_NO_MEMORY (17), which on
 * this road cannot be told from PCU_FW_EXIT_NOT_ECHOED.
 *
 * Return conventions:
 *
 *   function                                       success   failure
 *   PCUVerifyFirmwareFile, PCUFirmwareDownload     0         a code of this header, 2, 47, 48
 *   PCUInvalidateFirmware, PCUDeleteFirmwareFiles  1         0, or 17 when memory ran out
 */
#ifndef TARVO_FIRMWARE_H
#define TARVO_FIRMWARE_H

#include "tarvo/export.h"

/* Size of the version-text buffers: the image's eight characters and a terminator. */
#define PCU_FIRMWARE_VERSION_SIZE 9

enum {
    PCU_FW_CANNOT_OPEN = 5,      /* a file to be read cannot be opened (listfile, loader, image) */
    PCU_FW_LOADER_LENGTH = 6,    /* flashldr.bin is not its length prefix + 4 bytes long */
    PCU_FW_FILE_OPEN = 7,        /* a script file cannot be opened or would replace a file */
    PCU_FW_SHORT_READ = 8,       /* a file read came back short */
    PCU_FW_BOOT_ROM_SILENT = 11, /* the boot ROM did not answer within 15000 ms */
    PCU_FW_NO_DC1_ECHO = 12,     /* the boot ROM did not echo the upload request */
    PCU_FW_LOADER_SILENT = 13,   /* no answer within 6000 ms after the loader upload */
    PCU_FW_LOADER_SLOW = 14,     /* the loader upload took longer than 8000 ms */
    PCU_FW_LOADER_REFUSED = 15,  /* the loader upload was not answered with EM */
    PCU_FW_BAUD_CHANGE = 16,     /* the change of line speed was not confirmed */
    PCU_FW_EXIT_NOT_ECHOED = 17, /* the reply to "exit mode" did not repeat the command */
    PCU_FW_WORDS_DIFFER = 28,    /* a reply's words differ from the command's */
    PCU_FW_FLASH_STATUS = 29,    /* a flash command was not answered with a zero status */
    PCU_FW_MISMATCH = 30,        /* the image is for another printer */
    PCU_FW_LIST_SYNTAX = 31,     /* listfile.txt's first line is not ";" and a plain file name */
    PCU_FW_CHECKSUM = 34,        /* the image's checksum (or its version pointers) is wrong */
    /* 101..103: a command word is longer than 20 characters; 104: a frame is too long */
    /* 106: a frame could not be written; 107: not acknowledged; 108: NAK; 109: another byte */
    /* 110: no reply, or a pause of more than 8000 ms in one; 111..120: malformed reply */
    PCU_FW_STATUS_NOT_ECHOED = 121, /* a status reply does not repeat the request */
    PCU_FW_REPLY_LENGTH = 122,      /* a reply's data part is not the length the command needs */
    /* Script errors of listfile.txt (nothing has been sent when one is found): */
    PCU_FW_LINE_TOO_LONG = 130,   /* more than 80 characters before the line's end or ";" */
    PCU_FW_TOKEN_TOO_LONG = 131,  /* a token longer than 31 characters */
    PCU_FW_TOO_MANY_TOKENS = 132, /* more than four tokens */
    PCU_FW_UNKNOWN_COMMAND = 133,
    PCU_FW_TOO_FEW_ARGUMENTS = 140,
    PCU_FW_TOO_MANY_ARGUMENTS = 141,
    PCU_FW_BAD_HEX = 143, /* not 1 to 8 hexadecimal digits */
    PCU_FW_EMPTY_NAME = 144,
    PCU_FW_BAD_NAME = 145, /* a byte outside 32..127, a '/', or ".." in a file name */
    PCU_FW_UNKNOWN_KIND = 146,
};

/*
 * Checks the firmware in the directory against the printer: reads the image's name from
 * listfile.txt, checks the image's checksum (its last four bytes, little-endian, are the sum of
 * all other bytes), reads its two version texts into `version` and `secondVersion`
 * (PCU_FIRMWARE_VERSION_SIZE bytes each: eight characters and a terminator), then identifies
 * the printer (PCUGetPrinterID with a query) into `programNumber` (PCU_ID_NUMBER_SIZE bytes) and
 * `firmware` (PCU_ID_FIRMWARE_SIZE bytes). The image fits when, after leading characters from
 * "ftFT0" are skipped in both, the first five characters of its version text and of the
 * printer's program number agree. A printer that cannot be identified counts as fitting (its
 * texts are then empty). Remembers the image's name for PCUDeleteFirmwareFiles, once read.
 * `drive` [in]: may be null (no drive). `directory` [in]: must not be null.
 * `version`, `secondVersion` [out]: PCU_FIRMWARE_VERSION_SIZE bytes each; must not be null.
 * `programNumber`, `firmware` [out]: PCU_ID_NUMBER_SIZE and PCU_ID_FIRMWARE_SIZE bytes; must not
 * be null. All four are emptied first.
 * Returns 0 (the image fits), 5, 30, 31, 34, 2, 47, 17 or 48 (a null pointer other than
 * `drive`).
 */
TARVO_API int PCUVerifyFirmwareFile(int ctx, const char* drive, const char* directory,
                                    char* version, char* secondVersion, char* programNumber,
                                    char* firmware);

/*
 * Makes the printer's running firmware invalid so that it falls back to its boot ROM: sends
 * "<ESC>T;F" + `text` + ";R" on the printer's connection (PCUOpenPrinter, PCUWritePrinter,
 * PCUClosePrinter). After a successful write waits 3000 ms.
 * `text` [in]: goes out as it is (a '<' in it is not taken as notation); must not be null.
 * Returns 1 on success; 0 when the printer could not be opened, the write failed, the context is
 * unknown, `text` is null or the kernel is busy; 17 when memory ran out.
 */
TARVO_API int PCUInvalidateFirmware(int ctx, const char* text);

/*
 * Runs the download over serial port COM`port` (1..4; other numbers count as 1), opened
 * exclusively at 38400 baud, raw 8N1 without flow control. Before anything is sent it checks
 * that flashldr.bin opens, that listfile.txt names an image with a sound checksum and that every
 * script line is valid. Then: waits for the boot ROM, uploads the loader, asks the loader for
 * its version, the flash type and size, moves the line to 57600 baud, carries out the script,
 * leaves the loader ("exit mode boot") and deletes the three files. The script's "filetoflash"
 * may only flash the image the first line names; "ramtofile" never replaces an existing file.
 * On any error the files stay in place and the printer is left in its boot ROM or loader.
 * `drive` [in]: may be null (no drive). `directory` [in]: must not be null.
 * Returns 0 or the first error (the codes above), 2, 47, 17 or 48 (null directory).
 */
TARVO_API int PCUFirmwareDownload(int ctx, int port, const char* drive, const char* directory);

/*
 * Deletes flashldr.bin, the image last named by PCUVerifyFirmwareFile (without one, the image
 * the directory's listfile.txt names) and listfile.txt.
 * `drive` [in]: may be null (no drive). `directory` [in]: must not be null (0).
 * Returns 1 when listfile.txt, the last deletion, succeeded; 0 otherwise (also for an unknown
 * context, a null directory or a busy kernel); 17 when memory ran out.
 */
TARVO_API int PCUDeleteFirmwareFiles(int ctx, const char* drive, const char* directory);

#endif
