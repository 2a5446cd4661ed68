/*
 * Host fonts: the TrueType faces installed on this computer, as the font pages list them, and
 * the face and metrics a listed name or a font file resolves to. The printer fonts made from
 * them are queued with PCUPutFontInfo and sent by PCUPutFonts (downloads.h).
 *
 * Faces are compared with names without regard to ASCII case ("dejavu sans" finds
 * "DejaVu Sans"), since the same face is spelled differently by different tools.
 *
 * Return conventions:
 *
 *   function                              success   failure
 *   PCUGetHostFontList, fonGetFontStructs 1         0
 *   PCUFreeHostFontList, PCUFreeFontPreview (no result)
 *   PCURenderFontPreview                  PCU_OK    a PCU_ERR_* code (downloads.h, types.h)
 */
#ifndef TARVO_FONTS_H
#define TARVO_FONTS_H

#include <stdint.h>

#include "tarvo/directory.h"
#include "tarvo/export.h"

/* Longest listed name, terminator included: at most 64 characters. */
#define PCU_HOST_FONT_NAME_SIZE 65
/* Longest font file path a resolved face reports, terminator included. */
#define PCU_FONT_FILE_SIZE 4096

/* The host's TrueType faces, filled by the kernel: `count` texts of at most 64 characters,
 * each a face's full name, or the full name followed by a character-set suffix such as
 * " (Greek)" for a face that also covers that script. Sorted, without duplicates. */
typedef struct HostFontList {
    int32_t count;
    char** names;
} HostFontList;

/*
 * Lists the installed TrueType faces (TrueType outlines only: faces with PostScript outlines and
 * names beginning with "@" are left out). Release a filled list with PCUFreeHostFontList.
 * `list` [out]: count set to 0 and names to null first, then filled; may be null (0).
 * Returns 1 when the list was filled (count may be 0 on a host without such faces), 0 for a null
 * list or when memory ran out (the list then stays empty).
 */
TARVO_API int PCUGetHostFontList(HostFontList* list);

/*
 * Releases what PCUGetHostFontList allocated and empties the list.
 * `list` [in, out]: may be null; a null list, or one that is already empty, is left alone.
 * Returns nothing.
 */
TARVO_API void PCUFreeHostFontList(HostFontList* list);

/* Character sets of a listed name's suffix (PCULogicalFont.charSet). */
enum {
    PCU_CHARSET_DEFAULT = 0, /* no suffix: Western (code page 1252) */
    PCU_CHARSET_GREEK = 1,
    PCU_CHARSET_TURKISH = 2,
    PCU_CHARSET_HEBREW = 3,
    PCU_CHARSET_ARABIC = 4,
    PCU_CHARSET_BALTIC = 5,
    PCU_CHARSET_RUSSIAN = 6,
    PCU_CHARSET_THAI = 7,
    PCU_CHARSET_CENTRAL_EUROPEAN = 8,
};

/* The face a name or file resolved to. Sizes are in the face's design units: `height` is the
 * negated units per em (a negative height is an em height), `width` 0 (the face's own
 * proportion). */
typedef struct PCULogicalFont {
    char faceName[PCU_HOST_FONT_NAME_SIZE]; /* the name matched: listed name without suffix,
                                               or the file's family name */
    char fullName[PCU_HOST_FONT_NAME_SIZE]; /* the matched face's full name */
    char filePath[PCU_FONT_FILE_SIZE];      /* the file holding the matched face */
    int32_t faceIndex;                      /* the face's index inside that file */
    int32_t height;
    int32_t width;
    int32_t weight; /* 100..900 */
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
    uint8_t charSet; /* PCU_CHARSET_* */
} PCULogicalFont;

/* Metrics of the resolved face in design units (the face at units-per-em pixels per em). */
typedef struct PCUTextMetrics {
    int32_t height;       /* ascent + descent */
    int32_t ascent;       /* from the OS/2 table's Windows ascent */
    int32_t descent;      /* from its Windows descent */
    int32_t avgCharWidth; /* OS/2 average width */
    int32_t maxCharWidth; /* largest advance */
    int32_t firstChar;    /* lowest code 0..255 with a glyph, by the character set's code page */
    int32_t lastChar;     /* highest such code */
    int32_t unitsPerEm;
} PCUTextMetrics;

/*
 * Resolves a font file or a listed face name to a TrueType face and fills both records. A file
 * matches its own faces first, by the family names and style its tables state, then the
 * installed faces.
 * `fontFile` [in]: the font file; may be null or empty, then `faceName` is used.
 * `faceName` [in]: a listed name, cut before " (", the suffix selecting the character set; may be
 * null when `fontFile` is given.
 * `logFont`, `metrics` [out]: filled when a face matched, untouched otherwise; must not be null.
 * Returns 1 when a face matched, 0 otherwise (null records, neither a file nor a name, no such
 * face, not a TrueType font, memory ran out).
 */
TARVO_API int fonGetFontStructs(const char* fontFile, const char* faceName, PCULogicalFont* logFont,
                                PCUTextMetrics* metrics);

/* A font entry's characters as a bitmap download draws them, one beside the other: each
 * character's dot columns as they are sent, followed by blank columns up to its advance. Filled
 * by PCURenderFontPreview, released with PCUFreeFontPreview. */
typedef struct PCUFontPreview {
    int32_t width;      /* columns of the whole strip */
    int32_t height;     /* the font's cell height in dots (ascent + descent), the rows */
    int32_t ascent;     /* rows above the baseline */
    int32_t characters; /* characters drawn */
    uint8_t* dots;      /* width x height bytes, top row first: 1 printed, 0 blank */
} PCUFontPreview;

/*
 * Renders the characters of `text` the way a bitmap download of `entry` renders and sends them
 * (same face, size in dots, code page, monochrome rendering and cell). A character the download
 * would not send (outside the entry's character range, without a glyph, or blank with no advance)
 * is left out. Codes above 127 go through the face's code page as in the download. Double-byte
 * sets are drawn with their single-byte characters.
 * `entry` [in]: the font entry as it would be queued (source, path or faceName, sizeMode,
 * pointSize or width and height, charRange); must not be null.
 * `emulation`: the printer's emulation code, which sets the dot size (0..4).
 * `text` [in]: the characters, one byte each; must not be null.
 * `preview` [out]: emptied first, then filled; release it with PCUFreeFontPreview. Must not be
 * null.
 * Returns PCU_OK (an empty strip when no character is drawn), PCU_ERR_ARGUMENT (a null pointer,
 * an unknown emulation code or a size out of range), PCU_ERR_FACE (the entry's face cannot be
 * found or opened) or PCU_ERR_NO_MEMORY.
 */
TARVO_API int PCURenderFontPreview(const FontInfo* entry, int emulation, const char* text,
                                   PCUFontPreview* preview);

/*
 * Releases the dots of a preview and empties it.
 * `preview` [in, out]: may be null, or already empty (left alone).
 * Returns nothing.
 */
TARVO_API void PCUFreeFontPreview(PCUFontPreview* preview);

#endif
