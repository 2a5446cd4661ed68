#include "objects/printer_query.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/trace.h"
#include "port/framing.h"
#include "port/kernel_state.h"
#include "port/port.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr int kRetries = 5;
constexpr int kAnswerWait = 250;  // PCUWait units between the command and the read
constexpr int kNoTimeout = 0;     // read what has come (the port's shortest wait)
// A reply longer than the reply buffer is kept by the framing layer; its working buffer is
// about twice as large, so a few reads collect all of it.
constexpr int kMaxReads = 4;

// Closes the connection on every way out; close() reports the result once.
class QueryConnection {
  public:
    explicit QueryConnection(int ctx) : open_(ConnOpenFromContext(ctx, conn_) == 0) {}
    ~QueryConnection() {
        if (open_)
            ConnClose(conn_);
    }
    QueryConnection(const QueryConnection&) = delete;
    QueryConnection& operator=(const QueryConnection&) = delete;

    bool open() const { return open_; }
    Connection& get() { return conn_; }
    int close() {
        open_ = false;
        return ConnClose(conn_);
    }

  private:
    Connection conn_;
    bool open_;
};

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

// Reads the answer through the context's reply buffer and clears the buffer again.
std::string ReadAnswer(Connection& conn, Context& context) {
    std::vector<char>& buffer = context.replyBuffer;
    std::string reply;
    for (int read = 0; read < kMaxReads && !buffer.empty(); ++read) {
        std::size_t count = 0;
        unsigned sysErr = 0;
        const int status = FramedRead(conn, buffer.data(), buffer.size(), kRetries, kNoTimeout,
                                      true, &count, &sysErr);
        reply.append(buffer.data(), count);
        if (status != kFrameReplyKept)
            break;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    return reply;
}

}  // namespace

QueryResult QueryPrinter(int ctx, std::string_view command, std::string_view secret) {
    QueryResult result;
    Context* context = FindContext(ctx);
    QueryConnection conn(ctx);
    if (context == nullptr || !conn.open()) {
        result.status = PCU_ERR_NO_CONTEXT;
        return result;
    }
    const int sent = Send(conn.get(), command, secret);
    if (PortWouldNotOpen(sent)) {
        conn.close();
        result.status = PCU_ERR_OPEN;
        result.sysError = sent;
        return result;
    }
    // A command the printer did not acknowledge may still be answered: listen anyway.
    PCUWait(kAnswerWait);
    result.reply = ReadAnswer(conn.get(), *context);
    result.status = conn.close();
    return result;
}

}  // namespace tarvo
