// File transfers of a Brakenholm printer: RUN "dlk" starts lrzsz's rz as the printer's
// receiver in a directory standing for the current device, and the printer relays the line to
// it until it ends. A receiver that ends well stores what it wrote; one that fails or is killed
// by a line cut leaves nothing behind.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "script_engine.h"
#include "script_files.h"
#include "tarvo/base/script_firmware.h"

namespace tarvo::sim {
namespace {

namespace fs = std::filesystem;

ScriptEngine::Snapshot FilesIn(const fs::path& directory) {
    ScriptEngine::Snapshot files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        if (entry.is_regular_file(error))
            files[entry.path().filename().string()] = entry.last_write_time(error);
    }
    return files;
}

std::string ReadStart(const fs::path& path, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string start(bytes, '\0');
    in.read(start.data(), static_cast<std::streamsize>(bytes));
    start.resize(static_cast<std::size_t>(in.gcount()));
    return start;
}

}  // namespace

ScriptEngine::~ScriptEngine() {
    receiver_.reset();  // before the folder it writes into goes
}

fs::path ScriptEngine::deviceDirectory(const std::string& device) {
    if (!workDirectory_.Make("tarvo-printersim-"))
        return {};
    fs::path directory = fs::path(workDirectory_.path()) / device.substr(0, device.find(':'));
    std::error_code error;
    fs::create_directories(directory, error);
    return directory;
}

int ScriptEngine::relayFd() const {
    return receiver_ ? receiver_->fd() : -1;
}

void ScriptEngine::startTransfer(std::vector<OutgoingPiece>* out) {
    transferDevice_ = session_.currentDevice.empty() ? std::string(MainDevice(state_.model))
                                                     : session_.currentDevice;
    const fs::path directory = deviceDirectory(transferDevice_);
    std::string error;
    if (!directory.empty())
        receiver_ = ZmodemReceiver::Start(directory, &error);
    if (!receiver_) {
        replies_.sendReply(ErrorLine(error.empty() ? "no room for the receiver" : error), out);
        return;
    }
    beforeTransfer_ = FilesIn(directory);
}

void ScriptEngine::feedTransfer(std::string_view bytes, std::vector<OutgoingPiece>* out) {
    const std::size_t cutAt = replies_.faults().cutAfterTransferBytes;
    if (cutAt > 0 && receiver_->bytesGiven() + bytes.size() >= cutAt) {
        receiver_->give(bytes.substr(0, cutAt - receiver_->bytesGiven()));
        receiver_->kill();
        endTransfer(-1);
        lineCutHere_ = true;
        out->push_back(OutgoingPiece{{}, {}, true});
        return;
    }
    receiver_->give(bytes);
    relay(out);
}

void ScriptEngine::relay(std::vector<OutgoingPiece>* out) {
    if (!receiver_)
        return;
    if (lineCut()) {
        endTransfer(-1);  // the receiver dies with the line
        return;
    }
    if (std::string said = receiver_->exchange(); !said.empty())
        replies_.sendReply(std::move(said), out);
    if (const auto status = receiver_->finished()) {
        if (std::string said = receiver_->exchange(); !said.empty())
            replies_.sendReply(std::move(said), out);
        endTransfer(*status);
    }
}

// Files the receiver wrote or rewrote are stored when it ended well and removed otherwise.
void ScriptEngine::endTransfer(int status) {
    receiver_.reset();
    const fs::path directory = deviceDirectory(transferDevice_);
    std::error_code error;
    for (const auto& [name, written] : FilesIn(directory)) {
        const auto before = beforeTransfer_.find(name);
        if (before != beforeTransfer_.end() && before->second == written)
            continue;
        const fs::path path = directory / name;
        const auto size = static_cast<std::uint32_t>(fs::file_size(path, error));
        const ScriptFile file{transferDevice_, name, size};
        if (status != 0 || !StoreFile(&state_, file).empty()) {
            fs::remove(path, error);
            DeleteFile(&state_, file);
            continue;
        }
        if (auto version = platform::ScriptFirmwareVersion(ReadStart(path, 256)))
            session_.pendingFirmware = *version;
    }
}

std::optional<std::string> ScriptEngine::receivedFile(const std::string& device,
                                                      const std::string& name) const {
    if (workDirectory_.path().empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    std::ifstream in(fs::path(workDirectory_.path()) / device.substr(0, device.find(':')) / name,
                     std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tarvo::sim
