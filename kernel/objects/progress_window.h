// The progress window of one transfer, open for the object's lifetime, so that every way out
// of a transfer (failures included) closes it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "gaugebar.h"

namespace tarvo {

class ProgressWindow {
  public:
    // Opens the window with `title` for work from 0 to `total` (clamped to the bar's range).
    ProgressWindow(const char* title, std::int64_t total) {
        InitProgressBar(title, 0, Clamp(total));
    }
    ~ProgressWindow() { DeleteProgressBar(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void moveTo(std::int64_t position) { RunProgressBar(Clamp(position)); }

  private:
    static std::int32_t Clamp(std::int64_t value) {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
    }
};

}  // namespace tarvo
