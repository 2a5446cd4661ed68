#include "support/fake_script_port.h"

#include <algorithm>
#include <cstring>

#include "tarvo/base/notation.h"

namespace tarvo::test {
namespace {

// The complete lines of `bytes` (ended by CR or LF), DC1 bytes removed, empty lines skipped.
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\x11')
            continue;
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                lines.push_back(std::exchange(line, {}));
            continue;
        }
        line.push_back(c);
    }
    return lines;
}

}  // namespace

class FakeScriptPort::Connection final : public app::ScriptConnection {
  public:
    Connection(FakeScriptPort& port, std::string settings)
        : port_(port), settings_(std::move(settings)) {
        ++port_.openConnections;
    }
    ~Connection() override {
        --port_.openConnections;
        port_.wire_ += "[close]";
    }

    int Write(std::string_view bytes) override { return Put(bytes, false); }
    int WriteSlowly(std::string_view bytes) override { return Put(bytes, true); }

    app::ReadOutcome Read(char* buffer, std::size_t size) override {
        port_.wire_ += "[read]";
        if (port_.readError_ != 0)
            return {0, false, port_.readError_};
        if (pending_.empty() && !command_.empty()) {
            // A command written since the last reply: its answer is now on the line, unless it
            // keeps the host waiting for a few reads first.
            if (!replyChosen_) {
                reply_ = port_.NextReply(settings_, command_);
                replyChosen_ = true;
            }
            if (reply_.silentReads > 0) {
                --reply_.silentReads;
                return {};
            }
            pending_ = std::move(reply_.text);
            command_.clear();
            replyChosen_ = false;
        }
        const std::size_t n = std::min(size, pending_.size());
        std::memcpy(buffer, pending_.data(), n);
        if (n < size)
            buffer[n] = '\0';
        pending_.erase(0, n);
        return {n, !pending_.empty(), 0};
    }

  private:
    int Put(std::string_view bytes, bool slowly) {
        const auto& [part, error] = port_.failWrite_;
        if (error != 0 && std::string_view(bytes).find(part) != std::string_view::npos)
            return error;
        if (slowly)
            port_.wire_ += "[slow]";
        port_.wire_ += RenderMnemonics(bytes);
        port_.written_.append(bytes);
        const std::vector<std::string> lines = SplitLines(std::string(bytes));
        if (!lines.empty()) {
            command_ = lines.back();
            replyChosen_ = false;
        }
        return 0;
    }

    FakeScriptPort& port_;
    std::string settings_;
    std::string command_;
    bool replyChosen_ = false;
    Reply reply_;
    std::string pending_;
};

void FakeScriptPort::Answer(const std::string& command, Reply reply,
                            const std::string& lineSettings) {
    replies_[{lineSettings, command}].replies.push_back(std::move(reply));
}

FakeScriptPort::Reply FakeScriptPort::NextReply(const std::string& lineSettings,
                                                const std::string& command) {
    for (const std::string& key : {lineSettings, std::string("*")}) {
        auto it = replies_.find({key, command});
        if (it == replies_.end())
            continue;
        Queue& queue = it->second;
        if (queue.frontUsed && queue.replies.size() > 1)
            queue.replies.pop_front();
        queue.frontUsed = true;
        return queue.replies.front();
    }
    return {};
}

app::OpenOutcome FakeScriptPort::Open(std::string_view lineSettings) {
    ++opens;
    wire_ += lineSettings.empty() ? "[open]" : "[open " + std::string(lineSettings) + "]";
    if (openError_ != 0)
        return {nullptr, openError_};
    return {std::make_unique<Connection>(*this, std::string(lineSettings)), 0};
}

void FakeScriptPort::Wait(int ms) {
    wire_ += "[wait " + std::to_string(ms) + "]";
    totalWaitMs += ms;
}

std::vector<std::string> FakeScriptPort::Lines() const {
    return SplitLines(written_);
}

std::vector<std::string> FakeScriptPort::Commands() const {
    std::vector<std::string> lines = Lines();
    std::erase(lines, "SYSVAR(18)=0");
    return lines;
}

void FakeScriptPort::ClearRecord() {
    wire_.clear();
    written_.clear();
    opens = 0;
    totalWaitMs = 0;
}

}  // namespace tarvo::test
