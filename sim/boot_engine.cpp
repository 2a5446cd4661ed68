#include "boot_engine.h"

#include "firmware_image.h"
#include "frame_parser.h"

namespace tarvo::sim {
namespace {

constexpr char kEm = 0x19;
constexpr int kLengthBytes = 4;
constexpr int kSumBytes = 2;
// The host tries to receive a reply five times, so the printer sends it at most five times.
constexpr int kReplyResends = 4;

LineSettings BootLine(unsigned baud) {
    LineSettings line;
    line.baud = baud;
    line.dataBits = 8;
    line.parity = 'N';
    line.stopBits = 1;
    line.protocol = Protocol::Standard;  // no flow control
    return line;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<LineSettings> BootEngine::lines() const {
    std::vector<LineSettings> lines{BootLine(phase_ == Phase::Running ? kBootRomBaud : baud_)};
    if (pending_ && pending_->action == BootAction::ChangeSpeed)
        lines.push_back(BootLine(pending_->baud));
    return lines;
}

void BootEngine::enterRom() {
    phase_ = Phase::Rom;
    baud_ = kBootRomBaud;
    loader_.reset();
    pending_.reset();
    parser_ = BootFrameParser{};
}

bool BootEngine::hear(char byte, PrinterState* state, ReplyChannel* replies,
                      std::vector<OutgoingPiece>* out) {
    if (lineCut_)
        return true;
    if (phase_ == Phase::Running)
        enterRom();
    switch (phase_) {
        case Phase::Rom:
            hearInRom(byte, replies, out);
            break;
        case Phase::Upload:
            hearUpload(byte, replies, out);
            break;
        case Phase::Loader:
            return hearInLoader(byte, state, replies, out);
        case Phase::Running:
            break;
    }
    return true;
}

// The ROM answers only its two control bytes; anything else is noise to it.
void BootEngine::hearInRom(char byte, ReplyChannel* replies, std::vector<OutgoingPiece>* out) {
    if (byte == kDle) {
        replies->sendShort(std::string(1, kDle), out);
    } else if (byte == kDc1) {
        replies->sendShort(std::string(1, kDc1), out);
        phase_ = Phase::Upload;
        lengthBytes_ = 0;
        uploadLength_ = 0;
        uploaded_ = 0;
        uploadSum_ = 0;
        sumBytes_ = 0;
        receivedSum_ = 0;
    }
}

// The loader itself is not kept: only its sum decides whether the ROM starts it.
void BootEngine::hearUpload(char byte, ReplyChannel* replies, std::vector<OutgoingPiece>* out) {
    const auto value = static_cast<unsigned char>(byte);
    if (lengthBytes_ < kLengthBytes) {
        uploadLength_ = uploadLength_ << 8 | value;
        if (++lengthBytes_ == kLengthBytes && uploadLength_ > kMaxLoaderBytes) {
            refusal_ = "the boot ROM refused a loader of " + std::to_string(uploadLength_) +
                       " bytes (at most " + std::to_string(kMaxLoaderBytes) + ")";
            replies->sendShort(std::string(1, kBootNak), out);
            phase_ = Phase::Rom;
        }
        return;
    }
    if (uploaded_ < uploadLength_) {
        uploadSum_ = static_cast<std::uint16_t>(uploadSum_ + value);
        ++uploaded_;
        return;
    }
    receivedSum_ = static_cast<std::uint16_t>(receivedSum_ << 8 | value);
    if (++sumBytes_ < kSumBytes)
        return;
    if (receivedSum_ != uploadSum_) {
        refusal_ = "the boot ROM refused the loader: its sum is wrong";
        replies->sendShort(std::string(1, kBootNak), out);
        phase_ = Phase::Rom;
        return;
    }
    replies->sendShort(std::string(1, kEm), out);
    phase_ = Phase::Loader;
    loader_.emplace(&flash_);
    parser_ = BootFrameParser{};
    pending_.reset();
}

bool BootEngine::hearInLoader(char byte, PrinterState* state, ReplyChannel* replies,
                              std::vector<OutgoingPiece>* out) {
    if (pending_ && hearAcknowledge(byte, state, replies, out))
        return true;
    if (phase_ != Phase::Loader) {
        // Carrying out the last reply's action left the loader: the byte belongs to what runs
        // now, which is the ROM (a failed boot, "exit mode off") or the firmware.
        if (phase_ == Phase::Rom)
            hearInRom(byte, replies, out);
        return phase_ != Phase::Running;
    }
    switch (parser_.feed(byte)) {
        case BootFrameParser::Event::Frame:
            onFrame(parser_.frame(), replies, out);
            break;
        case BootFrameParser::Event::Bad:
            replies->sendShort(std::string(1, kBootNak), out);
            break;
        case BootFrameParser::Event::None:
            break;
    }
    return true;
}

// While a reply waits for the host: ACK takes it, NAK asks for it again. Anything else means
// the host has moved on. Returns true when the byte was the host's answer.
bool BootEngine::hearAcknowledge(char byte, PrinterState* state, ReplyChannel* replies,
                                 std::vector<OutgoingPiece>* out) {
    if (byte == kBootNak && pending_->resendsLeft > 0) {
        --pending_->resendsLeft;
        sendPending(replies, out);
        return true;
    }
    const PendingReply reply = std::move(*pending_);
    pending_.reset();
    carryOut(reply, state);
    return byte == kBootAck || byte == kBootNak;
}

void BootEngine::onFrame(const BootFrame& frame, ReplyChannel* replies,
                         std::vector<OutgoingPiece>* out) {
    Faults& faults = replies->faults();
    if (IsFlashWrite(frame) && faults.cutLineDuringFlashWrite > 0 &&
        --faults.cutLineDuringFlashWrite == 0) {
        cutLine(out);
        return;
    }
    if (faults.nakFrames > 0) {
        --faults.nakFrames;
        replies->sendShort(std::string(1, kBootNak), out);
        return;
    }
    replies->sendShort(
        std::string(1, faults.bootAcknowledge != 0 ? faults.bootAcknowledge : kBootAck), out);
    BootReply reply = loader_->run(frame);
    pending_ = PendingReply{BuildBootFrame(reply.frame), reply.action, reply.baud, kReplyResends};
    sendPending(replies, out);
}

void BootEngine::sendPending(ReplyChannel* replies, std::vector<OutgoingPiece>* out) {
    Faults& faults = replies->faults();
    if (faults.mangledReplies > 0) {
        --faults.mangledReplies;
        if (!faults.mangledReply.empty())
            replies->sendReply(faults.mangledReply, out);
        return;
    }
    replies->sendReply(pending_->bytes, out);
}

void BootEngine::carryOut(const PendingReply& reply, PrinterState* state) {
    switch (reply.action) {
        case BootAction::ChangeSpeed:
            baud_ = reply.baud;
            break;
        case BootAction::RunFirmware:
            bootFirmware(state);
            break;
        case BootAction::BackToRom:
            enterRom();
            break;
        case BootAction::None:
            break;
    }
}

// The image is what was programmed, from the lowest programmed address to the highest.
void BootEngine::bootFirmware(PrinterState* state) {
    const auto range = flash_.programmedRange();
    FirmwareTexts texts;
    std::string reason;
    if (!range) {
        reason = "nothing was programmed into flash";
    } else {
        const std::vector<std::uint8_t> image =
            flash_.read(range->first, std::size_t{range->second - range->first} + 1);
        if (ReadFirmwareImage(image, &texts, &reason) && !ValidFirmware(Trimmed(texts.second)))
            reason = "the image's version text \"" + texts.second + "\" is not a firmware name";
    }
    if (!reason.empty()) {
        refusal_ = "no firmware to run: " + reason;
        enterRom();
        return;
    }
    refusal_.clear();
    state->firmware = Trimmed(texts.second);
    state->firmwareInvalidated = false;
    phase_ = Phase::Running;
    loader_.reset();
}

void BootEngine::cutLine(std::vector<OutgoingPiece>* out) {
    lineCut_ = true;
    OutgoingPiece piece;
    piece.closeLineAfter = true;
    out->push_back(std::move(piece));
}

}  // namespace tarvo::sim
