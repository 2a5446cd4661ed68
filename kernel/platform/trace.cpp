#include "platform/trace.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tarvo/base/notation.h"

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

constexpr std::string_view kMask = "*****";

struct Secret {
    std::string text;
    bool writeSeen = false;   // the first write under the mask has been traced
    bool maskWrites = false;  // show every later write as stars
};

std::vector<Secret> gSecrets;

void Wipe(std::string& text) {
    ::explicit_bzero(text.data(), text.size());
    text.clear();
}

void ReplaceAll(std::string& bytes, std::string_view secret) {
    for (std::size_t at = bytes.find(secret); at != std::string::npos;
         at = bytes.find(secret, at + kMask.size())) {
        bytes.replace(at, secret.size(), kMask);
    }
}

void StarPrintable(std::string& bytes) {
    for (char& c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x20)
            c = '*';
    }
}

// `bytes` with every active secret taken out.
std::string Masked(TraceDirection direction, std::string_view bytes) {
    std::string out(bytes);
    for (Secret& secret : gSecrets) {
        if (secret.text.empty())
            continue;
        if (direction == TraceDirection::Sent) {
            if (!secret.writeSeen) {
                secret.writeSeen = true;
                secret.maskWrites = out.find(secret.text) == std::string::npos;
            }
            if (secret.maskWrites) {
                StarPrintable(out);
                continue;
            }
            // Only the first write can be shown; later ones could continue a cut secret.
            secret.maskWrites = true;
        }
        ReplaceAll(out, secret.text);
    }
    return out;
}

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
    const char marker = direction == TraceDirection::Sent ? '>' : '<';
    if (gSecrets.empty()) {
        WriteLine(port, marker, RenderMnemonics(bytes));
        return;
    }
    WriteLine(port, marker, RenderMnemonics(Masked(direction, bytes)));
}

void TraceNote(std::string_view port, std::string_view note) {
    if (!TraceEnabled())
        return;
    WriteLine(port, '-', note);
}

void ResetTrace() {
    gSink.close();
}

TraceSecret::TraceSecret(std::string_view secret) {
    gSecrets.push_back(Secret{std::string(secret)});
}

TraceSecret::~TraceSecret() {
    Wipe(gSecrets.back().text);
    gSecrets.pop_back();
}

}  // namespace tarvo::platform
