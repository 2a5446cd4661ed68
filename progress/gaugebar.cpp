// The one progress window and the backend that shows it.
#include "gaugebar.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "text_progress.h"

namespace gaugebar {
namespace {

// The default backend's line, made anew for each window so that it picks up the output and
// clock in force when the window opens.
struct DefaultText {
    TextOutput* output = nullptr;  // null: standard error
    TextProgress::Now now;         // empty: the steady clock
    std::optional<TextProgress> line;
};

void DefaultOpen(void* user, const char* title, std::int32_t low, std::int32_t high) {
    auto* text = static_cast<DefaultText*>(user);
    TextProgress::Now now = text->now ? text->now : [] { return Clock::now(); };
    text->line.emplace(text->output != nullptr ? *text->output : StandardErrorOutput(),
                       std::move(now));
    text->line->open(title, low, high);
}

void DefaultUpdate(void* user, std::int32_t position) {
    auto* text = static_cast<DefaultText*>(user);
    if (text->line)
        text->line->update(position);
}

void DefaultClose(void* user) {
    auto* text = static_cast<DefaultText*>(user);
    if (text->line)
        text->line->close();
    text->line.reset();
}

struct Indicator {
    std::mutex mutex;
    DefaultText defaultText;
    GaugeBackend backend{&defaultText, DefaultOpen, DefaultUpdate, DefaultClose};
    // The window that is open, and the backend that opened it: a backend installed meanwhile
    // must not be asked to close a window it never opened.
    bool open = false;
    GaugeBackend openedOn{};
    char title[GAUGEBAR_MAX_TITLE + 1] = {};
    std::int32_t low = 0;
    std::int32_t high = 0;
};

Indicator& TheIndicator() {
    static Indicator indicator;
    return indicator;
}

// Set while a backend function runs on this thread: the window is being worked on, and a call
// back into the indicator from there would find its lock taken.
thread_local bool insideBackend = false;

class BackendCall {
  public:
    BackendCall() { insideBackend = true; }
    ~BackendCall() { insideBackend = false; }
    BackendCall(const BackendCall&) = delete;
    BackendCall& operator=(const BackendCall&) = delete;
};

void CloseWindow(Indicator& indicator) {
    if (!indicator.open)
        return;
    indicator.open = false;
    if (indicator.openedOn.close != nullptr) {
        BackendCall call;
        indicator.openedOn.close(indicator.openedOn.user);
    }
}

// Copies at most GAUGEBAR_MAX_TITLE bytes, backing off to the start of a UTF-8 character so
// that the cut leaves no half character behind.
void CopyTitle(const char* title, char* copy) {
    if (title == nullptr) {
        copy[0] = '\0';
        return;
    }
    std::size_t length = ::strnlen(title, GAUGEBAR_MAX_TITLE + 1);
    if (length > GAUGEBAR_MAX_TITLE) {
        length = GAUGEBAR_MAX_TITLE;
        while (length > 0 && (static_cast<unsigned char>(title[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(copy, title, length);
    copy[length] = '\0';
}

}  // namespace

void SetDefaultTextOutput(TextOutput* output, TextProgress::Now now) {
    Indicator& indicator = TheIndicator();
    std::lock_guard lock(indicator.mutex);
    indicator.defaultText.output = output;
    indicator.defaultText.now = std::move(now);
}

}  // namespace gaugebar

using gaugebar::BackendCall;
using gaugebar::Indicator;
using gaugebar::TheIndicator;

void InitProgressBar(const char* title, int32_t low, int32_t high) {
    if (gaugebar::insideBackend)
        return;
    Indicator& indicator = TheIndicator();
    std::lock_guard lock(indicator.mutex);
    gaugebar::CloseWindow(indicator);
    gaugebar::CopyTitle(title, indicator.title);
    indicator.low = low;
    indicator.high = std::max(low, high);
    indicator.openedOn = indicator.backend;
    indicator.open = true;
    if (indicator.openedOn.open != nullptr) {
        BackendCall call;
        indicator.openedOn.open(indicator.openedOn.user, indicator.title, indicator.low,
                                indicator.high);
    }
}

void RunProgressBar(int32_t position) {
    if (gaugebar::insideBackend)
        return;
    Indicator& indicator = TheIndicator();
    std::lock_guard lock(indicator.mutex);
    if (!indicator.open)
        return;
    position = std::max(position, indicator.low);
    if (indicator.high > indicator.low)
        position = std::min(position, indicator.high);
    if (indicator.openedOn.update != nullptr) {
        BackendCall call;
        indicator.openedOn.update(indicator.openedOn.user, position);
    }
}

void DeleteProgressBar(void) {
    if (gaugebar::insideBackend)
        return;
    Indicator& indicator = TheIndicator();
    std::lock_guard lock(indicator.mutex);
    gaugebar::CloseWindow(indicator);
}

void SetProgressBackend(const GaugeBackend* backend) {
    if (gaugebar::insideBackend)
        return;
    Indicator& indicator = TheIndicator();
    std::lock_guard lock(indicator.mutex);
    gaugebar::CloseWindow(indicator);
    if (backend != nullptr) {
        indicator.backend = *backend;
    } else {
        indicator.backend = {&indicator.defaultText, gaugebar::DefaultOpen, gaugebar::DefaultUpdate,
                             gaugebar::DefaultClose};
    }
}
