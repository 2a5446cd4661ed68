// A simulated label printer on a pseudo-terminal: it answers on the far end of the
// pseudo-terminal as a printer of a chosen model and family would, keeps a transcript of every
// byte in both directions, and misbehaves on request. Tests run it in-process; tarvo-printersim
// and `tarvo --simulate` run the same class.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::sim {

enum class Protocol { XonXoff = 0, Standard = 1, RtsCts = 2 };

// Lanmere printers speak QEL in <STX>...<ETX> frames; Brakenholm printers read Tallyscript
// lines ended by CR.
enum class Family { Lanmere = 0, Brakenholm = 1 };

// The line the printer is set to. A host whose line-format note differs in any field (or whose
// flow control does not suit the protocol) is ignored, as a real printer on the wrong settings
// would hear only noise.
struct LineSettings {
    unsigned baud = 9600;
    int dataBits = 7;
    char parity = 'E';  // E, O, N, M, S
    int stopBits = 1;
    Protocol protocol = Protocol::XonXoff;

    bool operator==(const LineSettings&) const = default;
};

// Misbehaviour on request. Counters count down as they are used. The two acknowledge faults
// belong to the framing of the Lanmere family; the others apply to both families.
struct Faults {
    int busyCount = 0;    // Standard: answer <DC3> this many times (to frames and <ENQ>)
    int lostAcks = 0;     // Standard: stay silent instead of acknowledging this many frames
    std::string garbage;  // sent once before the next acknowledge or reply; notation: "<DC3>"
    bool silent = false;  // receive everything, answer nothing
    // Not empty: once a message equal to it (a frame's body, a script line) has been heard, the
    // printer answers nothing more, as one switched off just after taking it.
    std::string silentAfterMessage;
    std::size_t splitReplyAt = 0;  // send replies in pieces of this size with a pause between
    std::chrono::milliseconds splitPause{20};
    // >0: close the line after this many reply bytes (preamble, postamble and flood noise
    // count; acknowledges and garbage do not). The host gets those bytes, then end of file.
    std::size_t closeAfterReplyBytes = 0;
    std::size_t floodBytes = 0;  // >0: answer the next request with this many bytes of noise
    // Brakenholm: the clock is broken; PRINT DATE$ and PRINT TIME$ answer "Hardware error".
    bool clockHardwareError = false;
    // Lanmere boot loader: >0: close the line, unanswered, when the Nth "flash write" command
    // from now arrives.
    int cutLineDuringFlashWrite = 0;
    // Lanmere boot loader: answer NAK to the next N well-formed frames without carrying them
    // out (a frame that is not well formed gets NAK anyway and does not count).
    int nakFrames = 0;
    // Lanmere boot loader: not 0: frames are acknowledged with this byte instead of ACK.
    char bootAcknowledge = 0;
    // Lanmere boot loader: >0: this many of the loader's next reply transmissions (a resend
    // after the host's NAK counts) go out as `mangledReply` instead, as if the line had
    // garbled them; the loader still holds the true reply for a resend after that.
    int mangledReplies = 0;
    std::string mangledReply;  // raw bytes; empty: the reply is lost on the line
    // Brakenholm: >0: once the Zmodem receiver has been given this many bytes, the line is cut
    // and the receiver killed (its partial file is deleted).
    std::size_t cutAfterTransferBytes = 0;
    // Brakenholm: "c:/NAME": the printer refuses to KILL this file ("Error: ... is protected").
    std::string refuseKill;
    // Brakenholm: the status bits answered to PRINT PRSTAT (0: all well).
    int printerStatus = 0;
    // Brakenholm: >= 0: this print-head dot measures badDotResistance ohms, far out of the
    // tolerance, and the whole-head check and the head's function test fail.
    int badDot = -1;
    int badDotResistance = 2000;
};

// One configuration value as a Lanmere printer holds it: nullopt when the printer does not know
// the value, which its reply to <ESC>p then shows as '?'.
using ConfigValue = std::optional<int>;

