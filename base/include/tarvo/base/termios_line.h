// A serial line's rate and parity as termios writes them, for every part that opens a serial
// device itself (the kernel's port layer, the Zmodem transfers).
#pragma once

#include <termios.h>

namespace tarvo::platform {

// The termios constant of a standard rate; B0 for any other (a rate that needs a custom
// divisor, or none).
speed_t TermiosSpeed(unsigned baud);

// The c_cflag bits of a parity letter: E, O, M (mark) or S (space); 0 for N or any other.
tcflag_t TermiosParityFlags(char parity);

}  // namespace tarvo::platform
