// The line to a Brakenholm printer as the printer object sees it: open a connection, write,
// read, close, and wait. The shipped implementation goes through the kernel's raw port
// functions; tests put a recording double in its place, so every transaction can be checked
// byte for byte without a printer and without spending the protocol's waits.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvo::app {

struct ReadOutcome {
    std::size_t count = 0;  // bytes stored
    bool more = false;      // the printer had queued more than the buffer held
    int error = 0;          // OS error of a failed read, 0 otherwise
};

// One open connection; closing happens when it is destroyed.
class ScriptConnection {
  public:
    virtual ~ScriptConnection() = default;
    // Writes all of `bytes`. Returns 0 or the OS error.
    virtual int Write(std::string_view bytes) = 0;
    // Writes `bytes` one at a time with a 50 ms pause after each (for printers that lose
    // characters of a line while they reconfigure). Returns 0 or the OS error.
    virtual int WriteSlowly(std::string_view bytes) = 0;
    // Reads what the printer has queued, at most `size` bytes, into `buffer`.
    virtual ReadOutcome Read(char* buffer, std::size_t size) = 0;
};

struct OpenOutcome {
    std::unique_ptr<ScriptConnection> connection;  // null when the port did not open
    int error = 0;                                 // OS error (positive) when it did not
};

class ScriptPort {
  public:
    virtual ~ScriptPort() = default;
    // Opens the session's port with the context's line settings, or with `lineSettings`
    // ("9600,n,8,1") when it is not empty. Pending input and output are discarded.
    virtual OpenOutcome Open(std::string_view lineSettings) = 0;
    // Waits `ms` milliseconds at 9600 baud, longer at slower rates (PCUWait).
    virtual void Wait(int ms) = 0;
};

// The kernel's raw port functions on context `ctx`.
std::unique_ptr<ScriptPort> MakeRawScriptPort(int ctx);

}  // namespace tarvo::app