// The four kinds of object a Lanmere printer stores, each with a listing of its own.
enum class ObjectKind { Font = 0, Graphic = 1, Format = 2, Page = 3 };

// One stored object as the printer lists it: "id,description,type,size".
struct StoredObject {
    unsigned id = 0;          // 0..65535; a font may not take a resident font's number
    std::string description;  // 0..32 printable characters, no comma, no blank at either end
    // The third field of the listing. Fonts: the type code, 200 bitmap, 300 Speedo, 301 or 400
    // TrueType. Other kinds: a field hosts skip, 1..16 printable characters without a comma.
    // Empty: "200" for a font, "0" for the others.
    std::string type;
    std::uint32_t size = 0;  // bytes; takes size / 1024 KB (rounded up) of the printer's memory

    bool operator==(const StoredObject&) const = default;
};

// A character of a downloaded bitmap font, decoded from the columns the host sent.
struct DecodedGlyph {
    int code = 0;
    std::optional<int> aWidth;      // when it was sent as "t<code>,<A>"
    int z = 0;                      // the Z value: the advance, or with an A-width the B-width
    int width = 0;                  // columns received (the highest column number + 1)
    int height = 0;                 // the font's cell height
    std::vector<std::string> rows;  // height rows of width characters: '#' printed, '.' blank

    bool operator==(const DecodedGlyph&) const = default;
};

// A downloaded graphic, decoded from its columns.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::string> rows;  // height rows of width characters: '#' printed, '.' blank

    bool operator==(const DecodedImage&) const = default;
};

struct ObjectEntry {
    ObjectKind kind = ObjectKind::Font;
    StoredObject object;
};

struct Options {
    // The model must belong to the family; start() refuses a mismatch.
    Family family = Family::Lanmere;
    // Index of the host's model table: 0..24 Lanmere (18 = 6220E), 26..40 Brakenholm
    // (40 = TQ8e).
    int model = 18;
    // The line the printer is set to; a Brakenholm printer's default is the same.
    LineSettings line;
    // Lanmere: bytes put before and after every reply, 0 = none. A Brakenholm printer has none.
    char preamble = 0;
    char postamble = 0;
    bool pace = false;  // hold both directions to the line's byte rate
    // Wait before each reply as long as the model's controller takes to work on the request
    // (ProcessingDelayMs of tarvo/base/processing_delay.h). Off, every reply starts at once.
    bool processingDelays = false;
    // Answered to <ESC>M1 (second field) and to PRINT VERSION$(0).
    std::string firmware = "1.13";  // 1..32 printable characters, no comma
    // When set, stands in for the model's own program number: the first field of the answer to
    // <ESC>M1 ("FT59877", or "999999" that no table knows), or the answer to PRINT VERSION$(2).
    // 1..32 printable characters, no comma.
    std::string programNumber;
    // When set, the identification answer exactly as given (raw bytes, no notation), for
    // answers no real printer gives: without a comma, with many, with control bytes. Lanmere:
    // the text of the answer to <ESC>M and <ESC>M1, still wrapped in the frame characters.
    // Brakenholm: the answer to PRINT VERSION$(1), still followed by CR LF.
    std::string identReply;
    // Brakenholm: the print head's width in dots (SYSVAR(22), FUNCTEST "HEAD"); 0: the model's.
    int headDots = 0;
    unsigned memoryTotalKb = 1024;  // answered to <ESC>m as "total,free"
    unsigned memoryFreeKb = 987;
    // Lanmere: >0 stands for a printer whose memory holds at most this many image bands; a
    // host's request for more (<SI>I) is lowered to it without a word, as such a printer does.
    int imageBandLimit = 0;
    // Lanmere: the installed option answered to <ESC>O, 0 (none) to 4.
    int installedOption = 0;
    // Lanmere, test-and-service mode (<ESC>T ... R): the answer to an item letter (G L M P S T
    // U V) in place of the model's own; an empty text makes the printer stay silent on it.
    // Letters not named answer a number ("a,b,c" for S) when the model measures the item and
    // nothing otherwise. S answers at once, also on the models that take seconds to measure it.
    std::map<char, std::string> serviceReplies;
    // Lanmere models with a shell: the network interface named by `echo $SETENV_OS{IFNAME}`;
    // empty for none. nullopt: "eth0".
    std::optional<std::string> networkInterface;
    // Lanmere models with a shell and every Brakenholm model: the administrator's password of a
    // new printer (a saved state keeps its own). 1..32 printable characters without blanks.
    std::string adminPassword = "admin";
    // Lanmere: objects stored at start, in place of saved ones with the same kind and number.
    // Each takes memory from memoryFreeKb.
    std::vector<ObjectEntry> objects;
    std::string linkPath;  // when set, a symlink to the device is made there
    // When set, state is loaded from and saved to this file: firmware, memory, and for a
    // Lanmere printer its configuration, stored objects and shell user; for a Brakenholm
    // printer its setup tree (but for the serial settings, which are the line's), files, clock
    // and shell user. A saved state overrides
    // the firmware, memory and password given here; one of another model is refused.
    std::string statePath;
    std::string transcriptPath;  // when set, the transcript is also written there as it grows
    Faults faults;
};

