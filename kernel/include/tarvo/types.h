/*
 * Records and constants shared by the kernel and the programs that call it.
 *
 * Thread safety: the kernel is meant to be called from one thread. Calls made from another
 * thread, or from inside the host's message pump while an operation is in progress, are refused
 * with PCU_ERR_BUSY (or a failure flag) instead of disturbing the operation.
 */
#ifndef TARVO_TYPES_H
#define TARVO_TYPES_H

/* Printer families. */
enum {
    PCU_FAMILY_LANMERE = 0,    /* escape-language printers (QEL, framed messages) */
    PCU_FAMILY_BRAKENHOLM = 1, /* script-language printers (Tallyscript lines) */
};

/* Port indices: the logical port names used everywhere (settings, messages, files). */
enum {
    PCU_PORT_COM1 = 0,
    PCU_PORT_COM2 = 1,
    PCU_PORT_COM3 = 2,
    PCU_PORT_COM4 = 3,
    PCU_PORT_LPT1 = 4,
    PCU_PORT_LPT2 = 5,
    PCU_PORT_LPT3 = 6,
    PCU_PORT_COUNT = 7,
    /* Passed to OpenPrinterG: use the port of the context's communication parameters. */
    PCU_PORT_FROM_CONTEXT = 7,
};

enum {
    PCU_PARITY_EVEN = 0,
    PCU_PARITY_ODD = 1,
    PCU_PARITY_NONE = 2,
    PCU_PARITY_MARK = 3,
    PCU_PARITY_SPACE = 4,
};

enum {
    PCU_PROTOCOL_XONXOFF = 0,
    PCU_PROTOCOL_STANDARD = 1,
    PCU_PROTOCOL_RTSCTS = 2,
    PCU_PROTOCOL_PARALLEL = 3,
};

/*
 * Communication parameters of one context. Programs keep their own copy of the same layout and
 * exchange it with PCUGetCommState / PCUSetCommState; the kernel copies it in and out and never
 * keeps a caller's pointer.
 */
typedef struct commState {
    int family;        /* PCU_FAMILY_* */
    int port;          /* PCU_PORT_COM1 .. PCU_PORT_LPT3 */
    int reserved;      /* not used */
    int baud;          /* bits per second */
    int parity;        /* PCU_PARITY_* */
    int dataBits;      /* 7 or 8 */
    int stopBits;      /* 1 or 2 */
    int protocol;      /* PCU_PROTOCOL_* */
    char preamble;     /* byte the printer puts before each reply, 0 = none */
    char postamble;    /* byte the printer puts after each reply, 0 = none */
    int serialOption1; /* only sent to the printer with its serial settings */
    int serialOption2;
    int cancelRequest; /* set nonzero by an auto-connect observer to stop the search */
} commState;

/* Handle of a port opened with OpenPrinterG. */
typedef int PCUHandle;
#define PCU_INVALID_HANDLE (-1)

/* Public result codes. Texts for the user come from PCUErrStr / PCUErrInfo. */
enum {
    PCU_OK = 0,
    PCU_ERR_NO_CONTEXT = 2,      /* unknown context handle */
    PCU_ERR_NO_ANSWER = 6,       /* the printer gave no usable answer */
    PCU_ERR_CLOSE = 7,           /* closing the printer connection failed */
    PCU_ERR_LOCK = 8,            /* the context's reply buffer could not be locked */
    PCU_ERR_NO_TARGET = 10,      /* the command writer has neither printer nor file */
    PCU_ERR_OPEN = 11,           /* the printer connection could not be opened */
    PCU_ERR_FILE_PARSE = 12,     /* configuration lines of a file do not parse */
    PCU_ERR_NO_FIRMWARE = 14,    /* no firmware text is known for the context */
    PCU_ERR_NO_MEMORY = 17,      /* a buffer could not be allocated */
    PCU_ERR_FILE_WRITE = 22,     /* a file could not be created, opened or written */
    PCU_ERR_FILE_READ = 23,      /* a read from a file failed */
    PCU_ERR_FILE_MODEL = 24,     /* a file names an unknown model or lacks its R line */
    PCU_ERR_DEFAULT_MODEL = 25,  /* model not in the tables; the default model was chosen */
    PCU_ERR_READ_CONFIG = 30,    /* the configuration could not be read from the printer */
    PCU_ERR_UNKNOWN_DEVICE = 32, /* no known printer answered */
    PCU_ERR_PARSE_CONFIG = 36,   /* the printer's configuration reply could not be parsed */
    PCU_ERR_PROFILE_OPEN = 44,   /* the profile does not exist or cannot be opened */
    PCU_ERR_PROFILE_READ = 45,   /* a profile value is missing or cannot be read */
    PCU_ERR_PROFILE_WRITE = 46,  /* a profile value cannot be written */
    PCU_ERR_BUSY = 47,           /* another kernel operation is in progress (re-entry refused) */
    PCU_ERR_ARGUMENT = 48,       /* an argument is out of range or a required pointer is null */
};

#endif
