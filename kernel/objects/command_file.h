// Command files: the QEL text files that define a format or a page, one command per line. The
// lines before the first field command are the file's header, which names the format or page;
// the rest is its body. The pieces here work on text, so tests and fuzzers drive them without
// files; SendCommandFile (transfers.h) is the sender over a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "port/framing.h"
#include "tarvo/directory.h"

namespace tarvo {

// Longest line a command file may hold (line end not counted).
inline constexpr std::size_t kCommandLineLimit = 499;
// How much of each header line is looked at when reading a command file's header.
inline constexpr std::size_t kHeaderScanLimit = 79;
// Format and page numbers a command file may define.
inline constexpr int kMaxFormatNumber = 99;
inline constexpr int kMaxPageNumber = 9;
// A page command file is kept in the format list under its page number plus this.
inline constexpr int kPageEntryOffset = 100;

// True when `line` begins with one of the field-command letters "eMmOqBDHILUW": the first such
// line of a command file begins its body.
bool StartsFieldCommand(std::string_view line);

// Removes every STX and ETX byte from `line`.
void RemoveFrameBytes(std::string& line);

// What a command file's header says.
struct CommandFileHeader {
    bool isPage = false;  // an S line was read; never cleared by a later line
    int number = 0;       // from the last header line with a number in range; 0 for none
    bool named = false;   // a header line with a number in range also carried a name
    std::string name;     // that line's text after ',' up to ';' (at most kHeaderScanLimit bytes)
};

// Folds one header line (line end removed) into *header: the line's notation is expanded and
// its STX and ETX bytes removed; then the text after its first 'A', 'F' or 'S' up to the next
// ';' gives a number (1..99 for A and F, 1..9 for S; a number out of range leaves the line
// without effect) and, after a ',', a name. Returns false, changing nothing, when the cleaned
// line begins with a field command (the header has ended).
bool ScanHeaderLine(std::string_view line, CommandFileHeader* header);

// Reads a command file's header from `in`: every line up to the first field command, each
// looked at up to its first kHeaderScanLimit characters (the rest of a longer line is skipped).
CommandFileHeader ScanCommandFileHeader(std::istream& in);

// The command that one line of a command file's body gives (`line` without its line end): the
// notation expanded, then STX and ETX removed. nullopt when the line is skipped: it begins
// with ETX once expanded, it is empty once cleaned, or `bodyStarted` is false (no line has been
// sent yet) and it does not begin with a field command (the file's own header is dropped).
std::optional<std::string> BodyCommand(std::string line, bool bodyStarted);

// The header the sender puts before a command file's body in place of the file's own: for a
// page "s%02d;S%02d;" (the page number is entry.id, less kPageEntryOffset when above it), for
// a format "E%02d;F%02d,%s;" with entry.id and entry.newDescription. nullopt when the number is
// not a page 1..9 or a format 1..99.
std::optional<std::string> CommandFileHeaderFor(const FormatInfo& entry);

// SendCommandFile over an open stream of `total` bytes (the progress window's range).
// Returns 0, PCU_ERR_OBJECT_NUMBER (nothing sent), PCU_ERR_FILE_READ (a line longer than
// kCommandLineLimit: nothing of it sent, "R" still sent), PCU_ERR_NO_MEMORY or the first
// failing send's status ("R" still attempted).
int SendCommandStream(Connection* conn, std::string* file, const FormatInfo& entry,
                      std::istream& in, std::uint64_t total);

}  // namespace tarvo
