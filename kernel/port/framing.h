// QEL message framing: every message travels as <STX> data <ETX>; what the printer sends back,
// and whether and how it acknowledges, depends on the line protocol. A connection carries the
// protocol's token tables, its port and any reply bytes kept over from the last read.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "port/port.h"
#include "tarvo/types.h"

namespace tarvo {

// Framing statuses, beside the port statuses.
enum FramingStatus : int {
    kFrameTooLong = 700,    // message larger than the connection's sendSize
    kFrameProtocol = 701,   // unexpected byte, missing preamble or postamble
    kFrameNoAck = 702,      // no acknowledge after every pass
    kFrameTimeout = 704,    // the port timed out or the line went away
    kFrameReplyKept = 705,  // the reply was longer than the buffer; the rest is kept
};

// Token roles; the index into a token list.
enum Token : std::size_t {
    kTokFrameStart = 0,
    kTokFrameEnd = 1,
    kTokXon = 2,
    kTokXoff = 3,  // on receive in the Standard protocol: printer busy
    kTokAck = 4,
    kTokNak = 5,
    kTokLineEnd = 6,
    kTokReplyEnd = 7,
    kTokPoll = 10,
    kTokEnquiry = 11,
    kTokEscape = 12,
    kTokChecksum = 13,
    kTokPreamble = 14,
    kTokPostamble = 15,
    kTokenCount = 16,
};

// Expanded token bytes by role; an empty string is a token that is not defined.
using TokenList = std::array<std::string, kTokenCount>;

enum class ProtocolTable { XonXoff, Standard, RtsCtsParallel };

inline constexpr std::size_t kReceiveSize = 4096;

inline constexpr std::size_t kErrorTextSize = 20;

// What the framing layer sees of a context: the line its connections open with, the record
// their failures go to and the reply buffer. A connection gives its context a fresh buffer when
// it opens and takes it away when it closes; the command writer batches commands in it.
struct LineContext {
    commState comm{};
    std::vector<char> replyBuffer;  // present while a connection from this context is open
    int replyPos = 0;
    int lastError = 0;
    int lastSysError = 0;
    char lastErrorText[kErrorTextSize] = {};

    // Records a failure for the user; `text` (the object concerned) is cut to fit.
    void recordError(int code, int sysError, std::string_view text = {});
};

struct Connection {
    LineContext* owner = nullptr;  // the context errors are recorded in; null for none
    ProtocolTable table = ProtocolTable::XonXoff;
    std::size_t sendSize = 4096;
    TokenList sendTokens;
    TokenList receiveTokens;
    Port port;
    bool ackReplies = false;  // answer each reply with the acknowledge / negative token
    std::string pending;      // reply bytes kept after a 705, delivered by the next read
    // Something went amiss on this connection (a message not acknowledged at once, a reply
    // refused or missing): a late answer may still be on its way, so replies are read after
    // their full prescribed wait from now on.
    bool inDoubt = false;
};

// Fills `conn` from the context's communication parameters and gives the context a fresh reply
// buffer. The port opens on the first write or read.
void ConnOpen(LineContext& context, Connection& conn);

// The same with explicit line settings (the search for a printer); replies are acknowledged.
// Returns PCU_OK, or PCU_ERR_ARGUMENT for a port index outside 0..6.
int ConnOpenExplicit(LineContext& context, Connection& conn, int portIndex, int baud, int parity,
                     int dataBits, int stopBits, int protocol);

// Closes the port (if open), drops kept reply bytes and the context's reply buffer. When the
// close fails the port status is recorded in the context and PCU_ERR_CLOSE returned.
int ConnClose(Connection& conn);

// Checks and strips a reply's preamble and postamble and, with `unescape`, removes data-link
// escapes (the escaped byte stays; an escape in the last place stays too). Returns false,
// leaving `reply` partly stripped, when the frame characters are not where they belong.
bool CleanReply(const Connection& conn, std::string& reply, bool unescape);

// Sends `text` (control-character notation, `length` bytes before expansion) as one framed
// message in up to `retries` passes (0 counts as 1). Opens the port when needed. Standard
// connections wait for the printer's acknowledge, re-asking with <ENQ> while it is busy or
// silent. Returns 0 or a port or framing status; *sysErr receives the OS error.
int FramedWrite(Connection& conn, const char* text, std::size_t length, int retries,
                unsigned* sysErr);

// Reads one reply into `buffer` (`capacity` bytes, no terminator added): bytes kept from the
// last read first, otherwise from the port, waiting up to `timeoutMs` for it to start. Checks
// and strips the preamble and postamble (re-reading up to `retries` passes when they are
// wrong) and, with `unescape`, removes data-link escapes. A longer reply gives 705 and the rest
// is kept for the next read. Returns 0 or a status; *count receives the bytes delivered.
int FramedRead(Connection& conn, char* buffer, std::size_t capacity, int retries, int timeoutMs,
               bool unescape, std::size_t* count, unsigned* sysErr);

// Reads the reply to a request just written. With prescribed timing, or on a connection in
// doubt: waits `waitMs`, then reads as FramedRead does. Otherwise reads from now on, waiting up to
// `waitMs` plus `timeoutMs` (250 ms when 0) for the reply to start, and takes it as soon as
// `complete` (may be empty) finds it whole; a reply it cannot judge ends when the line stays quiet
// for 250 ms (or `timeoutMs`, when shorter), as a prescribed read ends. Results as FramedRead's.
int FramedReadReply(Connection& conn, int waitMs, const ReplyComplete& complete, char* buffer,
                    std::size_t capacity, int retries, int timeoutMs, bool unescape,
                    std::size_t* count, unsigned* sysErr);

// Ends of replies that show on the line, for FramedReadReply. `received` is what came so far,
// frame characters included, never empty.
// A one-frame answer of printable text is whole once its postamble came, when the postamble is
// a control character (a printable one could be part of the text).
bool OneFrameComplete(const Connection& conn, std::string_view received);
// A reply that closes with the byte `end` (and the postamble) is whole there, unless that byte
// is escaped as data.
bool EndsWithFrameEnd(const Connection& conn, std::string_view received, char end);

}  // namespace tarvo
