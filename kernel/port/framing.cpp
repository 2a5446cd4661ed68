#include "port/framing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "port/named_locks.h"
#include "port/wait.h"
#include "tarvo/base/notation.h"

namespace tarvo {
namespace {

constexpr int kOpenAttempts = 3;
constexpr int kOpenPauseMs = 250;
constexpr int kAckWaitMs = 1000;
constexpr int kAmbleWaitMs = 500;
constexpr int kEnquiryPauseMs = 250;
constexpr int kRereadPauseMs = 500;
constexpr std::size_t kWorkSize = 2 * kReceiveSize + 20;
// A reply that has started is over once the line has been quiet this long.
constexpr int kReplyGapMs = 250;

struct TokenText {
    Token role;
    const char* send;
    const char* receive;
};

// The protocol tables in the control-character notation. Roles not listed are not defined.
// The checksum switch is off on every connection, so it is not carried.
constexpr TokenText kStandard[] = {
    {kTokFrameStart, "<STX>", ""}, {kTokFrameEnd, "<ETX>", ""}, {kTokXoff, "", "<DC3>"},
    {kTokAck, "", "<DC1>"},        {kTokNak, "", "~"},          {kTokEnquiry, "<ENQ>", ""},
    {kTokEscape, "", "<DLE>"},
};
constexpr TokenText kXonXoff[] = {
    {kTokFrameStart, "<STX>", ""}, {kTokFrameEnd, "<ETX>", ""},    {kTokXon, "<DC1>", "<DC1>"},
    {kTokXoff, "<DC3>", "<DC3>"},  {kTokAck, "", "<DC2>"},         {kTokNak, "", "~"},
    {kTokEnquiry, "<ENQ>", ""},    {kTokEscape, "<DLE>", "<DLE>"},
};
constexpr TokenText kRtsCtsParallel[] = {
    {kTokFrameStart, "<STX>", ""},
    {kTokFrameEnd, "<ETX>", ""},
};

std::string Expanded(const char* notation) {
    std::string bytes = notation;
    ExpandMnemonics(bytes);
    return bytes;
}

template <std::size_t N>
void LoadTokens(const TokenText (&table)[N], Connection& conn) {
    conn.sendTokens = {};
    conn.receiveTokens = {};
    for (const TokenText& t : table) {
        conn.sendTokens[t.role] = Expanded(t.send);
        conn.receiveTokens[t.role] = Expanded(t.receive);
    }
}

char ParityLetter(int parity) {
    // The framed road runs Mark and Space parity as Even.
    switch (parity) {
        case PCU_PARITY_ODD:
            return 'O';
        case PCU_PARITY_NONE:
            return 'N';
        default:
            return 'E';
    }
}

void Prepare(Connection& conn, LineContext& owner, int portIndex, int baud, int parity,
             int dataBits, int stopBits, int protocol, char preamble, char postamble) {
    conn = Connection{};
    conn.owner = &owner;
    switch (protocol) {
        case PCU_PROTOCOL_XONXOFF:
            conn.table = ProtocolTable::XonXoff;
            LoadTokens(kXonXoff, conn);
            break;
        case PCU_PROTOCOL_STANDARD:
            conn.table = ProtocolTable::Standard;
            LoadTokens(kStandard, conn);
            break;
        default:
            conn.table = ProtocolTable::RtsCtsParallel;
            LoadTokens(kRtsCtsParallel, conn);
            break;
    }
    conn.sendSize = conn.table == ProtocolTable::Standard ? 256 : 4096;
    if (conn.table != ProtocolTable::RtsCtsParallel) {
        for (TokenList* list : {&conn.sendTokens, &conn.receiveTokens}) {
            (*list)[kTokPreamble] = preamble != '\0' ? std::string(1, preamble) : std::string();
            (*list)[kTokPostamble] = postamble != '\0' ? std::string(1, postamble) : std::string();
        }
    }
    Port& port = conn.port;
    port.portIndex = portIndex;
    port.name = PortName(portIndex);
    port.baud = baud > 0 ? static_cast<unsigned>(baud) : 0u;
    port.parity = ParityLetter(parity);
    port.dataBits = dataBits;
    port.stopBits = stopBits;
    const std::string& xon = conn.sendTokens[kTokXon];
    const std::string& xoff = conn.sendTokens[kTokXoff];
    const bool flow = !xon.empty() && !xoff.empty() && xon == conn.receiveTokens[kTokXon] &&
                      xoff == conn.receiveTokens[kTokXoff];
    port.inX = port.outX = flow;
    if (flow) {
        port.xonChar = xon[0];
        port.xoffChar = xoff[0];
    }
}

void GiveReplyBuffer(LineContext& context) {
    context.replyBuffer.assign(kReceiveSize, '\0');
    context.replyPos = 0;
}

int ReportPort(const PortResult& r, unsigned* sysErr) {
    *sysErr = static_cast<unsigned>(r.sysError);
    return r.status == kPortReadFailed ? kFrameTimeout : r.status;
}

PortResult EnsureOpen(Connection& conn) {
    return PortOpen(conn.port, kOpenAttempts, kOpenPauseMs);
}

PortResult WriteToken(Connection& conn, const std::string& bytes) {
    if (bytes.empty())
        return {};
    ScopedNamedLock writing(NamedLock::Write);
    return PortWrite(conn.port, bytes.data(), bytes.size());
}

enum class Answer { Ack, Busy, None, Wrong, LineError };

// Reads the printer's answer to a frame: [preamble] <DC1> or <DC3> [postamble].
Answer ReadAnswer(Connection& conn, PortResult* error) {
    const std::string& pre = conn.receiveTokens[kTokPreamble];
    const std::string& post = conn.receiveTokens[kTokPostamble];
    auto readByte = [&](int timeoutMs, char* b) {
        *error = PortReadByte(conn.port, timeoutMs, b);
        return error->ok();
    };
    auto quiet = [&] { return error->sysError == ETIMEDOUT ? Answer::None : Answer::LineError; };
    char b = 0;
    if (!readByte(kAckWaitMs, &b))
        return quiet();
    if (!pre.empty()) {
        if (b != pre[0])
            return Answer::Wrong;
        if (!readByte(kAmbleWaitMs, &b))
            return quiet();
    }
    Answer answer;
    if (b == conn.receiveTokens[kTokAck][0]) {
        answer = Answer::Ack;
    } else if (b == conn.receiveTokens[kTokXoff][0]) {
        answer = Answer::Busy;
    } else {
        return Answer::Wrong;
    }
    if (!post.empty()) {
        if (!readByte(kAmbleWaitMs, &b))
            return error->sysError == ETIMEDOUT ? Answer::Wrong : Answer::LineError;
        if (b != post[0])
            return Answer::Wrong;
    }
    return answer;
}

// Checks and strips the frame characters of a reply; false when they are wrong.
bool StripAmbles(const Connection& conn, std::string& reply) {
    const std::string& pre = conn.receiveTokens[kTokPreamble];
    const std::string& post = conn.receiveTokens[kTokPostamble];
    if (!pre.empty()) {
        if (reply.empty() || reply.front() != pre[0])
            return false;
        reply.erase(0, 1);
    }
    if (!post.empty()) {
        if (reply.empty() || reply.back() != post[0])
            return false;
        reply.pop_back();
    }
    return true;
}

// Removes data-link escapes, keeping the escaped byte; an escape in the last place stays.
void Unescape(const Connection& conn, std::string& reply) {
    const std::string& esc = conn.receiveTokens[kTokEscape];
    if (esc.empty())
        return;
    std::string out;
    out.reserve(reply.size());
    for (std::size_t i = 0; i < reply.size(); ++i) {
        if (reply[i] == esc[0] && i + 1 < reply.size())
            ++i;
        out.push_back(reply[i]);
    }
    reply.swap(out);
}

int Deliver(Connection& conn, std::string& reply, char* buffer, std::size_t capacity,
            std::size_t* count) {
    const std::size_t n = std::min(capacity, reply.size());
    std::copy_n(reply.data(), n, buffer);
    *count = n;
    if (n == reply.size())
        return 0;
    conn.pending.assign(reply, n, std::string::npos);
    return kFrameReplyKept;
}

}  // namespace

void LineContext::recordError(int code, int sysError, std::string_view text) {
    lastError = code;
    lastSysError = sysError;
    const std::size_t n = std::min(text.size(), kErrorTextSize - 1);
    if (n > 0)
        std::memcpy(lastErrorText, text.data(), n);
    lastErrorText[n] = '\0';
}

bool CleanReply(const Connection& conn, std::string& reply, bool unescape) {
    if (!StripAmbles(conn, reply))
        return false;
    if (unescape)
        Unescape(conn, reply);
    return true;
}

void ConnOpen(LineContext& context, Connection& conn) {
    const commState& c = context.comm;
    Prepare(conn, context, c.port, c.baud, c.parity, c.dataBits, c.stopBits, c.protocol, c.preamble,
            c.postamble);
    GiveReplyBuffer(context);
}

int ConnOpenExplicit(LineContext& context, Connection& conn, int portIndex, int baud, int parity,
                     int dataBits, int stopBits, int protocol) {
    if (portIndex < 0 || portIndex >= PCU_PORT_COUNT)
        return PCU_ERR_ARGUMENT;
    Prepare(conn, context, portIndex, baud, parity, dataBits, stopBits, protocol,
            context.comm.preamble, context.comm.postamble);
    conn.ackReplies = true;
    GiveReplyBuffer(context);
    return PCU_OK;
}

int ConnClose(Connection& conn) {
    conn.pending.clear();
    int result = PCU_OK;
    LineContext* context = conn.owner;
    if (conn.port.isOpen()) {
        const PortResult r = PortClose(conn.port);
        if (!r.ok()) {
            if (context != nullptr)
                context->recordError(PCU_ERR_CLOSE, r.sysError);
            result = PCU_ERR_CLOSE;
        }
    }
    if (context != nullptr) {
        context->replyBuffer.clear();
        context->replyBuffer.shrink_to_fit();
        context->replyPos = 0;
    }
    return result;
}

int FramedWrite(Connection& conn, const char* text, std::size_t length, int retries,
                unsigned* sysErr) {
    *sysErr = 0;
    if (text == nullptr || retries < 0) {
        *sysErr = EINVAL;
        return kPortWriteFailed;
    }
    if (length > conn.sendSize)
        return kFrameTooLong;
    if (const PortResult r = EnsureOpen(conn); !r.ok())
        return ReportPort(r, sysErr);

    std::string data(text, length);
    ExpandMnemonics(data);
    const std::string frame = conn.sendTokens[kTokFrameStart] + data +
                              conn.sendTokens[kTokLineEnd] + conn.sendTokens[kTokFrameEnd];
    if (const PortResult r = WriteToken(conn, frame); !r.ok())
        return ReportPort(r, sysErr);
    if (conn.table != ProtocolTable::Standard)
        return 0;

    // A busy or silent printer is asked again with <ENQ>; each answer wait is one pass.
    const int passes = std::max(retries, 1);
    for (int pass = 0; pass < passes; ++pass) {
        PortResult error;
        const Answer answer = ReadAnswer(conn, &error);
        if (answer != Answer::Ack || pass > 0)
            conn.inDoubt = true;
        switch (answer) {
            case Answer::Ack:
                return 0;
            case Answer::Wrong:
                return kFrameProtocol;
            case Answer::LineError:
                return ReportPort(error, sysErr);
            case Answer::Busy:
            case Answer::None:
                break;
        }
        if (pass + 1 == passes)
            break;
        WaitMs(kEnquiryPauseMs);
        PortPurgeInput(conn.port);
        if (const PortResult r = WriteToken(conn, conn.sendTokens[kTokEnquiry]); !r.ok()) {
            return ReportPort(r, sysErr);
        }
    }
    return kFrameNoAck;
}

namespace {

// Reads one pass of a reply from the port into `work`: pass 0 first, then the re-reads after a
// reply whose frame characters were wrong.
using PassReader =
    std::function<PortResult(Connection&, std::string& work, int pass, std::size_t* n)>;

int ReadFramed(Connection& conn, char* buffer, std::size_t capacity, int retries, bool unescape,
               std::size_t* count, unsigned* sysErr, const PassReader& readPass) {
    if (!conn.pending.empty()) {
        std::string kept;
        kept.swap(conn.pending);
        return Deliver(conn, kept, buffer, capacity, count);
    }
    ScopedNamedLock reading(NamedLock::Read);
    ScopedNamedLock writing(NamedLock::Write);
    if (const PortResult r = EnsureOpen(conn); !r.ok())
        return ReportPort(r, sysErr);
    if (!conn.sendTokens[kTokPoll].empty()) {
        PortPurgeInput(conn.port);
        WriteToken(conn, conn.sendTokens[kTokPoll]);
    }

    const int passes = std::max(retries, 1);
    std::string work(kWorkSize, '\0');
    bool refusedOne = false;
    for (int pass = 0; pass < passes; ++pass) {
        std::size_t n = 0;
        const PortResult r = readPass(conn, work, pass, &n);
        if (!r.ok())
            return ReportPort(r, sysErr);
        // Silence after a refused reply is still a refusal, not an empty success.
        if (n == 0) {
            conn.inDoubt = true;
            return refusedOne ? kFrameProtocol : 0;
        }
        std::string reply(work.data(), n);
        if (CleanReply(conn, reply, unescape)) {
            if (conn.ackReplies)
                WriteToken(conn, conn.sendTokens[kTokAck]);
            return Deliver(conn, reply, buffer, capacity, count);
        }
        refusedOne = true;
        conn.inDoubt = true;
        if (conn.ackReplies)
            WriteToken(conn, conn.sendTokens[kTokNak]);
        if (pass + 1 < passes)
            WaitMs(kRereadPauseMs);
    }
    return kFrameProtocol;
}

bool ReadArgumentsBad(const char* buffer, int retries, int timeoutMs, std::size_t* count,
                      unsigned* sysErr) {
    *count = 0;
    *sysErr = 0;
    if (buffer != nullptr && retries >= 0 && timeoutMs >= 0)
        return false;
    *sysErr = EINVAL;
    return true;
}

}  // namespace

int FramedRead(Connection& conn, char* buffer, std::size_t capacity, int retries, int timeoutMs,
               bool unescape, std::size_t* count, unsigned* sysErr) {
    if (ReadArgumentsBad(buffer, retries, timeoutMs, count, sysErr))
        return kPortReadFailed;
    return ReadFramed(conn, buffer, capacity, retries, unescape, count, sysErr,
                      [timeoutMs](Connection& c, std::string& work, int, std::size_t* n) {
                          return PortRead(c.port, work.data(), work.size(), timeoutMs, n);
                      });
}

int FramedReadReply(Connection& conn, int waitMs, const ReplyComplete& complete, char* buffer,
                    std::size_t capacity, int retries, int timeoutMs, bool unescape,
                    std::size_t* count, unsigned* sysErr) {
    if (ReadArgumentsBad(buffer, retries, timeoutMs, count, sysErr) || waitMs < 0)
        return kPortReadFailed;
    if (conn.inDoubt || PrescribedTiming()) {
        WaitMs(waitMs);
        return FramedRead(conn, buffer, capacity, retries, timeoutMs, unescape, count, sysErr);
    }
    // From the write on, the reply may take the wait and the read's time-out to start; once it
    // flows, a pause as long as the port's poll (or the read's shorter time-out) ends it.
    const int readMs = timeoutMs > 0 ? timeoutMs : kReplyGapMs;
    const int gapMs = std::min(readMs, kReplyGapMs);
    return ReadFramed(conn, buffer, capacity, retries, unescape, count, sysErr,
                      [&](Connection& c, std::string& work, int pass, std::size_t* n) {
                          if (pass > 0)
                              return PortRead(c.port, work.data(), work.size(), timeoutMs, n);
                          return PortReadReply(c.port, work.data(), work.size(), waitMs + readMs,
                                               gapMs, complete, n);
                      });
}

bool OneFrameComplete(const Connection& conn, std::string_view received) {
    const std::string& post = conn.receiveTokens[kTokPostamble];
    if (post.empty() || static_cast<unsigned char>(post[0]) >= 0x20)
        return false;
    return received.back() == post[0];
}

bool EndsWithFrameEnd(const Connection& conn, std::string_view received, char end) {
    const std::string& post = conn.receiveTokens[kTokPostamble];
    if (!post.empty()) {
        if (received.size() < 2 || received.back() != post[0])
            return false;
        received.remove_suffix(1);
    }
    if (received.empty() || received.back() != end)
        return false;
    // An escaped end byte is data.
    const std::string& esc = conn.receiveTokens[kTokEscape];
    std::size_t escapes = 0;
    for (std::size_t i = received.size() - 1; i > 0 && !esc.empty() && received[i - 1] == esc[0];
         --i) {
        ++escapes;
    }
    return escapes % 2 == 0;
}

}  // namespace tarvo
