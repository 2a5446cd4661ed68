// Moving a Lanmere printer and this computer together to other serial line settings: the
// printer is told its new line, this computer follows, and the move counts only once the
// printer answers there. Until then the stored settings stay as they were, so a printer that
// did not follow leaves this computer on the line it still answers at.
#pragma once

#include <functional>
#include <string>

#include "tarvo/types.h"

namespace tarvo::app {

// The settings a move changes; the port stays.
struct SerialLine {
    int baud = 9600;
    int parity = PCU_PARITY_EVEN;
    int dataBits = 7;
    int stopBits = 1;
    int protocol = PCU_PROTOCOL_XONXOFF;  // PCU_PROTOCOL_XONXOFF or PCU_PROTOCOL_STANDARD

    bool operator==(const SerialLine&) const = default;
};

// The line part of a communication-parameter record.
SerialLine SerialLineOf(const commState& comm);

// "COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, XON/XOFF"; "COM1 (parallel)".
std::string DescribeLine(const commState& comm);

// Why `line` cannot be asked for (a rate off the ladder 110 .. 115200, Mark or Space parity,
// other data or stop bits, a protocol other than XON/XOFF and Standard), or empty.
std::string SerialLineProblem(const SerialLine& line);

// Whether the printer's serial command can carry a move to `to` from a printer on `from`: it
// sets rates from 1200 up, parity, data bits and the protocol, but neither the slow rates nor
// the stop bits. Other moves change this computer's side only.
bool PrinterCommandCarries(const SerialLine& from, const SerialLine& to);

// Stores `line` as the profile's "Baud", "Parity", "DataBits", "StopBits" and "Protocol" and
// sets "DefaultEnabled" to "OFF". False when a value could not be written.
bool StoreSerialLine(const SerialLine& line);

// How long a move waits for the printer on its new line: up to kPolls identification requests,
// kPollWaitUnits (PCUWait units) apart.
inline constexpr int kLinePolls = 4;
inline constexpr int kLinePollWaitUnits = 1000;

enum class LineMove {
    Unchanged,  // the line already was `to`: nothing sent, nothing stored
    Moved,      // the printer answers on the new line, which the profile now names
    NoAnswer,   // the printer did not answer on the new line; this computer went back
    Cancelled,  // cancelled while waiting; this computer went back
    Refused,    // `to` is not a line that can be asked for, or the port is parallel
    Failed      // the printer's serial command could not be sent, or the profile not written
};

struct LineMoveResult {
    LineMove outcome = LineMove::Unchanged;
    bool printerTold = false;  // the serial command went to the printer
    bool oldLineAnswers =
        false;           // after NoAnswer or Cancelled: the printer answers at the old line
    std::string detail;  // for Refused and Failed: why
};

struct LineMoveHooks {
    // Asked between the waits; true stops the wait.
    std::function<bool()> cancelled;
    // Told what the move is doing ("Waiting for the printer at 38400 baud").
    std::function<void(const std::string&)> progress;
};

// Moves the printer on context `ctx` and this computer from the context's line to `to`. When
// the printer's command carries the move (PrinterCommandCarries), sends it with the handshake
// pins `pin1` and `pin2` (configuration values 36 and 37, or 0 where the model has none) and
// the <BS> reset when the protocol changes; otherwise this computer's side moves alone. Then
// the context takes `to` and asks the printer to identify itself, kLinePolls times; once it
// answers, "Baud", "Parity", "DataBits", "StopBits" and "Protocol" are stored, "DefaultEnabled"
// becomes "OFF" and the context reloads them. Without an answer (or when cancelled) the context
// goes back to its old line and asks once more there, so the caller can say where the printer
// is. The context should hold the printer's configuration (PCUGetCfg), whose serial flag the
// command repeats.
LineMoveResult MoveLine(int ctx, const SerialLine& to, int pin1, int pin2,
                        const LineMoveHooks& hooks = {});

}  // namespace tarvo::app
