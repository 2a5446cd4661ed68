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

}  // namespace tarvo::platform
