// A query whose answer may be longer than the reply buffer: read on, a buffer at a time, until
// the answer is whole or a bound is reached.
#include <array>
#include <cstring>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_wire.h"

namespace tarvo::app {
namespace {

constexpr int kQuietReadsBeforeGivingUp = 3;
constexpr int kMaxDrainReads = 256;

// Reads and drops what is still queued, for a bounded number of reads.
void Drain(ScriptConnection& connection, std::array<char, kReplyBufferSize>& buffer) {
    for (int i = 0; i < kMaxDrainReads; ++i) {
        const ReadOutcome more = connection.Read(buffer.data(), kReplyLimit);
        if (more.error != 0 || more.count == 0)
            break;
    }
}

}  // namespace

QueryReply CBrakPrinter::QueryUntil(std::string_view line, std::uint16_t waitMs,
                                    const std::function<bool(std::string_view)>& complete,
                                    std::size_t maxBytes) {
    QueryReply reply;
    OpenOutcome open = port_->Open({});
    if (!open.connection) {
        reply.status = TxStatus::OpenFailed;
        reply.error = open.error;
        return reply;
    }
    ScriptConnection& c = *open.connection;
    int error = c.Write(WithCr(kVerboseOff));
    if (error == 0) {
        port_->Wait(kAfterVerboseOffMs);
        error = c.Write(WithCr(line));
    }
    if (error != 0) {
        reply.status = TxStatus::WriteFailed;
        reply.error = error;
        return reply;
    }
    if (waitMs > 0)
        port_->Wait(waitMs);
    std::array<char, kReplyBufferSize> buffer{};
    int quietReads = 0;
    for (;;) {
        const ReadOutcome read = c.Read(buffer.data(), kReplyLimit);
        if (read.error != 0) {
            if (reply.text.empty()) {
                reply.status = TxStatus::ReadFailed;
                reply.error = read.error;
            }
            break;
        }
        const std::size_t count = std::min(read.count, kReplyLimit);
        reply.text.append(buffer.data(), ::strnlen(buffer.data(), count));
        if (complete && complete(reply.text)) {
            if (read.more)
                Drain(c, buffer);
            break;
        }
        if (reply.text.size() >= maxBytes) {
            reply.truncated = true;
            Drain(c, buffer);
            break;
        }
        if (count > 0) {
            quietReads = 0;
            continue;
        }
        // Nothing came: the printer may still be working; wait as a query does, then give up.
        if (++quietReads >= kQuietReadsBeforeGivingUp)
            break;
        port_->Wait(kBetweenEmptyReadsMs);
    }
    return reply;
}

}  // namespace tarvo::app
