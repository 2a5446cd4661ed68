#include "platform/trace.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "port/notation.h"

namespace tarvo::platform {
namespace {

struct TraceSink {
    bool initialised = false;
    FILE* file = nullptr;  // stderr or an appended file
    bool ownsFile = false;

    ~TraceSink() { close(); }
    void close() {
        if (ownsFile && file != nullptr)
            std::fclose(file);
        file = nullptr;
        ownsFile = false;
        initialised = false;
    }
};

TraceSink gSink;

FILE* Sink() {
    if (!gSink.initialised) {
        gSink.initialised = true;
        const char* setting = std::getenv("TARVO_TRACE");
        if (setting == nullptr || setting[0] == '\0' || std::string(setting) == "0") {
            gSink.file = nullptr;
        } else if (std::string(setting) == "1") {
            gSink.file = stderr;
        } else {
            gSink.file = std::fopen(setting, "ae");
            gSink.ownsFile = gSink.file != nullptr;
            if (gSink.file == nullptr)
                gSink.file = stderr;
        }
    }
    return gSink.file;
}

void WriteLine(std::string_view port, char marker, std::string_view text) {
    FILE* out = Sink();
    if (out == nullptr)
        return;
    timeval tv{};
    ::gettimeofday(&tv, nullptr);
    tm local{};
    ::localtime_r(&tv.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::fprintf(out, "%s.%03ld %.*s %c %.*s\n", stamp, static_cast<long>(tv.tv_usec / 1000),
                 static_cast<int>(port.size()), port.data(), marker, static_cast<int>(text.size()),
                 text.data());
    std::fflush(out);
}

}  // namespace

bool TraceEnabled() {
    return Sink() != nullptr;
}

void TraceBytes(std::string_view port, TraceDirection direction, std::string_view bytes) {
    if (!TraceEnabled() || bytes.empty())
        return;
    WriteLine(port, direction == TraceDirection::Sent ? '>' : '<', RenderMnemonics(bytes));
}

void TraceNote(std::string_view port, std::string_view note) {
    if (!TraceEnabled())
        return;
    WriteLine(port, '-', note);
}

void ResetTrace() {
    gSink.close();
}

}  // namespace tarvo::platform
