// Byte trace: with TARVO_TRACE=1 (stderr) or TARVO_TRACE=FILE (appended), every byte the kernel
// writes to or reads from a port is logged with a timestamp and the port name, control bytes
// spelled as mnemonics. The first thing to look at when a printer misbehaves.
#pragma once

#include <string_view>

namespace tarvo::platform {

enum class TraceDirection { Sent, Received };

bool TraceEnabled();
void TraceBytes(std::string_view port, TraceDirection direction, std::string_view bytes);
void TraceNote(std::string_view port, std::string_view note);

// Reads TARVO_TRACE again (tests change it).
void ResetTrace();

// Keeps a secret (a password on its way to the printer) out of the trace while it lives. Every
// occurrence in traced bytes, either way, is shown as *****. A write cut short by the port could
// carry only part of the secret, which no search would find, so the first write traced under
// the mask is shown precisely only when it holds the whole secret; that write and every later
// one are otherwise shown with each printable byte as '*'. Control bytes stay readable.
class TraceSecret {
  public:
    explicit TraceSecret(std::string_view secret);
    ~TraceSecret();
    TraceSecret(const TraceSecret&) = delete;
    TraceSecret& operator=(const TraceSecret&) = delete;
};

}  // namespace tarvo::platform
