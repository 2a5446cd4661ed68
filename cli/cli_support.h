// Helpers every command of `tarvo` shares: errors, questions, and how ports and lines are
// named on the screen.
#pragma once

#include <signal.h>

#include <string>

#include "command_line.h"
#include "desk/line_change.h"
#include "tarvo/types.h"

namespace tarvo::cli {

// Exit status for a command used the wrong way.
inline constexpr int kUsage = 2;

// Prints "tarvo: error: <message>" on stderr and returns `status`.
int Fail(const std::string& message, int status = 1);

// The context's last recorded error code.
int LastErrorCode(int ctx);

// The name of the context's port ("COM1"), "?" when it has none.
std::string PortOf(int ctx);

// A line as people read it: "COM1 9600 baud, 7 data bits, Even parity, 1 stop bit, XON/XOFF".
using app::DescribeLine;

// Holds SIGINT for its lifetime, so that Ctrl-C asks a long operation to stop (it asks
// Interrupted between steps) instead of killing the program half-way through writing a file.
class InterruptScope {
  public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // Whether Ctrl-C was pressed since the innermost scope began.
    static bool Interrupted();

  private:
    struct sigaction previous_ {};
};

// A printer as identification found it.
struct IdentifiedPrinter {
    int model = 0;         // index in the model tables, -1 for a name they do not hold
    std::string name;      // "6220E"
    std::string number;    // its program number
    std::string firmware;  // as the printer states it
};

// Asks the printer on the context's port who it is, so that the kernel (and the caller) work
// with its model and firmware variant. Returns false, after saying why on stderr, when the
// printer does not answer.
bool IdentifyPrinter(int ctx, IdentifiedPrinter* printer);

// IdentifyPrinter for the commands that configure a Lanmere printer: also false, after saying
// why, when the printer is not a Lanmere-family model.
bool IdentifyLanmere(int ctx, IdentifiedPrinter* printer);

// Checks that the context's port maps to a device that opens, so that a command fails early
// with the reason (the port, the device path, the system's error text, and the dialout group
// when permission is lacking) rather than later as a printer that does not answer. Returns 0,
// or 1 after saying why.
int CheckPortOpens(int ctx);

// The kernel's error in the user's words: its text (or, where the kernel has only a generic
// one, what the code means), the object or file concerned, and the code in brackets. `status`
// is the code a call returned; 0 takes the context's last recorded error.
std::string ErrorText(int ctx, int status = 0);

// Why loading the configuration file `path` failed with `status`, from the context's last
// error: what is wrong, where (file and line), and the code in brackets.
std::string DescribeFileFailure(int ctx, int status, const std::string& path);

// Reads the printer's configuration into the context (a failed close after a good read counts
// as read). Returns false, after saying why on stderr, when it could not be read.
bool ReadPrinterConfiguration(int ctx);

// A profile value, or `fallback`.
std::string ProfileString(const char* key, const char* fallback);

// What a question guards: a change the user can undo by sending other values, or an erasure
// that cannot be undone (firmware, stored objects, factory settings).
enum class Stakes { Change, Erasure };

enum class Consent {
    Given,     // go ahead
    Declined,  // the person at the terminal said no
    Refused    // an erasure off a terminal without --yes: nobody could agree to it
};

// Asks the person at the terminal before changing a printer; --yes answers for them. Off a
// terminal a change goes ahead, so that scripts are never held up, while an erasure is refused
// (after saying on stderr how to allow it).
Consent Confirm(const CommandLine& line, const std::string& question,
                Stakes stakes = Stakes::Change);

// Ends a command whose question was not answered yes: prints `message` as the error and
// returns the exit status, 1 when declined and kUsage when refused.
int Declined(Consent consent, const std::string& message);

}  // namespace tarvo::cli
