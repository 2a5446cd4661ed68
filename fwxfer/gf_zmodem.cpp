#include "fwxfer/gf_zmodem.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>

namespace fwxfer {
namespace {

GFResult FromIo(GFIo io) {
    switch (io) {
        case GFIo::Ok:
            return GFResult::Ok;
        case GFIo::Aborted:
            return GFResult::Cancelled;
        case GFIo::Stalled:
            return GFResult::Stalled;
        case GFIo::Closed:
            return GFResult::LineCut;
        default:
            return GFResult::PortError;
    }
}

bool ReadWholeFile(const std::string& path, std::string* content, std::uint64_t* modified) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    *modified = static_cast<std::uint64_t>(info.st_mtime);
    return !in.bad();
}

}  // namespace

const char* GFResultText(GFResult result) {
    switch (result) {
        case GFResult::Ok:
            return "the file was sent";
        case GFResult::ReceiverDidNotStart:
            return "the receiver did not start";
        case GFResult::Cancelled:
            return "the transfer was cancelled";
        case GFResult::ReceiverCancelled:
            return "the printer cancelled the transfer";
        case GFResult::LineCut:
            return "the line was cut";
        case GFResult::Stalled:
            return "the line stalled";
        case GFResult::RetriesExhausted:
            return "the printer kept asking again or stopped answering";
        case GFResult::FileUnreadable:
            return "the file cannot be read";
        case GFResult::FileRefused:
            return "the printer refused the file";
        case GFResult::PortError:
            return "the port failed";
    }
    return "unknown transfer error";
}

GFResult GFZmodem::SendFile(const std::string& path, const std::string& remoteName) {
    std::string content;
    std::uint64_t modified = 0;
    if (!ReadWholeFile(path, &content, &modified))
        return GFResult::FileUnreadable;
    return SendData(content, remoteName, modified);
}

GFResult GFZmodem::SendData(const std::string& content, const std::string& remoteName,
                            std::uint64_t modifiedSeconds) {
    // Offsets travel in 32 bits; a name with a NUL would end early on the far side.
    if (remoteName.empty() || remoteName.find('\0') != std::string::npos ||
        content.size() > std::numeric_limits<std::uint32_t>::max())
        return GFResult::FileUnreadable;
    reader_.reset();
    startOffset_ = 0;
    retryPosition_ = UINT32_MAX;
    retryCount_ = 0;
    serial_.monitor().TransferMessage("Waiting for the receiver");
    if (const GFResult r = startSession(); r != GFResult::Ok)
        return r;
    if (const GFResult r = offerFile(content, remoteName, modifiedSeconds); r != GFResult::Ok)
        return r;
    serial_.monitor().TransferMessage("Sending " + remoteName);
    if (const GFResult r = sendFrom(content, startOffset_); r != GFResult::Ok)
        return r;
    return finishSession();
}

GFZmodem::Wait GFZmodem::onReaderEvent(HeaderReader::Event event, Header* header) {
    switch (event) {
        case HeaderReader::Event::Header:
            *header = reader_.header();
            return Wait::Header;
        case HeaderReader::Event::Cancelled:
            failure_ = GFResult::ReceiverCancelled;
            return Wait::Failed;
        case HeaderReader::Event::Stray:
            serial_.monitor().AsciiPrinter(reader_.stray());
            return Wait::Nothing;
        default:
            return Wait::Nothing;
    }
}

GFZmodem::Wait GFZmodem::waitHeader(Millis timeout, Header* header) {
    GFLink& link = serial_.link();
    const TimePoint deadline = link.now() + timeout;
    for (;;) {
        const auto left =
            std::max(Millis{0}, std::chrono::duration_cast<Millis>(deadline - link.now()));
        char byte = 0;
        const GFIo io = serial_.GetByte(left, &byte);
        if (io == GFIo::Timeout)
            return Wait::Timeout;
        if (io != GFIo::Ok) {
            failure_ = FromIo(io);
            return Wait::Failed;
        }
        if (const Wait w = onReaderEvent(reader_.feed(byte), header); w != Wait::Nothing)
            return w;
    }
}

