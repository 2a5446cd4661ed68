#include "script_engine.h"

#include <algorithm>
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
        if (imageLeft_ > 0) {
            i += takeImageBytes(bytes.substr(i)) - 1;
            continue;
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
    const std::string canonical = CanonicalScriptLine(WithoutLeadingDc1(text));
    if (canonical == "RUN \"dlk\"") {
        startTransfer(out);
        return;
    }
    if (startImage(canonical))
        return;
    LineSettings line = line_;
    const Faults& faults = replies_.faults();
    ScriptContext context{
        state_, line, identity_, session_, faults.clockHardwareError, faults.refuseKill, &faults};
    const std::string_view request = WithoutLeadingDc1(text);
    if (auto answer = AnswerScriptLine(request, context))
        replies_.sendReply(std::move(*answer), out, processingDelay(true, request));
    if (session_.applicationRunning)
        replies_.faults().silent = true;
    // The printer takes up new serial settings once it has answered the line that set them.
    if (line != line_) {
        setLine(line);
        lineChange_ = line;
    }
}

// IMAGE LOAD "NAME",SIZE,"S": exactly SIZE raw bytes follow, which are the image and no line.
bool ScriptEngine::startImage(std::string_view canonical) {
    constexpr std::string_view kPrefix = "IMAGE LOAD \"";
    if (canonical.substr(0, kPrefix.size()) != kPrefix)
        return false;
    canonical.remove_prefix(kPrefix.size());
    const std::size_t quote = canonical.find('"');
    constexpr std::string_view kSuffix = ",\"S\"";
    if (quote == 0 || quote == std::string_view::npos || canonical.size() < kSuffix.size() ||
        canonical.substr(canonical.size() - kSuffix.size()) != kSuffix ||
        canonical.substr(quote + 1, 1) != ",")
        return false;
    const std::string size(
        canonical.substr(quote + 2, canonical.size() - kSuffix.size() - quote - 2));
    if (size.empty() || size.size() > 8 ||
        size.find_first_not_of("0123456789") != std::string::npos)
        return false;
    imageName_ = std::string(canonical.substr(0, quote));
    imageLeft_ = std::stoul(size);
    imageBytes_.clear();
    if (imageLeft_ == 0)
        state_.images[imageName_] = 0;
    return true;
}

std::size_t ScriptEngine::takeImageBytes(std::string_view bytes) {
    const std::size_t taken = std::min(bytes.size(), imageLeft_);
    imageBytes_.append(bytes.substr(0, taken));
    imageLeft_ -= taken;
    if (imageLeft_ == 0)
        state_.images[imageName_] = static_cast<std::uint32_t>(imageBytes_.size());
    return taken;
}

}  // namespace tarvo::sim
