#include "session/exchange.h"

#include "tarvo/port.h"

namespace tarvo {

Exchange::Exchange(LineContext& context) : opened_(true) {
    ConnOpen(context, conn_);
}

Exchange::Exchange(LineContext& context, int portIndex, int baud, int parity, int dataBits,
                   int stopBits, int protocol)
    : opened_(ConnOpenExplicit(context, conn_, portIndex, baud, parity, dataBits, stopBits,
                               protocol) == PCU_OK) {}

Exchange::~Exchange() {
    if (opened_)
        ConnClose(conn_);
}

int Exchange::send(const std::string& text, int retries) {
    unsigned sysErr = 0;
    lastSendStatus_ = FramedWrite(conn_, text.data(), text.size(), retries, &sysErr);
    return lastSendStatus_;
}

int Exchange::read(std::string* reply, std::size_t capacity, int retries, int timeoutMs) {
    reply->assign(capacity, '\0');
    std::size_t count = 0;
    unsigned sysErr = 0;
    const int status =
        FramedRead(conn_, reply->data(), capacity, retries, timeoutMs, false, &count, &sysErr);
    reply->resize(count);
    // Only the first `capacity` bytes are asked for; the rest goes with the connection.
    return status == kFrameReplyKept ? 0 : status;
}

std::string Exchange::ask(const std::string& text, int sendRetries, int waitUnits,
                          std::size_t capacity, int readRetries, int timeoutMs,
                          const ReplyComplete& complete) {
    std::string reply;
    if (send(text, sendRetries) != 0)
        return reply;
    reply.assign(capacity, '\0');
    std::size_t count = 0;
    unsigned sysErr = 0;
    FramedReadReply(conn_, PCUWaitMs(waitUnits), complete, reply.data(), capacity, readRetries,
                    timeoutMs, false, &count, &sysErr);
    reply.resize(count);
    return reply;
}

void Exchange::clearFrameCharacters() {
    for (TokenList* list : {&conn_.sendTokens, &conn_.receiveTokens}) {
        (*list)[kTokPreamble].clear();
        (*list)[kTokPostamble].clear();
    }
}

}  // namespace tarvo
