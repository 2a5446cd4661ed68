#include "script_engine.h"

#include <utility>

#include "frame_parser.h"
#include "script_commands.h"

namespace tarvo::sim {
namespace {

// Hosts start a line with <DC1> to wake a printer that held its output; some write the byte,
// others the notation itself, unexpanded.
std::string_view WithoutLeadingDc1(std::string_view line) {
    constexpr std::string_view kDc1Text = "<DC1>";
    if (!line.empty() && line.front() == kDc1)
        return line.substr(1);
    if (line.substr(0, kDc1Text.size()) == kDc1Text)
        return line.substr(kDc1Text.size());
    return line;
}

}  // namespace

void ScriptEngine::hear(std::string_view bytes, std::vector<OutgoingPiece>* out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (receiver_) {
            feedTransfer(bytes.substr(i), out);
            return;
        }
        const char byte = bytes[i];
        if (lineCut())
            return;
        if (line_.protocol == Protocol::XonXoff && (byte == kDc1 || byte == kDc3)) {
            outputPaused_ = byte == kDc3;
            continue;
        }
        if (byte == '\n' && std::exchange(afterCr_, false))
            continue;
        afterCr_ = false;
        if (byte == '\r') {
            afterCr_ = true;
            if (!std::exchange(overrun_, false))
                onLine(std::exchange(lineText_, {}), out);
            continue;
        }
        if (overrun_)
            continue;
        if (lineText_.size() >= kMaxLineBytes) {
            overrun_ = true;
            std::string().swap(lineText_);
            continue;
        }
        lineText_.push_back(byte);
    }
}

void ScriptEngine::onLine(std::string text, std::vector<OutgoingPiece>* out) {
    takeMessage(text);
    if (replies_.sendFloodInstead(out))
        return;
    if (CanonicalScriptLine(WithoutLeadingDc1(text)) == "RUN \"dlk\"") {
        startTransfer(out);
        return;
    }
    LineSettings line = line_;
    ScriptContext context{state_, line, identity_, session_, replies_.faults().clockHardwareError};
    if (auto answer = AnswerScriptLine(WithoutLeadingDc1(text), context))
        replies_.sendReply(std::move(*answer), out);
    // The printer takes up new serial settings once it has answered the line that set them.
    if (line != line_) {
        setLine(line);
        lineChange_ = line;
    }
}

}  // namespace tarvo::sim