// A file in a Brakenholm printer's store, as FILES lists it.
struct PrinterFile {
    std::string device;  // "c:", "ram:", "tmp:" or "rom:"
    std::string name;    // 1..30 printable characters without blanks, quotes, '/', ',', ':',
                         // ';' or '='; a leading '.' makes a system file
    std::uint32_t size = 0;

    bool operator==(const PrinterFile&) const = default;
};

enum class Direction { HostToPrinter, PrinterToHost };

struct TranscriptEntry {
    Direction direction;
    std::string bytes;
};

class PrinterSim {
  public:
    explicit PrinterSim(Options options);
    ~PrinterSim();  // stops the printer
    PrinterSim(const PrinterSim&) = delete;
    PrinterSim& operator=(const PrinterSim&) = delete;

    // Opens the pseudo-terminal and starts answering on a thread of its own. Returns false
    // with a message in *error when the pseudo-terminal cannot be opened, the options are
    // invalid, or the state, transcript or link file cannot be used. Starts only once.
    bool start(std::string* error);

    // Stops answering and closes the line; the host then reads end of file.
    void stop();

    // The slave device the host opens (/dev/pts/N), or the link path when one was asked for.
    std::string devicePath() const;

    // Blocks until the printer has taken in every byte the host wrote and sent every reply
    // that caused, however long that takes on a slow or busy machine. Tests call it from a
    // fake clock so that protocol waits cost no real time and their outcome never depends on
    // the machine's speed. Returns early when the printer can only go on once the host acts:
    // output held by the host's <DC3>, a full line, or a line cut waiting for the host to read
    // what came before it. Returns false only for a printer that is stuck: still busy, but
    // without reading or writing a byte for half a minute.
    bool settle();

    // Everything exchanged so far, merged into runs per direction. This and the other readers
    // of what was exchanged settle() first, so they include everything the host's writes so
    // far have caused.
    std::vector<TranscriptEntry> transcript() const;
    // The transcript as text, one line per run: "> <STX><ESC>M1<ETX>" (host to printer) and
    // "< 066197,1.13,6220E" (printer to host), control bytes spelled as mnemonics. The password
    // of an "su -p PASSWORD NAME" line appears as one '*' per byte, here, in transcript() and in
    // the transcript file.
    std::string transcriptText() const;
    // Forgets the exchange so far (the transcript and the received messages), once the printer
    // has taken in what the host wrote.
    void clearTranscript();

    // Lanmere: the bodies of the framed messages received, in order (frame bytes removed,
    // control bytes kept as they came). Brakenholm: the lines received, without their line
    // ends (and on an XON/XOFF line without the flow-control bytes). Passwords are kept as they
    // came, while the transcript shows each of their bytes as '*'.
    std::vector<std::string> receivedMessages() const;

