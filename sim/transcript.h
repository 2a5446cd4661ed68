// Every byte a simulated printer exchanged, in order, merged into runs per direction; also
// written to a file as it happens when one is named. Safe to use from several threads.
#pragma once

#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// "> <STX><ESC>M1<ETX>" or "< 059877,1.13", without the line end.
std::string RenderTranscriptLine(const TranscriptEntry& entry);

class Transcript {
  public:
    using Clock = std::chrono::steady_clock;

    // A run that has been quiet this long goes to the file, so that someone following the file
    // sees an answer without waiting for the next question.
    static constexpr std::chrono::milliseconds kFileQuietTime{50};

    // Opens `path` for appending (no file when empty). Returns false with a message.
    bool openFile(const std::string& path, std::string* error);

    void append(Direction direction, std::string_view bytes);
    std::vector<TranscriptEntry> entries() const;
    std::string text() const;
    void clear();  // forgets what was kept in memory; the file keeps everything

    // Writes the run still being gathered for the file when it has been quiet long enough
    // (or at once with `force`).
    void flushQuietRun(Clock::time_point now, bool force = false);

  private:
    void writeFileLine(const TranscriptEntry& entry);

    mutable std::mutex mutex_;
    std::vector<TranscriptEntry> entries_;
    std::ofstream file_;
    bool haveFileRun_ = false;
    TranscriptEntry fileRun_{Direction::HostToPrinter, {}};
    Clock::time_point lastAppend_{};
};

}  // namespace tarvo::sim