GFZmodem::Wait GFZmodem::takeQueuedHeader(Header* header) {
    if (const GFIo io = serial_.Poll(); io != GFIo::Ok) {
        failure_ = FromIo(io);
        return Wait::Failed;
    }
    char byte = 0;
    while (serial_.GetBuffer(&byte, 1) == 1) {
        if (const Wait w = onReaderEvent(reader_.feed(byte), header); w != Wait::Nothing)
            return w;
    }
    return Wait::Nothing;
}

GFResult GFZmodem::fail(GFResult result) {
    // A receiver left waiting would hold the printer; tell it the session is over. The bytes
    // go straight to the link, since the monitor may still be asking to stop.
    if (result == GFResult::Cancelled || result == GFResult::RetriesExhausted) {
        const std::string_view abort = AbortSequence();
        std::size_t written = 0;
        serial_.link().write(abort.data(), abort.size(), GFSerial::kSlice, &written);
    }
    return result;
}

GFResult GFZmodem::put(std::string_view bytes) {
    const GFResult result = FromIo(serial_.PutBuffer(bytes));
    return result == GFResult::Ok ? result : fail(result);
}

std::string GFZmodem::binaryHeader(const Header& header) const {
    return BinaryHeader(header, crc32_, escapes_);
}

GFResult GFZmodem::startSession() {
    for (int attempt = 0; attempt < timing_.startTries; ++attempt) {
        if (const GFResult r = put(HexHeader(PositionHeader(Frame::RQInit, 0))); r != GFResult::Ok)
            return r;
        Header header;
        const Wait w = waitHeader(timing_.startWait, &header);
        if (w == Wait::Failed)
            return fail(failure_);
        if (w == Wait::Header && header.type == Frame::RInit) {
            crc32_ = (header.flags() & kCanCrc32) != 0;
            escapes_.allControls = (header.flags() & kEscapeControls) != 0;
            receiverBuffer_ = header.args[0] | static_cast<std::uint32_t>(header.args[1]) << 8;
            return GFResult::Ok;
        }
    }
    return GFResult::ReceiverDidNotStart;
}

GFResult GFZmodem::offerFile(const std::string& content, const std::string& name,
                             std::uint64_t modifiedSeconds) {
    const std::string offer = binaryHeader(FlagsHeader(Frame::File, kConvertBinary)) +
                              DataSubpacket(FileInfo(name, content.size(), modifiedSeconds),
                                            SubpacketEnd::WaitForAck, crc32_, escapes_);
    for (int attempt = 0; attempt < timing_.answerTries; ++attempt) {
        if (const GFResult r = put(offer); r != GFResult::Ok)
            return r;
        for (;;) {
            Header header;
            const Wait w = waitHeader(timing_.replyWait, &header);
            if (w == Wait::Failed)
                return fail(failure_);
            if (w == Wait::Timeout || header.type == Frame::Nak)
                break;
            if (header.type == Frame::RPos) {
                startOffset_ = std::min<std::uint32_t>(header.position(),
                                                       static_cast<std::uint32_t>(content.size()));
                return GFResult::Ok;
            }
            if (header.type == Frame::Skip || header.type == Frame::FErr) {
                finishSession();
                return GFResult::FileRefused;
            }
            if (header.type == Frame::Crc) {
                const GFResult r = put(HexHeader(PositionHeader(Frame::Crc, Crc32(content))));
                if (r != GFResult::Ok)
                    return r;
            }
            // Anything else (a second ZRINIT from before the offer) is no answer to it.
        }
    }
    return fail(GFResult::RetriesExhausted);
}

GFResult GFZmodem::sendFrom(const std::string& content, std::uint32_t position) {
    for (;;) {
        if (const GFResult r = streamData(content, &position); r != GFResult::Ok)
            return r;
        bool again = false;
        if (const GFResult r = endFile(content, &position, &again); r != GFResult::Ok || !again)
            return r;
    }
}

bool GFZmodem::countRetry(std::uint32_t position) {
    if (position == retryPosition_) {
        ++retryCount_;
    } else {
        retryPosition_ = position;
        retryCount_ = 1;
    }
    return retryCount_ <= timing_.retries;
}