    void setFaults(const Faults& faults);
    void setLine(const LineSettings& line);
    // The line the printer is on now: the options' one, setLine()'s, or the one a host's
    // <SI>P command switched it to.
    LineSettings line() const;
    // Lanmere only; a Brakenholm printer ignores it.
    void setFrameCharacters(char preamble, char postamble);

    // --- What a Lanmere printer keeps (a Brakenholm printer keeps none of it) ---
    // Readers work at any time. Changes are refused (false, with a reason in *error) unless the
    // printer is running, between start() and stop(), since start() loads the saved state over
    // whatever came before; they are saved like changes made by a host.

    // The value of configuration setting 0..42, numbered as the host numbers them: 0 gives the
    // model, 7 the free memory in KB, 8 the image buffer in KB; 1, 16 and 40, which a printer
    // does not keep, and indices outside 0..42 give nullopt, as does an unknown value.
    ConfigValue configValue(int setting) const;
    // Sets a kept setting (2..6, 9..15, 17..39, 41, 42) within its domain, whether or not the
    // model offers it. nullopt makes the value unknown, except for settings 22..24, 28 and 29,
    // whose commands cannot say so.
    bool setConfigValue(int setting, ConfigValue value, std::string* error = nullptr);
    // The numbers that follow <SI> and `letter` in the reply to <ESC>p: two for 'g' (media
    // type, sensitivity), five for 'P' (from the line and the serial flag), and so on; empty
    // for a letter the printer does not use.
    std::vector<ConfigValue> configValues(char letter) const;
    // Sets every number of an <SI> command at once, as setConfigValue() would. 'P' is refused:
    // its numbers follow the line (setLine()) and setting 39.
    bool setConfigValues(char letter, const std::vector<ConfigValue>& values,
                         std::string* error = nullptr);

    // Stores an object (replacing one of the same kind and number), taking its memory.
    bool addObject(ObjectKind kind, const StoredObject& object, std::string* error = nullptr);
    // Removes a stored object and gives back its memory; false when there is none.
    bool deleteObject(ObjectKind kind, unsigned id);
    // The stored objects of a kind in ascending order of number (resident fonts, which the font
    // listing also shows, are not stored objects).
    std::vector<StoredObject> objects(ObjectKind kind) const;
    // Free memory as <ESC>m reports it.
    unsigned memoryFreeKb() const;

    // What the objects a host downloaded in program mode held, while the printer runs (the
    // state file keeps only the listing entries; objects stored through the options,
    // addObject() or a saved state have no content). Each reader settles first, like the
    // readers of the transcript; each gives nothing for an object that is not stored or was
    // downloaded as another kind of object.

    // An outline font's bytes, as its hex data carried them.
    std::optional<std::string> outlineFontData(unsigned id) const;
    // The lines of a font sent as image lines (tag character and data, as each message
    // carried it).
    std::vector<std::string> ibfLines(unsigned id) const;
    // The characters of a bitmap font in ascending order of code.
    std::vector<DecodedGlyph> bitmapFontGlyphs(unsigned id) const;
    // A bitmap font's maximum character width and cell height (its x and y).
    std::optional<std::pair<int, int>> bitmapFontCell(unsigned id) const;
    std::optional<DecodedImage> graphicImage(unsigned id) const;
    // The lines of a format or a page after its header, as each message carried them.
    std::vector<std::string> formatLines(unsigned id) const;
    std::vector<std::string> pageLines(unsigned id) const;
    // Why the last download the printer dropped was dropped (malformed, empty, or too big for
    // the free memory), naming the object; empty while none was.
    std::string lastRefusal() const;

    // What the printer printed since it started, in order: "test label h" (Q, C, s) for its
    // built-in labels, "format 3: <the format's field lines, ';' between>" and "page 2: ..."
    // for stored ones ("format 3" alone for one whose content the printer was not sent).
    // A Brakenholm printer records here too: "program: NAME$=\"value\"; ..." for a program
    // RUN to its PRINTFEED and "layout NAME: field;field;" for LAYOUT RUN with its fields.
    std::vector<std::string> printedLabels() const;
    // The text of the last firmware invalidation (<ESC>T;F<text>;R); empty while none came.
    std::string invalidationText() const;

