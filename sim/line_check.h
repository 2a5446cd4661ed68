// Whether a host is on the printer's line settings, and how fast that line moves bytes.
#pragma once

#include <optional>

#include "tarvo/base/line_format.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// True when the printer can make sense of what a host with these settings sends. Without a
// note (a terminal program, a real serial line) the printer cannot tell and listens. Rate, data
// bits, parity and stop bits must agree for either family; a Lanmere printer also needs the
// flow control its protocol runs (its framing and acknowledges depend on it), while a
// Brakenholm printer reads plain lines whatever flow control the host uses.
bool HostLineMatches(const std::optional<platform::LineFormat>& host, const LineSettings& printer,
                     Family family);

// Bits on the wire per character: start bit, data bits, parity bit when there is one, stop bits.
int BitsPerCharacter(const LineSettings& line);

double BytesPerSecond(const LineSettings& line);

}  // namespace tarvo::sim
