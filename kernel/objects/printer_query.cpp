#include "objects/printer_query.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/trace.h"
#include "port/framing.h"
#include "port/port.h"
#include "port/scoped_connection.h"
#include "session/exchange.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr int kRetries = 5;
constexpr int kAnswerWait = 250;  // PCUWait units between the command and the read
constexpr int kNoTimeout = 0;     // read what has come (the port's shortest wait)
// A reply longer than the reply buffer is kept by the framing layer; its working buffer is
// about twice as large, so a few reads collect all of it.
constexpr int kMaxReads = 4;

bool PortWouldNotOpen(int status) {
    return status == kPortOpenFailed || status == kPortCannotOpen || status == kPortNotOpen;
}

int Send(Connection& conn, std::string_view command, std::string_view secret) {
    std::optional<platform::TraceSecret> mask;
    if (!secret.empty())
        mask.emplace(secret);
    unsigned sysErr = 0;
    return FramedWrite(conn, command.data(), command.size(), kRetries, &sysErr);
}

// Reads the answer through the context's reply buffer and clears the buffer again. The first
// read waits for the answer; the rest take what the first kept.
std::string ReadAnswer(Connection& conn, LineContext& context) {
    std::vector<char>& buffer = context.replyBuffer;
    std::string reply;
    for (int read = 0; read < kMaxReads && !buffer.empty(); ++read) {
        std::size_t count = 0;
        unsigned sysErr = 0;
        const int status =
            read == 0 ? FramedReadReply(conn, PCUWaitMs(kAnswerWait), {}, buffer.data(),
                                        buffer.size(), kRetries, kNoTimeout, true, &count, &sysErr)
                      : FramedRead(conn, buffer.data(), buffer.size(), kRetries, kNoTimeout, true,
                                   &count, &sysErr);
        reply.append(buffer.data(), count);
        if (status != kFrameReplyKept)
            break;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    return reply;
}

}  // namespace

QueryResult QueryPrinter(LineContext& context, std::string_view command, std::string_view secret) {
    QueryResult result;
    ScopedConnection conn(context);
    const int sent = Send(conn.conn(), command, secret);
    if (PortWouldNotOpen(sent)) {
        conn.close();
        result.status = PCU_ERR_OPEN;
        result.sysError = sent;
        return result;
    }
    // A command the printer did not acknowledge may still be answered: listen anyway.
    result.reply = ReadAnswer(conn.conn(), context);
    result.status = conn.close();
    return result;
}

}  // namespace tarvo
