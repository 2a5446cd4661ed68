// The command writer: every command sequence the kernel sends (configuration, downloads,
// deletions, test prints) goes through here, either to a printer, batched into as few framed
// messages as the connection allows, or to a configuration file, one command per line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "port/framing.h"

namespace tarvo {

enum CommandMode : int {
    kCommandSingle = 0,  // one command on its own: sent at once
    kCommandFirst = 1,   // first of a list
    kCommandMiddle = 2,  // middle of a list
    kCommandLast = 3,    // last of a list: the batch is sent
    kCommandHeader = 4,  // a file's header line; a printer is not sent it
};

// Status of a header given to a printer connection: nothing was sent. Callers ignore it.
inline constexpr int kHeaderNotSent = 25;

// Writes one command (control-character notation; it may also hold raw bytes).
// To a printer (`conn` not null): the command joins the batch kept in the reply buffer of the
// connection's context. When the batch and the command would reach the connection's sendSize, the
// batch is first sent as one framed message (5 retries) and restarts with the command; single and
// last commands then send the batch at once. A command of sendSize bytes or more is refused with
// kFrameTooLong before it joins the batch.
// To a file (`file` not null, `conn` null): appends "<STX>command<ETX>" (a header as it is) and
// CR LF to *file; control bytes in a command are written as their names, so every command
// stays on its line and reads back as it was.
// Returns 0; kHeaderNotSent; PCU_ERR_NO_TARGET (neither target); PCU_ERR_NO_CONTEXT (a printer
// target with no context); PCU_ERR_LOCK (the context has no reply buffer, i.e. `conn` is
// not open on it); or the framing or port status of a failed send (kFrameTooLong for a refused
// command), also recorded in the context's lastError and lastSysError. A failure drops the
// batch: nothing queued before it is sent later.
int SendCommand(Connection* conn, std::string* file, int mode, std::string_view text);

// Called with the running count of characters written; RunProgressBar fits.
using ProgressFunction = void (*)(std::int32_t position);

// Splits `text` at every `;` (empty pieces are skipped) and writes the pieces with SendCommand:
// a single piece as kCommandSingle, otherwise first, middle and last. With `keepSemicolons` a
// printer receives the `;` after every piece but the last; otherwise the separators are dropped
// (a configuration reaches a printer as "<SI>C2<SI>c0..." and a file one command per line).
// After each piece `progress` (may be null) is told the characters written so far and the
// host's messages are pumped.
// Stops at the first failing piece and returns its status; 0 when all were written (also for a
// text without pieces).
int SendCommandList(Connection* conn, std::string* file, bool keepSemicolons,
                    ProgressFunction progress, std::string_view text);

}  // namespace tarvo
