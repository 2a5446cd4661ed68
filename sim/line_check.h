// Whether a host is on the printer's line settings, and how fast that line moves bytes.
#pragma once

#include <optional>

#include "platform/line_format.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// True when the printer can make sense of what a host with these settings sends. Without a
// note (a terminal program, a real serial line) the printer cannot tell and listens.
bool HostLineMatches(const std::optional<platform::LineFormat>& host, const LineSettings& printer);

// Bits on the wire per character: start bit, data bits, parity bit when there is one, stop bits.
int BitsPerCharacter(const LineSettings& line);

double BytesPerSecond(const LineSettings& line);

}  // namespace tarvo::sim
