// File transfers of an escape-language printer on script hardware: its firmware takes a file
// over Zmodem without being told to, so the receiver (lrzsz's rz, as on the script printers)
// starts when the sender's request arrives, and the printer relays the line to it until it ends.
// A receiver that ends well leaves the file; one that fails or dies with the line leaves none.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "protocol_engine.h"
#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

namespace fs = std::filesystem;

// The hex header a sender opens with (ZRQINIT): "**", ZDLE, 'B', then the frame type "00".
constexpr std::string_view kZmodemRequest =
    "**\x18"
    "B00";

}  // namespace

bool ProtocolEngine::startsTransfer(char byte, std::vector<OutgoingPiece>* out) {
    if (CapabilitiesOf(state_.model).firmwareRoad != FirmwareRoad::kZmodem)
        return false;
    zmodemWatch_.push_back(byte);
    while (!kZmodemRequest.starts_with(zmodemWatch_))
        zmodemWatch_.erase(0, 1);
    if (zmodemWatch_ != kZmodemRequest)
        return false;
    zmodemWatch_.clear();
    std::string error;
    if (workDirectory_.Make("tarvo-printersim-"))
        receiver_ = ZmodemReceiver::Start(workDirectory_.path(), &error);
    if (!receiver_)
        return false;  // no receiver: the request is only noise on the line
    receiver_->give(kZmodemRequest);
    relay(out);
    return true;
}

int ProtocolEngine::relayFd() const {
    return receiver_ ? receiver_->fd() : -1;
}

void ProtocolEngine::relay(std::vector<OutgoingPiece>* out) {
    if (!receiver_)
        return;
    if (lineCut()) {
        receiver_->kill();
        endTransfer();
        return;
    }
    if (std::string said = receiver_->exchange(); !said.empty()) {
        replies_.sendReply(std::move(said), out);
    }
    if (receiver_->finished()) {
        if (std::string said = receiver_->exchange(); !said.empty())
            replies_.sendReply(std::move(said), out);
        endTransfer();
    }
}

// A receiver that failed or was killed may have left part of a file: nothing of it stays.
void ProtocolEngine::endTransfer() {
    const std::optional<int> status = receiver_->finished();
    receiver_.reset();
    if (status == 0)
        return;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(workDirectory_.path(), error))
        fs::remove(entry.path(), error);
}

std::optional<std::string> ProtocolEngine::receivedFile(const std::string& name) const {
    if (workDirectory_.path().empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    std::ifstream in(fs::path(workDirectory_.path()) / name, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tarvo::sim
