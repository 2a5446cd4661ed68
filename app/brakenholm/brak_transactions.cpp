// The port transactions of CBrakPrinter: one command line, a line with its own line end, and
// the queries that read an answer.
#include <array>
#include <cstring>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_wire.h"

namespace tarvo::app {
namespace {

// A printer that keeps talking is drained for at most this many reads (about 1 MiB).
constexpr int kMaxDrainReads = 256;
constexpr int kQueryReadAttempts = 3;

TxResult Failure(TxStatus status, int error) {
    return {status, error};
}

}  // namespace

std::string WithCr(std::string_view line) {
    std::string out(line);
    if (out.empty() || out.back() != '\r')
        out += '\r';
    return out;
}

std::string WithCrLf(std::string_view line) {
    std::string out(line);
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
        return out;
    if (!out.empty() && out.back() == '\r') {
        out += '\n';
    } else if (!out.empty() && out.back() == '\n') {
        out.insert(out.size() - 1, 1, '\r');
    } else {
        out += "\r\n";
    }
    return out;
}

RawReply ReadOnce(ScriptConnection& connection) {
    RawReply reply;
    std::array<char, kReplyBufferSize> buffer{};
    const ReadOutcome first = connection.Read(buffer.data(), kReplyLimit);
    if (first.error != 0) {
        reply.error = first.error;
        return reply;
    }
    const std::size_t count = std::min(first.count, kReplyLimit);
    buffer[count] = '\0';
    reply.text.assign(buffer.data(), ::strnlen(buffer.data(), count));
    if (!first.more)
        return reply;
    reply.truncated = true;
    for (int i = 0; i < kMaxDrainReads; ++i) {
        const ReadOutcome more = connection.Read(buffer.data(), kReplyLimit);
        if (more.error != 0 || !more.more)
            break;
    }
    return reply;
}

TxResult CBrakPrinter::SendSetupLine(std::string_view line) {
    return Send(WithCr(line), true);
}

TxResult CBrakPrinter::SendLine(std::string_view line, bool prefix) {
    return Send(WithCrLf(line), prefix);
}

TxResult CBrakPrinter::Send(std::string_view terminatedLine, bool prefix) {
    OpenOutcome open = port_->Open({});
    if (!open.connection)
        return Failure(TxStatus::OpenFailed, open.error);
    ScriptConnection& c = *open.connection;
    if (prefix) {
        // A prefix that did not go out means the line is down: the command is not tried.
        if (const int e = c.Write(WithCr(kVerboseOff)); e != 0)
            return Failure(TxStatus::WriteFailed, e);
        port_->Wait(kAfterVerboseOffMs);
    }
    if (const int e = c.Write(terminatedLine); e != 0)
        return Failure(TxStatus::WriteFailed, e);
    return {};
}

QueryReply CBrakPrinter::QueryLine(std::string_view line) {
    return Query(line, 0);
}

QueryReply CBrakPrinter::QueryLineAfter(std::string_view line, std::uint16_t waitMs) {
    return Query(line, waitMs);
}

QueryReply CBrakPrinter::Query(std::string_view line, int extraWaitMs) {
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
    if (extraWaitMs > 0)
        port_->Wait(extraWaitMs);
    for (int attempt = 0; attempt < kQueryReadAttempts; ++attempt) {
        RawReply raw = ReadOnce(c);
        if (raw.error != 0) {
            if (attempt == 0) {
                reply.status = TxStatus::ReadFailed;
                reply.error = raw.error;
            }
            break;
        }
        if (!raw.text.empty()) {
            reply.text = std::move(raw.text);
            reply.truncated = raw.truncated;
            break;
        }
        // No pause after the last attempt: nothing would read what it waited for.
        if (attempt + 1 < kQueryReadAttempts)
            port_->Wait(kBetweenEmptyReadsMs);
    }
    return reply;
}

}  // namespace tarvo::app
