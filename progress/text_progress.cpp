#include "text_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gaugebar {
namespace {

// Columns when the terminal does not say.
constexpr int kDefaultColumns = 80;
// The indeterminate bar's moving block.
constexpr std::string_view kSpinner = "<=>";

class StandardError final : public TextOutput {
  public:
    bool isTerminal() override { return ::isatty(STDERR_FILENO) == 1; }
    int columns() override {
        winsize size{};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0)
            return 0;
        return size.ws_col;
    }
    void write(std::string_view text) override {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
};

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Columns a UTF-8 text takes, counting one per character.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

// The first `columns` characters of `text`.
std::string_view Head(std::string_view text, std::size_t columns) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuationByte(text[i]) && seen++ == columns)
            return text.substr(0, i);
    }
    return text;
}

// A title may come from anywhere; a control byte in it would move the cursor and break the
// redraw.
std::string Printable(std::string_view title) {
    std::string text(title);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return text;
}

// "950", "9.5k", "95k", "1.2M": the caller's unit is not known, so only the magnitude is given.
std::string Amount(double value) {
    char text[32];
    if (value < 1000) {
        std::snprintf(text, sizeof text, "%.0f", std::floor(value));
    } else if (value < 10e3) {
        std::snprintf(text, sizeof text, "%.1fk", std::floor(value / 100) / 10);
    } else if (value < 1e6) {
        std::snprintf(text, sizeof text, "%.0fk", std::floor(value / 1e3));
    } else if (value < 10e6) {
        std::snprintf(text, sizeof text, "%.1fM", std::floor(value / 1e5) / 10);
    } else {
        std::snprintf(text, sizeof text, "%.0fM", std::floor(value / 1e6));
    }
    return text;
}

// "0:07", "12:30", "2:05:00".
std::string Duration(long long seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    }
    return text;
}

}  // namespace

TextOutput& StandardErrorOutput() {
    static StandardError output;
    return output;
}

TextProgress::TextProgress(TextOutput& output, Now now) : output_(output), now_(std::move(now)) {}

void TextProgress::open(std::string_view title, std::int32_t low, std::int32_t high) {
    active_ = output_.isTerminal();
    if (!active_)
        return;
    const int columns = output_.columns();
    columns_ = columns > 0 ? columns : kDefaultColumns;
    title_ = Printable(title);
    low_ = low;
    high_ = std::max(low, high);
    position_ = low;
    spinnerStep_ = 0;
    lastWidth_ = 0;
    start_ = now_();
    draw(start_);
}

void TextProgress::update(std::int32_t position) {
    if (!active_)
        return;
    position = std::max(position, low_);
    if (high_ > low_)
        position = std::min(position, high_);
    if (position != position_)
        drawnCurrent_ = false;
    position_ = position;
    const Clock::time_point now = now_();
    const bool finished = high_ > low_ && position_ == high_;
    if ((finished && !drawnCurrent_) || now - lastDraw_ >= kRedrawInterval)
        draw(now);
}

void TextProgress::close() {
    if (!active_)
        return;
    if (!drawnCurrent_)
        draw(now_());
    output_.write("\n");
    active_ = false;
}

void TextProgress::draw(Clock::time_point now) {
    std::string line = render(now);
    const std::size_t width = Width(line);
    if (width < lastWidth_)
        line.append(lastWidth_ - width, ' ');
    output_.write("\r" + line);
    lastWidth_ = width;
    lastDraw_ = now;
    drawnCurrent_ = true;
    ++spinnerStep_;
}

std::string TextProgress::render(Clock::time_point now) const {
    const bool known = high_ > low_;
    // 64 bits: the distance between two 32-bit positions does not fit in 32.
    const std::int64_t done = std::int64_t{position_} - low_;
    const std::int64_t total = std::int64_t{high_} - low_;

    std::string bar(kBarWidth, known ? '-' : ' ');
    std::string figures;
    if (known) {
        const auto filled = static_cast<std::size_t>(done * kBarWidth / total);
        std::fill_n(bar.begin(), filled, '#');
        char text[64];
        std::snprintf(text, sizeof text, "%3d%%  %d/%d", static_cast<int>(done * 100 / total),
                      position_, high_);
        figures = text;
    } else {
        // The block walks to the right end and back, one step per redraw.
        const int travel = kBarWidth - static_cast<int>(kSpinner.size());
        const int step = spinnerStep_ % (2 * travel);
        const int at = step <= travel ? step : 2 * travel - step;
        bar.replace(static_cast<std::size_t>(at), kSpinner.size(), kSpinner);
        figures = std::to_string(position_);
    }

    const std::chrono::duration<double> elapsed = now - start_;
    if (elapsed >= kRateAfter) {
        const double rate = static_cast<double>(done) / elapsed.count();
        figures += "  " + Amount(rate) + "/s";
        if (known && rate > 0) {
            const double left = static_cast<double>(total - done) / rate;
            figures += "  " + Duration(static_cast<long long>(std::ceil(left))) + " left";
        }
    }

    // The title gives way when the terminal is narrow: a line that wraps cannot be redrawn.
    const std::string tail = "  [" + bar + "]  " + figures;
    const std::size_t room = static_cast<std::size_t>(columns_ - 1);
    const std::size_t tailWidth = Width(tail);
    const std::size_t titleWidth = Width(title_);
    if (titleWidth + tailWidth <= room)
        return title_ + tail;
    if (tailWidth + 4 <= room)
        return std::string(Head(title_, room - tailWidth - 3)) + "..." + tail;
    return std::string(Head(title_ + tail, room));
}

}  // namespace gaugebar
