// The default progress window: one text line on a terminal, redrawn in place, such as
//   Downloading fonts  [########------------]  41%  12030/29340  1.5k/s  0:12 left
// Inside the library only; tests reach it to draw into a string on a clock of their own.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gaugebar {

using Clock = std::chrono::steady_clock;

// Where the line is drawn.
class TextOutput {
  public:
    virtual ~TextOutput() = default;
    // Whether a person watches: redraws with \r only make sense on a terminal, and would fill
    // a log file or a pipe with copies of the line.
    virtual bool isTerminal() = 0;
    // Width of the terminal in columns, 0 when unknown.
    virtual int columns() = 0;
    virtual void write(std::string_view text) = 0;
};

// Standard error, as the default backend uses it.
TextOutput& StandardErrorOutput();

class TextProgress {
  public:
    using Now = std::function<Clock::time_point()>;

    // Redraws come no closer together than this, so that a transfer that moves the bar for
    // every byte does not spend its time writing to the terminal. The last state is always
    // drawn, however soon it comes.
    static constexpr std::chrono::milliseconds kRedrawInterval{100};
    // Width of the bar between its brackets.
    static constexpr int kBarWidth = 20;
    // Rate and time left are shown once the work has run this long; earlier figures jump about.
    static constexpr std::chrono::seconds kRateAfter{1};

    TextProgress(TextOutput& output, Now now);

    // A `high` not above `low` means the total is unknown: the bar then shows activity and the
    // position without a fraction.
    void open(std::string_view title, std::int32_t low, std::int32_t high);
    void update(std::int32_t position);
    // Draws the last state if it was held back, and ends the line.
    void close();

    // The line as it would be drawn now, without \r or padding (exposed for tests).
    std::string render(Clock::time_point now) const;

  private:
    void draw(Clock::time_point now);

    TextOutput& output_;
    Now now_;
    bool active_ = false;  // a window is open on a terminal
    std::string title_;
    std::int32_t low_ = 0;
    std::int32_t high_ = 0;
    std::int32_t position_ = 0;
    Clock::time_point start_{};
    Clock::time_point lastDraw_{};
    bool drawnCurrent_ = false;  // the line on screen shows position_
    int spinnerStep_ = 0;
    std::size_t lastWidth_ = 0;  // columns of the line on screen, to blank a longer old one
    int columns_ = 80;
};

// Test seam: the default backend draws on `output` with `now` as its clock from its next
// window on; null restores standard error and the steady clock.
void SetDefaultTextOutput(TextOutput* output, TextProgress::Now now);

}  // namespace gaugebar
