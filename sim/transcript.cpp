#include "transcript.h"

#include <cerrno>
#include <cstring>

#include "tarvo/base/notation.h"

namespace tarvo::sim {

std::string RenderTranscriptLine(const TranscriptEntry& entry) {
    const char* marker = entry.direction == Direction::HostToPrinter ? "> " : "< ";
    return marker + RenderMnemonics(entry.bytes);
}

bool Transcript::openFile(const std::string& path, std::string* error) {
    if (path.empty())
        return true;
    std::lock_guard lock(mutex_);
    file_.open(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!file_) {
        *error = "cannot open transcript file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void Transcript::append(Direction direction, std::string_view bytes) {
    if (bytes.empty())
        return;
    std::lock_guard lock(mutex_);
    if (!entries_.empty() && entries_.back().direction == direction) {
        entries_.back().bytes.append(bytes);
    } else {
        entries_.push_back({direction, std::string(bytes)});
    }
    if (!file_.is_open())
        return;
    if (haveFileRun_ && fileRun_.direction != direction) {
        writeFileLine(fileRun_);
        haveFileRun_ = false;
    }
    if (!haveFileRun_) {
        fileRun_ = {direction, {}};
        haveFileRun_ = true;
    }
    fileRun_.bytes.append(bytes);
    lastAppend_ = Clock::now();
}

std::vector<TranscriptEntry> Transcript::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::string Transcript::text() const {
    std::lock_guard lock(mutex_);
    std::string text;
    for (const TranscriptEntry& entry : entries_) {
        text += RenderTranscriptLine(entry);
        text += '\n';
    }
    return text;
}

void Transcript::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

void Transcript::flushQuietRun(Clock::time_point now, bool force) {
    std::lock_guard lock(mutex_);
    if (haveFileRun_ && (force || now - lastAppend_ >= kFileQuietTime)) {
        writeFileLine(fileRun_);
        haveFileRun_ = false;
    }
}

void Transcript::writeFileLine(const TranscriptEntry& entry) {
    file_ << RenderTranscriptLine(entry) << '\n';
    file_.flush();
}

}  // namespace tarvo::sim
