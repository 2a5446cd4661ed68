#include "fake_receiver.h"

#include <algorithm>

#include "fwxfer/zmodem_wire.h"

namespace fwxfer::test {

GFIo FakeReceiver::read(char* buffer, std::size_t size, Millis timeout, std::size_t* got) {
    *got = std::min(size, pending_.size());
    if (*got == 0) {
        now_ += timeout;
        return GFIo::Timeout;
    }
    std::copy_n(pending_.data(), *got, buffer);
    pending_.erase(0, *got);
    return GFIo::Ok;
}

GFIo FakeReceiver::write(const char* data, std::size_t size, Millis timeout, std::size_t* written) {
    *written = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (script_.cutAfter && wire_.size() >= *script_.cutAfter)
            return GFIo::Closed;
        if (script_.stallAfter && wire_.size() >= *script_.stallAfter) {
            now_ += timeout;
            return *written > 0 ? GFIo::Ok : GFIo::Timeout;
        }
        wire_.push_back(data[i]);
        ++*written;
        take(data[i]);
    }
    return GFIo::Ok;
}

void FakeReceiver::take(char byte) {
    if (mode_ == Mode::Headers || mode_ == Mode::Ignore) {
        if (reader_.feed(byte) == HeaderReader::Event::Header)
            onHeader(reader_.header());
        return;
    }
    if (!escape_ && byte == kZdle) {
        escape_ = true;
        return;
    }
    if (!escape_ && (byte == kXon || byte == kXoff))
        return;
    if (escape_ && crcLeft_ < 0 && byte >= 'h' && byte <= 'k') {
        escape_ = false;
        end_ = byte;
        crcLeft_ = 4;
        packet_.push_back(byte);
        return;
    }
    if (escape_)
        byte = static_cast<char>(byte ^ 0x40);
    escape_ = false;
    packet_.push_back(byte);
    if (crcLeft_ > 0 && --crcLeft_ == 0) {
        const std::string body = packet_.substr(0, packet_.size() - 4);
        std::uint32_t crc = 0;
        for (int i = 0; i < 4; ++i)
            crc |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(packet_[body.size() + i]))
                   << (8 * i);
        if (Crc32(body) != crc)
            ++badChecksums_;
        packet_ = body.substr(0, body.size() - 1);
        crcLeft_ = -1;
        onSubpacketEnd(end_);
        packet_.clear();
    }
}

void FakeReceiver::onHeader(const Header& header) {
    frames_.push_back(header.type);
    if (!script_.answers)
        return;
    switch (header.type) {
        case Frame::RQInit: {
            Header init = FlagsHeader(Frame::RInit, script_.flags);
            init.args[0] = static_cast<std::uint8_t>(script_.bufferSize);
            init.args[1] = static_cast<std::uint8_t>(script_.bufferSize >> 8);
            answer(HexHeader(init));
            break;
        }
        case Frame::File:
            mode_ = Mode::FileInfo;
            break;
        case Frame::Data:
            mode_ = header.position() == position_ ? Mode::Data : Mode::Ignore;
            break;
        case Frame::Eof:
            if (script_.answerEof)
                answer(HexHeader(FlagsHeader(Frame::RInit, script_.flags)));
            break;
        case Frame::Fin:
            answer(HexHeader(PositionHeader(Frame::Fin, 0)));
            break;
        default:
            break;
    }
}

void FakeReceiver::onSubpacketEnd(char end) {
    const bool frameEnds = end == 'h' || end == 'k';
    if (mode_ == Mode::FileInfo) {
        info_ = packet_;
        position_ = script_.resumeAt;
        if (script_.cancelAfterFile)
            answer(std::string(5, kCan));
        else if (script_.skipFile)
            answer(HexHeader(PositionHeader(Frame::Skip, 0)));
        else
            answer(HexHeader(PositionHeader(Frame::RPos, position_)));
    } else if (mode_ == Mode::Data) {
        file_.resize(position_);
        file_ += packet_;
        position_ += static_cast<std::uint32_t>(packet_.size());
        if (script_.errorAt && !erred_ && position_ >= *script_.errorAt) {
            erred_ = true;
            position_ = *script_.errorAt;
            mode_ = Mode::Ignore;
            answer(HexHeader(PositionHeader(Frame::RPos, position_)));
            return;
        }
        if (end == 'k' || end == 'j')
            answer(HexHeader(PositionHeader(Frame::Ack, position_)));
    }
    if (frameEnds || mode_ == Mode::FileInfo)
        mode_ = Mode::Headers;
}

}  // namespace fwxfer::test
