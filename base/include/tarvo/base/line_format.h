// The line-format note: a small file that the host side leaves beside a pseudo-terminal while it
// has the port open, stating the line settings it asked for. A pseudo-terminal cannot hold
// 7 data bits or parity, so without the note a simulated printer could not tell a host on the
// wrong settings from one on the right ones. Real serial devices never get a note.
#pragma once

#include <optional>
#include <string>

namespace tarvo::platform {

enum class FlowControl { None, XonXoff, RtsCts };

struct LineFormat {
    unsigned baud = 9600;
    int dataBits = 7;
    char parity = 'E';  // E, O, N, M or S
    int stopBits = 1;
    FlowControl flow = FlowControl::XonXoff;

    bool operator==(const LineFormat&) const = default;
};

// "baud=9600 data=7 parity=E stop=1 flow=xonxoff\n"
std::string FormatLineNote(const LineFormat& format);

// Parses a note; nullopt when any field is missing or malformed.
std::optional<LineFormat> ParseLineNote(const std::string& text);

// Where the note for pseudo-terminal number `ptyNumber` (/dev/pts/N) lives:
// $XDG_RUNTIME_DIR/tarvo/pty-N.line, or /tmp/tarvo-$UID/pty-N.line without a runtime directory.
std::string LineNotePath(int ptyNumber);

// Writes the note atomically (temporary file and rename). Returns false on failure.
bool WriteLineNote(int ptyNumber, const LineFormat& format);

// Reads the note; nullopt when it is absent or malformed.
std::optional<LineFormat> ReadLineNote(int ptyNumber);

// Removes the note; a missing note is not an error.
void RemoveLineNote(int ptyNumber);

// The pseudo-terminal number of an open descriptor (by device major 136..143), or -1 when the
// descriptor is not a pseudo-terminal slave.
int PtyNumberOf(int fd);

}  // namespace tarvo::platform