GFResult GFZmodem::streamData(const std::string& content, std::uint32_t* position) {
    const auto size = static_cast<std::uint32_t>(content.size());
    while (*position < size) {
        if (const GFResult r = put(binaryHeader(PositionHeader(Frame::Data, *position)));
            r != GFResult::Ok)
            return r;
        bool restart = false;
        std::uint32_t sinceAck = 0;
        while (*position < size && !restart) {
            const auto count = static_cast<std::uint32_t>(
                std::min<std::size_t>(kSubpacketBytes, size - *position));
            const bool last = *position + count == size;
            const bool windowFull = receiverBuffer_ != 0 && sinceAck + count >= receiverBuffer_;
            const SubpacketEnd end = last         ? SubpacketEnd::EndFrame
                                     : windowFull ? SubpacketEnd::WaitForAck
                                                  : SubpacketEnd::Go;
            const std::string packet = DataSubpacket(
                std::string_view(content).substr(*position, count), end, crc32_, escapes_);
            if (const GFResult r = put(packet); r != GFResult::Ok)
                return r;
            *position += count;
            sinceAck += count;
            serial_.monitor().TransferProgress(*position, size);
            Header header;
            Wait w = Wait::Nothing;
            if (end == SubpacketEnd::WaitForAck) {
                w = waitHeader(timing_.replyWait, &header);
                restart = true;  // ZCRCW ends the frame; the next data needs a new header
                if (w == Wait::Timeout && !countRetry(*position))
                    return fail(GFResult::RetriesExhausted);
            } else {
                w = takeQueuedHeader(&header);
            }
            if (w == Wait::Failed)
                return fail(failure_);
            if (w == Wait::Header) {
                if (const GFResult r = answerWhileStreaming(header, position, &restart);
                    r != GFResult::Ok)
                    return r;
            }
        }
    }
    return GFResult::Ok;
}

GFResult GFZmodem::answerWhileStreaming(const Header& header, std::uint32_t* position,
                                        bool* restart) {
    if (header.type == Frame::Skip || header.type == Frame::FErr) {
        finishSession();
        return GFResult::FileRefused;
    }
    if (header.type != Frame::RPos)
        return GFResult::Ok;
    if (!countRetry(header.position()))
        return fail(GFResult::RetriesExhausted);
    *position = std::min<std::uint32_t>(header.position(), *position);
    // Bytes still queued for the line are past the point the receiver can use.
    serial_.TXFlush();
    *restart = true;
    return GFResult::Ok;
}

GFResult GFZmodem::endFile(const std::string& content, std::uint32_t* position, bool* again) {
    const auto size = static_cast<std::uint32_t>(content.size());
    for (int attempt = 0; attempt < timing_.answerTries; ++attempt) {
        if (const GFResult r = put(binaryHeader(PositionHeader(Frame::Eof, size)));
            r != GFResult::Ok)
            return r;
        for (;;) {
            Header header;
            const Wait w = waitHeader(timing_.replyWait, &header);
            if (w == Wait::Failed)
                return fail(failure_);
            if (w == Wait::Timeout)
                break;
            if (header.type == Frame::RInit) {
                *again = false;
                return GFResult::Ok;
            }
            if (header.type == Frame::RPos) {
                if (!countRetry(header.position()))
                    return fail(GFResult::RetriesExhausted);
                *position = std::min(header.position(), size);
                *again = true;
                return GFResult::Ok;
            }
            if (header.type == Frame::Skip || header.type == Frame::FErr) {
                finishSession();
                return GFResult::FileRefused;
            }
        }
    }
    return fail(GFResult::RetriesExhausted);
}

GFResult GFZmodem::finishSession() {
    for (int attempt = 0; attempt < timing_.answerTries; ++attempt) {
        if (const GFResult r = put(HexHeader(PositionHeader(Frame::Fin, 0))); r != GFResult::Ok)
            return r;
        Header header;
        const Wait w = waitHeader(timing_.replyWait, &header);
        if (w == Wait::Failed)
            return fail(failure_);
        if (w == Wait::Header && header.type == Frame::Fin)
            return put("OO");
    }
    // The receiver already took the file; only its goodbye is missing.
    return GFResult::Ok;
}

}  // namespace fwxfer