    // The shell's current user: "user" or "admin" (Lanmere models with a shell, and every
    // Brakenholm model).
    std::string shellUser() const;
    // Changes the administrator's password (1..32 printable characters, no blank).
    bool setAdminPassword(const std::string& password, std::string* error = nullptr);

    // --- What a Brakenholm printer keeps ---
    // Readers work at any time; changes are refused unless a Brakenholm printer is running.

    // "6.13" (models 26..31) or "7.12" (32..40).
    std::string setupTreeVersion() const;
    // The value SETUP WRITE "UART1:" lists for `path` ("MEDIA,MEDIA SIZE,WIDTH" gives "1216");
    // nullopt for a path the model's tree does not have. The serial settings of UART1 are
    // those of line(). A generation-0 pair of new supplies reads "GZ6;GJ118".
    std::optional<std::string> setupValue(const std::string& path) const;
    // The lines of the listing, in the printer's order, without line ends.
    std::vector<std::string> setupListing() const;
    // Sets a value as SETUP "path,value" would: the same checks, and a serial setting moves the
    // printer's line at once.
    bool setSetupValue(const std::string& path, const std::string& value,
                       std::string* error = nullptr);
    // The files of a device in name order, system files included; empty for a device the model
    // does not have.
    std::vector<PrinterFile> files(const std::string& device) const;
    // The bytes of a file the printer received over Zmodem while it runs; nullopt for any other
    // file. An escape-language printer on script hardware has one store: `device` is ignored.
    std::optional<std::string> fileContent(const std::string& device,
                                           const std::string& name) const;
    // Stores a file (in place of one with the same name) when the device has room.
    bool addFile(const PrinterFile& file, std::string* error = nullptr);
    // The printer's clock, which runs on from where it was set.
    std::chrono::sys_seconds clock() const;
    bool setClock(std::chrono::sys_seconds when, std::string* error = nullptr);
    // Breaks or mends the clock (Faults::clockHardwareError).
    void setClockHardwareError(bool broken);

    // --- A Lanmere printer's boot code ---
    // Once the host declares the running firmware invalid (<ESC>T;F...;R), the printer stops
    // speaking QEL and answers as its boot ROM on the same line at 38400 baud, 8 data bits, no
    // parity, 1 stop bit and no flow control: it echoes <DLE>, takes a boot loader after <DC1>
    // and runs it, and the loader programs flash until "exit mode boot" runs the firmware found
    // there. Readers settle first, like the readers of the transcript.

    // Declares the firmware invalid as the host's command does (refused unless a Lanmere
    // printer is running). The state file keeps it.
    bool invalidateFirmware(std::string* error = nullptr);
    // True while the firmware is invalid: the printer answers as its boot ROM or as the boot
    // loader the ROM started, and not in QEL.
    bool inBootRom() const;
    // "rom" (boot ROM, loader upload included), "loader", or "running" (firmware runs).
    std::string bootState() const;
    // The speed of the boot link now: 38400 in the ROM, then what "baud rate change" set.
    unsigned bootBaud() const;
    // Flash contents; bytes never programmed in this run (or outside the flash) read 0xFF.
    std::vector<std::uint8_t> flashBytes(std::uint32_t address, std::size_t length) const;
    // Why the boot ROM last refused a loader, or why "exit mode boot" last found no firmware it
    // could run (the printer then stays in its boot ROM); empty once firmware booted.
    std::string bootRefusal() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// Model index for a model name of either family ("6220E", "TQ8e", case-insensitive) or a
// number "0".."24" or "26".."40"; -1 when unknown. Names win over numbers: "720" is model 26.
int ModelIndexByName(const std::string& name);

// Name of model 0..24 or 26..40 ("6220E", "TQ8e"); empty for other indices.
std::string ModelName(int model);

// The family of model 0..24 or 26..40; nullopt for other indices.
std::optional<Family> FamilyOfModel(int model);

}  // namespace tarvo::sim
